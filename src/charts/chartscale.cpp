#include "chartscale.h"

#include "core/numeric.h"

#include <cmath>

namespace kr5::chart {

namespace {

const double kLog10Factor = 1.0 / std::log(10.0);

}  // namespace

double logY(double v) {
    return 248.0 - decade * std::log(v) * kLog10Factor;
}

double trendVoltY(double v) {
    return bottomLine - 1.2 * v;
}

double vqVoltX(double v) {
    return 1.65 * v + 30.0;
}

double tvmax(const InputConstants& constants, const OperatingSettings& settings) {
    return constants.ptRatio * 200.0 / settings.tvDivisor();
}

qint32 pixelIn(double coordinate, int size) {
    return qBound(0, roundEvenLong(coordinate), qMax(0, size - 1));
}

double raised(double v) {
    return v >= floorValue ? v : floorValue;
}

}  // namespace kr5::chart
