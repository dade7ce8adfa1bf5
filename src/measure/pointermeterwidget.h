// A pointer meter on the panel: a 241 x 161 picture with a PointerMeter drawing on it, shown at
// 1:1 (scaled by whole steps without smoothing on a high-resolution screen, so the dial
// stays crisp). The operations forward to the meter and then repaint.
#pragma once

#include "measure/pointermeter.h"
#include "platform/imagesurface.h"

#include <QWidget>

namespace kr5 {

class SurfaceView;

class PointerMeterWidget : public QWidget {
    Q_OBJECT

  public:
    static constexpr int pictureWidth = 241;
    static constexpr int pictureHeight = 161;

    explicit PointerMeterWidget(QWidget* parent = nullptr);

    void drawDial();
    void init(double fullScale, int rightNumber, const QString& title);
    void setValue(double value);
    void clear();

    const PointerMeter& meter() const { return meter_; }
    // The picture as it stands.
    const ImageSurface& picture() const { return picture_; }

    // The dial's background: the system's 3-D highlight colour, or white where the
    // colour scheme's highlight is dark (the pointer is erased in white).
    static Colour dialBackground();

  private:
    ImageSurface picture_;
    PointerMeter meter_;
    SurfaceView* view_ = nullptr;
};

}  // namespace kr5
