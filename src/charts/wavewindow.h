// The trend window `wave`: shows the trend chart at 1:1 and forwards its menu. Closing it
// only hides it; the chart is kept and drawn on while hidden.
#pragma once

#include "charts/chartwindow.h"

namespace kr5 {

class WaveWindow : public ChartWindow {
    Q_OBJECT

  public:
    static constexpr int graWidth = 625;
    static constexpr int graHeight = 321;

    explicit WaveWindow(Clipboard& clipboard, QWidget* parent = nullptr);

  signals:
    void eraseRequested();   // wclear
    void legendRequested();  // wcoler

  protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace kr5
