// Shows a surface's picture in a window: at 1:1, and scaled by whole steps without
// smoothing when the window is larger or the screen has a high resolution, so pixels stay
// crisp. A still picture (the Q-N chart) may instead fill the window as far as its shape
// allows, smoothed.
#pragma once

#include "imagesurface.h"

#include <QWidget>

namespace kr5 {

class SurfaceView : public QWidget {
  public:
    enum class Scaling { WholeSteps, Fill };

    explicit SurfaceView(const ImageSurface& surface, QWidget* parent = nullptr);

    void setScaling(Scaling scaling);

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
    // Where the picture is drawn when it fills the window: its shape kept, at the top left.
    QRect filled() const;

    const ImageSurface& surface_;
    Scaling scaling_ = Scaling::WholeSteps;
};

}  // namespace kr5
