// The pulses the detector sees at a moment: discharges of the test object (while they
// burn) and background noise (reduced by the noise discriminator), each a stream of pulses
// with Weibull-distributed charge, and the pulses of a charge calibrator, all of one charge.
// Knows nothing of ranges or of the line.
#pragma once

#include "profile.h"
#include "scenario.h"
#include "testobject.h"

namespace kr5::sim {

struct PulseStream {
    double ratePps = 0.0;
    double scalePc = 0.0;
    double shape = 1.0;
    // Every pulse has the charge scalePc, as a calibrator's do: no spread at all.
    bool fixedCharge = false;

    // Pulses per second whose charge exceeds thresholdPc.
    double rateAbove(double thresholdPc) const;
};

struct Pulses {
    PulseStream discharge;
    PulseStream noise;
    PulseStream calibrator;

    double rateAbove(double thresholdPc) const {
        return discharge.rateAbove(thresholdPc) + noise.rateAbove(thresholdPc) +
               calibrator.rateAbove(thresholdPc);
    }
};

class Physics {
  public:
    explicit Physics(const Scenario& scenario);
    Physics(const Physics&) = delete;
    Physics& operator=(const Physics&) = delete;

    double kvAt(double tS) const { return profile_.kvAt(tS); }
    // What the AC unit measures: the test voltage through the PT ratio, in volts.
    double esAt(double tS) const { return kvAt(tS) * 1000.0 / ptRatio_; }

    // The pulses at tS; noiseFactor (0..1) is what the noise discriminator lets through.
    Pulses pulsesAt(double tS, double noiseFactor);

    TestObject& testObject() { return object_; }
    const VoltageProfile& profile() const { return profile_; }

  private:
    VoltageProfile profile_;
    TestObject object_;
    std::vector<CalibratorConfig> calibrators_;
    double ptRatio_;
};

}  // namespace kr5::sim
