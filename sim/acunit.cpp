#include "acunit.h"

#include <cmath>

namespace kr5::sim {

namespace {
// The converter's noise: a fraction of the reading, so that zero stays zero.
constexpr double kRelativeNoise = 0.0005;
}  // namespace

AcUnit::AcUnit(const UnitConfig& config, quint32 seed, const Physics& physics)
    : Unit(config, seed), physics_(physics) {}

double AcUnit::measuredEsAt(double atUs) {
    const double es = physics_.esAt(atUs / 1e6);
    return es * (1.0 + kRelativeNoise * random().normal());
}

QByteArray AcUnit::encodeEs(double es) {
    const long tenths =
        std::isfinite(es) ? std::lround(std::fmax(0.0, std::fmin(es, 1e6)) * 10.0) : 0L;
    if (tenths <= 0) {
        return "0000";
    }
    if (tenths < 1000) {
        return "2" + QByteArray::number(static_cast<qlonglong>(tenths)).rightJustified(3, '0');
    }
    if (tenths < 2000) {
        return "3" +
               QByteArray::number(static_cast<qlonglong>(tenths - 1000)).rightJustified(3, '0');
    }
    return "6000";
}

std::optional<Answer> AcUnit::handleOwn(const QByteArray& command, double atUs) {
    if (command == "t") {
        return dataReply('t', encodeEs(measuredEsAt(atUs)));
    }
    return std::nullopt;
}

}  // namespace kr5::sim
