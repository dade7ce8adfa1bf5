#include "recordedreadings.h"

#include "core/ranges.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kr5 {

namespace {

constexpr qint64 kRowPeriodMs = 100;
constexpr int kLargestCode = 0xFF;

// The code nearest to value in a reply field worth unitsPerCode for each step of its code.
int codeOf(double value, double unitsPerCode) {
    const double code = std::round(value / unitsPerCode);
    return static_cast<int>(std::clamp(code, 0.0, double(kLargestCode)));
}

// A quotient that is 0 instead of infinite or NaN when the constant is 0.
double per(double value, double divisor) {
    return divisor != 0.0 ? value / divisor : 0.0;
}

}  // namespace

RecordedReadings::RecordedReadings(const RecordedTest& test, const InputConstants& constants)
    : test_(test), constants_(constants), qnStep_(test.rows.size(), false) {
    for (const RecordedQnBlock& b : test.qnBlocks) {
        const auto first = std::min(static_cast<size_t>(b.firstRow), qnStep_.size());
        const auto last = std::min(first + static_cast<size_t>(b.rowCount), qnStep_.size());
        std::fill(qnStep_.begin() + static_cast<std::ptrdiff_t>(first),
                  qnStep_.begin() + static_cast<std::ptrdiff_t>(last), true);
    }
}

Reading RecordedReadings::at(size_t i) const {
    const DetectorFields unit{1, 1, 0, 0};  // the raw value of one step of each code
    const RecordedRow& row = test_.rows[i];
    Reading r;
    r.kind = qnStep_[i] ? Reading::Kind::QnStep : Reading::Kind::Cycle;
    r.takenAtMs = static_cast<qint64>(i) * kRowPeriodMs;
    r.acPresent = true;
    r.attRange = row.attRange;
    r.rateRange = row.rateRange;
    r.charge = row.chargePc;
    r.pulseRate = row.pulseRatePps;
    r.testVoltage = row.testVoltageV;
    r.rawPeak = per(row.chargePc, attenuatorDivision(row.attRange) * constants_.adjust);
    r.rawRate = per(row.pulseRatePps, rateMultiplier(row.rateRange));
    r.es = per(row.testVoltageV, constants_.ptRatio);
    r.detector = DetectorFields{codeOf(r.rawPeak, unit.rawPeak()),
                                codeOf(r.rawRate, unit.rawRate()), row.attRange, row.rateRange};
    if (r.isQnStep()) {
        const double rate = std::clamp(std::round(row.pulseRatePps), 0.0,
                                       double(std::numeric_limits<qint32>::max()));
        r.countRate = static_cast<qint32>(rate);
    }
    return r;
}

}  // namespace kr5
