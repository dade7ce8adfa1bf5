// What the trend and V-Q windows share: a chart picture shown at 1:1 as the window's
// centre (named GRA), which keeps its drawing steps too (for vector output), copied to the
// clipboard or saved as PNG or SVG on request, and a
// signal when the program
// or the operator shows or hides the window, so the Window menu's check marks follow.
#pragma once

#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/imagesurface.h"

#include <QMainWindow>

namespace kr5 {

class SurfaceView;

class ChartWindow : public QMainWindow {
    Q_OBJECT

  public:
    // pictureName: the file name a picture save proposes.
    ChartWindow(Clipboard& clipboard, Dialogs& dialogs, int width, int height,
                const QString& pictureName, QWidget* parent = nullptr);

    ImageSurface& surface() { return surface_; }
    // Shows what has been drawn on the chart since the last refresh.
    void refresh();
    // The chart's picture to the clipboard.
    void copyChart();
    // savepic: the chart's picture to a PNG or SVG file the operator names. True when a
    // file was written.
    void savePicture();

  signals:
    // Not sent when the window system hides or shows it by itself (the main window
    // minimised and restored).
    void shownChanged(bool shown);

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    Clipboard& clipboard_;
    Dialogs& dialogs_;
    QString pictureName_;
    ImageSurface surface_;
    SurfaceView* view_ = nullptr;
};

}  // namespace kr5
