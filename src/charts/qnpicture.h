// The still Q-N chart of the Q-N window: taken from the V-Q window's picture through the
// clipboard (which keeps the chart afterwards), copied to the clipboard and saved as a BMP
// or PNG file; and the V-Q chart's drawing steps with it, for the report and SVG files.
#pragma once

#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/imagesurface.h"

#include <QImage>

namespace kr5 {

class QnPicture {
  public:
    static constexpr int graWidth = 385;
    static constexpr int graHeight = 321;

    QnPicture(Clipboard& clipboard, Dialogs& dialogs) : clipboard_(clipboard), dialogs_(dialogs) {}

    ImageSurface& surface() { return surface_; }
    const ImageSurface& surface() const { return surface_; }
    // A chart has been copied in.
    bool hasPicture() const { return hasPicture_; }

    // Puts the V-Q picture on the clipboard and takes the clipboard's picture as this
    // one; its upper 321 rows hold the whole chart, and so do those of its drawing.
    void copyIn(const QImage& vqPicture, const SurfaceDrawing& vqDrawing);
    // The chart as drawing steps; null before any copy-in.
    const SurfaceDrawing& drawing() const { return drawing_; }
    // qcopy: the picture on the clipboard.
    void copy();
    // qnsave: asks for a file ("qn.bmp" proposed) and writes the picture, as PNG when the
    // name ends in ".png" or, without either ending, when the PNG filter was chosen; as
    // BMP otherwise. Before any copy-in there is nothing to save: no dialog, no file.
    // Cancelling abandons the save; a file that cannot be written is reported. Returns
    // true when a file was written.
    void save();

  private:
    Clipboard& clipboard_;
    Dialogs& dialogs_;
    ImageSurface surface_{graWidth, graHeight};
    SurfaceDrawing drawing_;
    bool hasPicture_ = false;
};

}  // namespace kr5
