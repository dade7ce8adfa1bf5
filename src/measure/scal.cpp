#include "scal.h"

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

Scal::Scal(Surface& sc)
    : sw(sc.width()),
      sh(sc.height()),
      // The centre's division is done in single precision: 241 / 2 is 120.5, which
      // rounds to the even 120.
      scx(rounded(static_cast<double>(static_cast<float>(sw) / 2.0f))),
      scy(rounded(sh * 1.2)),
      r1(rounded(sh * 0.8)),
      r2(rounded(sh * 0.9)),
      sc_(sc) {}

double Scal::pointerAngle(double fraction) {
    return 3 * a0 - 2 * a0 * fraction;
}

QString Scal::markText(int v, int rightNumber) {
    // Single precision, as the dial has always printed them, shown with the seven
    // significant digits a single holds and without the sign blank: "100", "80", "5.6".
    const float step = static_cast<float>(rightNumber) / 5.0f;
    const float mark = static_cast<float>(5 - v) * step;
    const double shown = QString::number(static_cast<double>(mark), 'g', 7).toDouble();
    return numberForm(shown).trimmed();
}

void Scal::ach() {
    sc_.arc(scx, scy, r1, a0, 3 * a0);
    for (int i = 0; i <= 10; ++i) {
        const double t = a0 + da * i / 2;
        const double rr = i % 2 == 0 ? r2 : r2 * 0.95;
        sc_.line(scx + r1 * std::cos(t), scy - r1 * std::sin(t), scx + rr * std::cos(t),
                 scy - rr * std::sin(t));
    }
}

void Scal::printTitle() {
    sc_.setPos(scx - 2.0 * static_cast<double>(stitle_.size()), sh / 2.0);
    sc_.print(stitle_, true);
}

void Scal::init(double fullScale, int rightNumber, const QString& title) {
    fs_ = fullScale;
    lmax_ = rightNumber;
    stitle_ = title;
    ach();
    printTitle();
    for (int v = 0; v <= 5; ++v) {
        const double t = a0 + v * da;
        const QString label = markText(v, rightNumber);
        // The shift of 4 pixels per further character keeps longer numbers centred on
        // their mark.
        const double shift = static_cast<double>(label.size() - 1) * 4.0;
        sc_.setPos(r2 * std::cos(t) + scx - shift, scy - r2 * std::sin(t) - 10);
        sc_.print(label, true);
    }
}

bool Scal::crossesTitle(double fraction) const {
    // The title's box, with room for the widest letter of the font: printing it again
    // costs more than the rest of a move.
    const double chars = static_cast<double>(stitle_.size());
    const double left = scx - 2.0 * chars - 2.0;
    const double right = left + Surface::textLineHeight * chars + 4.0;
    const double top = sh / 2.0 - 2.0;
    const double bottom = top + Surface::textLineHeight + 4.0;
    // The pointer rises from the centre below the picture through the box's whole height.
    const double t = pointerAngle(fraction);
    const double run = std::cos(t) / std::sin(t);
    const double atTop = scx + (scy - top) * run;
    const double atBottom = scx + (scy - bottom) * run;
    return std::max(atTop, atBottom) >= left && std::min(atTop, atBottom) <= right;
}

void Scal::pointer(double fraction, Colour colour) {
    const double t = pointerAngle(fraction);
    const double r = r1 - 2;  // inside the arc, so erasing never touches the dial
    sc_.line(scx, scy, scx + r * std::cos(t), scy - r * std::sin(t), colour);
}

void Scal::setdata(double value) {
    if (fs_ == 0.0) {
        return;
    }
    double cur = value / fs_;
    if (cur > 1.05) {
        cur = 1.05;
    }
    // A value with no position (not a number, or endlessly far left) leaves the pointer
    // where it is.
    if (!std::isfinite(cur)) {
        return;
    }
    cur_ = cur;
    pointer(old_, kWhite);
    if (old_ > 0.3 && old_ < 0.7 && crossesTitle(old_)) {
        // The old pointer crossed the title and its erasure cut through the letters.
        printTitle();
    }
    pointer(cur_, sc_.foreColour());
    old_ = cur_;
}

void Scal::clear() {
    sc_.clear();
}

}  // namespace kr5
