// What the trend and V-Q windows share: a chart picture shown at 1:1 as the window's
// centre (named GRA), copied to the clipboard on request, and a signal when the program
// or the operator shows or hides the window, so the Window menu's check marks follow.
#pragma once

#include "platform/clipboard.h"
#include "platform/imagesurface.h"

#include <QMainWindow>

namespace kr5 {

class SurfaceView;

class ChartWindow : public QMainWindow {
    Q_OBJECT

  public:
    ChartWindow(Clipboard& clipboard, int width, int height, QWidget* parent = nullptr);

    ImageSurface& surface() { return surface_; }
    // Shows what has been drawn on the chart since the last refresh.
    void refresh();
    // The chart's picture to the clipboard.
    void copyChart();

  signals:
    // Not sent when the window system hides or shows it by itself (the main window
    // minimised and restored).
    void shownChanged(bool shown);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    Clipboard& clipboard_;
    ImageSurface surface_;
    SurfaceView* view_ = nullptr;
};

}  // namespace kr5
