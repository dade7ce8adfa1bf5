// The trend window `wave`: shows the trend chart at 1:1 and forwards its menu. Closing it
// only hides it; the chart is kept and drawn on while hidden.
#pragma once

#include "platform/clipboard.h"
#include "platform/imagesurface.h"

#include <QMainWindow>

namespace kr5 {

class WaveWindow : public QMainWindow {
    Q_OBJECT

  public:
    static constexpr int graWidth = 625;
    static constexpr int graHeight = 321;

    explicit WaveWindow(Clipboard& clipboard, QWidget* parent = nullptr);

    ImageSurface& surface() { return surface_; }
    // Shows what has been drawn on the chart since the last refresh.
    void refresh();

    void copyChart();

  signals:
    void eraseRequested();   // wclear
    void legendRequested();  // wcoler
    // The program or the operator showed or hid the window (not the window system by
    // itself, as when the main window is minimised).
    void shownChanged(bool shown);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    Clipboard& clipboard_;
    ImageSurface surface_{graWidth, graHeight};
};

}  // namespace kr5
