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
    if (fixedCharge) {
        return scalePc > thresholdPc ? ratePps : 0.0;
    }
    return ratePps * std::exp(-std::pow(thresholdPc / scalePc, shape));
}

Physics::Physics(const Scenario& scenario)
    : profile_(scenario.profile),
      object_(scenario.object, profile_),
      calibrators_(scenario.calibrators),
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
    // The calibrator feeds the detector's input directly: the noise discriminator, which
    // sits on the antenna channels, leaves its pulses alone.
    for (const CalibratorConfig& c : calibrators_) {
        if (c.coversS(tS)) {
            p.calibrator = {c.ratePps, c.chargePc, 1.0, true};
            break;
        }
    }
    return p;
}

}  // namespace kr5::sim
