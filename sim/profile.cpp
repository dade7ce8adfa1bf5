#include "profile.h"

#include <cmath>

namespace kr5::sim {

VoltageProfile::VoltageProfile(const ProfileConfig& config) : config_(config) {
    const double swing = std::fabs(config_.peakKv - config_.startKv);
    upS_ = config_.upKvPerS > 0.0 ? swing / config_.upKvPerS : 0.0;
    downS_ = config_.downKvPerS > 0.0 ? swing / config_.downKvPerS : 0.0;
}

double VoltageProfile::kvAt(double tS) const {
    const double period = periodS();
    if (!(period > 0.0)) {
        return config_.peakKv;  // nothing but steps: the voltage simply stands at the peak
    }
    double t = tS - config_.delayS;
    if (!(t > 0.0)) {
        return config_.startKv;
    }
    if (config_.repeat) {
        t = std::fmod(t, period);
    } else if (t >= period) {
        return config_.startKv;
    }
    const double swing = config_.peakKv - config_.startKv;
    if (t < upS_) {
        return config_.startKv + swing * t / upS_;
    }
    t -= upS_;
    if (t < config_.holdS) {
        return config_.peakKv;
    }
    t -= config_.holdS;
    if (t < downS_) {
        return config_.peakKv - swing * t / downS_;
    }
    return config_.startKv;
}

}  // namespace kr5::sim
