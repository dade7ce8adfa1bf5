#include "physics.h"

#include <algorithm>
#include <cmath>

namespace kr5::sim {

double PulseStream::rateAbove(double thresholdPc) const {
    if (!(ratePps > 0.0) || !(scalePc > 0.0)) {
        return 0.0;
    }
    if (!(thresholdPc > 0.0)) {
        return ratePps;
    }
    return ratePps * std::exp(-std::pow(thresholdPc / scalePc, shape));
}

Physics::Physics(const Scenario& scenario)
    : profile_(scenario.profile),
      object_(scenario.object, profile_),
      ptRatio_(scenario.ptRatio > 0.0 ? scenario.ptRatio : 1.0) {}

Pulses Physics::pulsesAt(double tS, double noiseFactor) {
    Pulses p;
    const ObjectConfig& o = object_.config();
    if (object_.dischargingAt(tS)) {
        const double kv = kvAt(tS);
        p.discharge = {object_.pulseRatePps(kv), object_.chargeScalePc(kv), o.shape};
    }
    // Noise pulses are short and roughly exponential in height whatever the object does.
    p.noise = {o.noisePps * std::clamp(noiseFactor, 0.0, 1.0), o.noisePc, 1.0};
    return p;
}

}  // namespace kr5::sim
