#include "pointermeter.h"

#include "core/format.h"
#include "core/numeric.h"

#include <algorithm>
#include <cmath>

namespace kr5 {

namespace {

int rounded(double x) {
    return static_cast<int>(roundEvenLong(x));
}

}  // namespace

PointerMeter::PointerMeter(Surface& surface)
    : width(surface.width()),
      height(surface.height()),
      // The centre's division is done in single precision: 241 / 2 is 120.5, which
      // rounds to the even 120.
      centreX(rounded(static_cast<double>(static_cast<float>(width) / 2.0f))),
      centreY(rounded(height * 1.2)),
      arcRadius(rounded(height * 0.8)),
      markRadius(rounded(height * 0.9)),
      surface_(surface) {}

double PointerMeter::pointerAngle(double fraction) {
    return 3 * rightEndAngle - 2 * rightEndAngle * fraction;
}

QString PointerMeter::markText(int v, int rightNumber) {
    // Single precision, as the dial has always printed them, shown with the seven
    // significant digits a single holds and without the sign blank: "100", "80", "5.6".
    const float step = static_cast<float>(rightNumber) / 5.0f;
    const float mark = static_cast<float>(5 - v) * step;
    const double shown = QString::number(static_cast<double>(mark), 'g', 7).toDouble();
    return numberForm(shown).trimmed();
}

void PointerMeter::drawDial() {
    surface_.arc(centreX, centreY, arcRadius, rightEndAngle, 3 * rightEndAngle);
    for (int i = 0; i <= 10; ++i) {
        const double t = rightEndAngle + markStep * i / 2;
        const double rr = i % 2 == 0 ? markRadius : markRadius * 0.95;
        surface_.line(centreX + arcRadius * std::cos(t), centreY - arcRadius * std::sin(t),
                      centreX + rr * std::cos(t), centreY - rr * std::sin(t));
    }
}

void PointerMeter::printTitle() {
    surface_.setPos(centreX - 2.0 * static_cast<double>(title_.size()), height / 2.0);
    surface_.print(title_, true);
}

void PointerMeter::init(double fullScale, int rightNumber, const QString& title) {
    fullScale_ = fullScale;
    rightNumber_ = rightNumber;
    title_ = title;
    drawDial();
    printTitle();
    for (int v = 0; v <= 5; ++v) {
        const double t = rightEndAngle + v * markStep;
        const QString label = markText(v, rightNumber);
        // The shift of 4 pixels per further character keeps longer numbers centred on
        // their mark.
        const double shift = static_cast<double>(label.size() - 1) * 4.0;
        surface_.setPos(markRadius * std::cos(t) + centreX - shift,
                        centreY - markRadius * std::sin(t) - 10);
        surface_.print(label, true);
    }
}

bool PointerMeter::crossesTitle(double fraction) const {
    // The title's box, with room for the widest letter of the font: printing it again
    // costs more than the rest of a move.
    const double chars = static_cast<double>(title_.size());
    const double left = centreX - 2.0 * chars - 2.0;
    const double right = left + Surface::textLineHeight * chars + 4.0;
    const double top = height / 2.0 - 2.0;
    const double bottom = top + Surface::textLineHeight + 4.0;
    // The pointer rises from the centre below the picture through the box's whole height.
    const double t = pointerAngle(fraction);
    const double run = std::cos(t) / std::sin(t);
    const double atTop = centreX + (centreY - top) * run;
    const double atBottom = centreX + (centreY - bottom) * run;
    return std::max(atTop, atBottom) >= left && std::min(atTop, atBottom) <= right;
}

void PointerMeter::pointer(double fraction, Colour colour) {
    const double t = pointerAngle(fraction);
    const double r = arcRadius - 2;  // inside the arc, so erasing never touches the dial
    surface_.line(centreX, centreY, centreX + r * std::cos(t), centreY - r * std::sin(t), colour);
}

void PointerMeter::setValue(double value) {
    if (fullScale_ == 0.0) {
        return;
    }
    double fraction = value / fullScale_;
    if (fraction > 1.05) {
        fraction = 1.05;
    }
    // A value with no position (not a number, or endlessly far left) leaves the pointer
    // where it is.
    if (!std::isfinite(fraction)) {
        return;
    }
    fraction_ = fraction;
    pointer(drawnFraction_, kWhite);
    if (drawnFraction_ > 0.3 && drawnFraction_ < 0.7 && crossesTitle(drawnFraction_)) {
        // The old pointer crossed the title and its erasure cut through the letters.
        printTitle();
    }
    pointer(fraction_, surface_.foreColour());
    drawnFraction_ = fraction_;
}

void PointerMeter::clear() {
    surface_.clear();
}

}  // namespace kr5
