// The trend window `wave`: shows the trend chart at 1:1, saves its picture and forwards
// the rest of its menu. Closing it
// only hides it; the chart is kept and drawn on while hidden.
#pragma once

#include "charts/chartwindow.h"

namespace kr5 {

class WaveWindow : public ChartWindow {
    Q_OBJECT

  public:
    static constexpr int graWidth = 625;
    static constexpr int graHeight = 321;

    WaveWindow(Clipboard& clipboard, Dialogs& dialogs, QWidget* parent = nullptr);

  signals:
    void eraseRequested();   // wclear
    void legendRequested();  // wcoler

  protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace kr5
