#include "chartscale.h"

#include "app/numeric.h"

#include <cmath>

namespace kr5::chart {

double logY(double v, double log10k) {
    return 248.0 - decade * std::log(v) * log10k;
}

double trendVoltY(double v) {
    return bottomLine - 1.2 * v;
}

double vqVoltX(double v) {
    return 1.65 * v + 30.0;
}

double tvmax(const Globals& g) {
    return g.kpt * 200.0 / (g.tvmulti != 0 ? g.tvmulti : 1);
}

qint32 pixelIn(double coordinate, int size) {
    return qBound(0, roundEvenLong(coordinate), qMax(0, size - 1));
}

double raised(double v) {
    return v >= floorValue ? v : floorValue;
}

}  // namespace kr5::chart
