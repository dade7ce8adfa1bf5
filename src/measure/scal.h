// The pointer meter scal: an analogue dial of 90 degrees with eleven ticks, six numbered
// marks and a title in the middle, drawn on a surface. The panel holds two of them: scal1
// for the pulse rate and scal2 for the peak reading. The dial's centre lies below the
// picture, so only the upper part of the pointer shows.
#pragma once

#include "platform/surface.h"

#include <QString>

namespace kr5 {

class Scal {
  public:
    // The geometry follows the surface's size (241 x 161 on the panel).
    explicit Scal(Surface& sc);

    // Dial arc and the eleven ticks.
    void ach();
    // Stores the full-scale value, the number of the right-hand mark and the title, then
    // draws the dial, the title and the six numbers over whatever the picture holds.
    void init(double fullScale, int rightNumber, const QString& title);
    // Moves the pointer to value / full scale (held at 1.05 of the scale, no lower
    // limit). Does nothing before init.
    void setdata(double value);
    // Clears the picture: dial, numbers and pointer.
    void clear();

    // Angle of the pointer for a fraction of the scale: 135 degrees for 0, 45 for 1.
    static double pointerAngle(double fraction);

    // Geometry, fixed at creation.
    const int sw;   // picture width
    const int sh;   // picture height
    const int scx;  // dial centre x
    const int scy;  // dial centre y, below the picture's lower edge
    const int r1;   // radius of the dial arc
    const int r2;   // outer radius of the long ticks and radius of the numbers
    static constexpr double a0 = 3.14159 / 4;   // right end of the dial; 3 * a0 is the left
    static constexpr double da = 3.14159 / 10;  // angle between two numbered marks

    const QString& stitle() const { return stitle_; }
    int lmax() const { return lmax_; }
    double fs() const { return fs_; }
    double cur() const { return cur_; }
    double old() const { return old_; }

    // The text of the number printed at mark v (0 at the right end, 5 at the left).
    static QString markText(int v, int rightNumber);

  private:
    void printTitle();
    // Whether the pointer at this fraction passes through the title.
    bool crossesTitle(double fraction) const;
    void pointer(double fraction, Colour colour);

    Surface& sc_;
    QString stitle_;
    int lmax_ = 0;
    double fs_ = 0.0;
    double cur_ = 0.0;
    double old_ = 0.0;  // the left end until the first move
};

}  // namespace kr5
