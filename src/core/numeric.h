// Rounding as the program does it everywhere a Double becomes a whole number: to the
// nearest integer, halves to the even neighbour.
#pragma once

#include <QtGlobal>
#include <cmath>
#include <limits>

namespace kr5 {

// Nearest integer, halves to even; NaN gives 0 and values beyond the 64-bit range are
// held at its ends, so a garbled value can never overflow a conversion.
inline qint64 roundEven(double x) {
    if (std::isnan(x)) {
        return 0;
    }
    if (x >= 9.2e18) {
        return std::numeric_limits<qint64>::max();
    }
    if (x <= -9.2e18) {
        return std::numeric_limits<qint64>::min();
    }
    const double r = std::nearbyint(x);  // the default rounding mode is to-nearest-even
    return static_cast<qint64>(r);
}

// The same, held inside the 32-bit range of a Long.
inline qint32 roundEvenLong(double x) {
    const qint64 lo = std::numeric_limits<qint32>::min();
    const qint64 hi = std::numeric_limits<qint32>::max();
    return static_cast<qint32>(qBound(lo, roundEven(x), hi));
}

}  // namespace kr5
