// The insulation under test: whether it discharges, and how strongly, at a moment of the
// voltage profile. Discharges start at the inception voltage and go on until the voltage
// falls below the lower extinction voltage, so the state depends on the path the voltage
// took, not only on its present value.
#pragma once

#include "profile.h"
#include "scenario.h"

#include <vector>

namespace kr5::sim {

class TestObject {
  public:
    TestObject(const ObjectConfig& config, const VoltageProfile& profile);

    // Whether discharges burn at tS seconds. The state is traced along the profile in
    // steps of one millisecond from the start, so it is the same whatever order and
    // however often it is asked.
    bool dischargingAt(double tS);

    // While discharging at kv: the scale of the pulse charge in pC and the pulse rate.
    double chargeScalePc(double kv) const;
    double pulseRatePps(double kv) const;

    const ObjectConfig& config() const { return config_; }

  private:
    void traceTo(qint64 stepIndex);

    ObjectConfig config_;
    const VoltageProfile& profile_;
    bool initial_ = false;
    bool state_ = false;  // the state at step tracedTo_
    qint64 tracedTo_ = 0;
    std::vector<qint64> flips_;  // steps at which the state changed, ascending
};

}  // namespace kr5::sim
