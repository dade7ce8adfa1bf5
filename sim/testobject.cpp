#include "testobject.h"

#include <algorithm>
#include <cmath>

namespace kr5::sim {

namespace {
constexpr double kStepS = 0.001;
// Beyond a day of bench time the state is taken as it stands then; it keeps a
// nonsensical request from tracing for ever.
constexpr qint64 kMaxSteps = 86400000;
}  // namespace

TestObject::TestObject(const ObjectConfig& config, const VoltageProfile& profile)
    : config_(config), profile_(profile) {
    initial_ = profile_.kvAt(0.0) >= config_.inceptionKv;
    state_ = initial_;
}

void TestObject::traceTo(qint64 stepIndex) {
    while (tracedTo_ < stepIndex) {
        ++tracedTo_;
        const double kv = profile_.kvAt(static_cast<double>(tracedTo_) * kStepS);
        const bool next = state_ ? kv >= config_.extinctionKv : kv >= config_.inceptionKv;
        if (next != state_) {
            state_ = next;
            flips_.push_back(tracedTo_);
        }
    }
}

bool TestObject::dischargingAt(double tS) {
    if (!(tS > 0.0)) {
        return initial_;
    }
    const qint64 step = static_cast<qint64>(std::min(std::floor(tS / kStepS), double(kMaxSteps)));
    traceTo(step);
    const auto flipsSoFar = std::upper_bound(flips_.begin(), flips_.end(), step) - flips_.begin();
    return (flipsSoFar % 2 == 0) ? initial_ : !initial_;
}

double TestObject::chargeScalePc(double kv) const {
    return config_.chargePc *
           std::pow(std::max(kv, 0.0) / config_.inceptionKv, config_.chargeExponent);
}

double TestObject::pulseRatePps(double kv) const {
    return config_.ratePps *
           std::pow(std::max(kv, 0.0) / config_.inceptionKv, config_.rateExponent);
}

}  // namespace kr5::sim
