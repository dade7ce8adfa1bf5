// The pointer meter: an analogue dial of 90 degrees with eleven ticks, six numbered
// marks and a title in the middle, drawn on a surface. The panel holds two of them: scal1
// for the pulse rate and scal2 for the peak reading. The dial's centre lies below the
// picture, so only the upper part of the pointer shows.
#pragma once

#include "platform/surface.h"

#include <QString>

namespace kr5 {

class PointerMeter {
  public:
    // The geometry follows the surface's size (241 x 161 on the panel).
    explicit PointerMeter(Surface& surface);

    // Dial arc and the eleven ticks.
    void drawDial();
    // Stores the full-scale value, the number of the right-hand mark and the title, then
    // draws the dial, the title and the six numbers over whatever the picture holds.
    void init(double fullScale, int rightNumber, const QString& title);
    // Moves the pointer to value / full scale (held at 1.05 of the scale, no lower
    // limit). Does nothing before init.
    void setValue(double value);
    // Clears the picture: dial, numbers and pointer.
    void clear();

    // Angle of the pointer for a fraction of the scale: 135 degrees for 0, 45 for 1.
    static double pointerAngle(double fraction);

    // Geometry, fixed at creation.
    const int width;       // picture width
    const int height;      // picture height
    const int centreX;     // dial centre x
    const int centreY;     // dial centre y, below the picture's lower edge
    const int arcRadius;   // radius of the dial arc
    const int markRadius;  // outer radius of the long ticks and radius of the numbers
    static constexpr double rightEndAngle =
        3.14159 / 4;  // right end of the dial; 3 * rightEndAngle is the left
    static constexpr double markStep = 3.14159 / 10;  // angle between two numbered marks

    const QString& title() const { return title_; }
    int rightNumber() const { return rightNumber_; }
    double fullScale() const { return fullScale_; }
    double fraction() const { return fraction_; }
    double drawnFraction() const { return drawnFraction_; }

    // The text of the number printed at mark v (0 at the right end, 5 at the left).
    static QString markText(int v, int rightNumber);

  private:
    void printTitle();
    // Whether the pointer at this fraction passes through the title.
    bool crossesTitle(double fraction) const;
    void pointer(double fraction, Colour colour);

    Surface& surface_;
    QString title_;
    int rightNumber_ = 0;
    double fullScale_ = 0.0;
    double fraction_ = 0.0;
    double drawnFraction_ = 0.0;  // the left end until the first move
};

}  // namespace kr5
