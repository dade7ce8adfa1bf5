#include "background.h"

#include <algorithm>
#include <cmath>

namespace kr5 {

void BackgroundLevel::measureNow() {
    measureFromMs_ = clock_.nowMs();
    measureUntilMs_ = measureFromMs_ + kWindowMs;
    measured_.reset();
}

void BackgroundLevel::takeReading(const Reading& r) {
    if (r.isQnStep() || !r.complete()) {
        return;
    }
    const qint64 now = r.takenAtMs;
    if (measureUntilMs_) {
        if (now < measureFromMs_) {
            return;  // taken before the operator asked: not part of the measurement
        }
        if (r.testVoltage >= thresholdVolts_) {
            // The test object may discharge up there: that is no background. The level
            // in force stays.
            measureUntilMs_.reset();
            emit measurementRefused(
                tr("Background not measured: the test voltage reached %1 V, at or above the "
                   "background threshold of %2 V")
                    .arg(std::llround(r.testVoltage))
                    .arg(std::llround(thresholdVolts_)));
            return;
        }
        measured_ = std::max(measured_.value_or(0.0), r.charge);
        if (now >= *measureUntilMs_) {
            // The measurement on demand stands until the voltage is low again.
            measureUntilMs_.reset();
            recent_.clear();
            level_ = measured_;
            switchedOff_ = measured_;
            switchedOffAt_ = clock_.localTime();
            emit changed();
        }
        return;
    }
    if (r.testVoltage >= thresholdVolts_) {
        return;  // the last level below the threshold stands
    }
    recent_.emplace_back(now, r.charge);
    while (!recent_.empty() && recent_.front().first < now - kWindowMs) {
        recent_.pop_front();
    }
    recompute();
}

void BackgroundLevel::recompute() {
    double largest = 0.0;
    for (const auto& [at, charge] : recent_) {
        largest = std::max(largest, charge);
    }
    const std::optional<double> level = recent_.empty() ? std::nullopt : std::optional(largest);
    if (level != level_) {
        level_ = level;
        emit changed();
    }
}

}  // namespace kr5
