// Shows a surface's picture in a window: at 1:1, and scaled by whole steps without
// smoothing when the window is larger or the screen has a high resolution, so pixels stay
// crisp.
#pragma once

#include "imagesurface.h"

#include <QWidget>

namespace kr5 {

class SurfaceView : public QWidget {
  public:
    explicit SurfaceView(const ImageSurface& surface, QWidget* parent = nullptr);

    // Repaints the part of the window that shows this part of the picture (nothing when
    // it is empty): a new point on a chart costs a few pixels, not the whole window.
    void showChanged(const QRect& pictureArea);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // Whole steps of enlargement that fit the window, at least 1.
    int scale() const;

    const ImageSurface& surface_;
};

}  // namespace kr5
