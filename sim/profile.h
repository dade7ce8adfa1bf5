// The test voltage over time, as an operator at the transformer makes it: up at a set
// rate to the peak, hold, down again, pause, and again if the scenario says so.
#pragma once

#include "scenario.h"

namespace kr5::sim {

class VoltageProfile {
  public:
    explicit VoltageProfile(const ProfileConfig& config);

    // Test voltage in kV at tS seconds of bench time; the start voltage before 0.
    double kvAt(double tS) const;

    // Length of one up-hold-down-pause cycle in seconds.
    double periodS() const { return upS_ + config_.holdS + downS_ + config_.pauseS; }
    double upS() const { return upS_; }
    double downS() const { return downS_; }

  private:
    ProfileConfig config_;
    double upS_ = 0.0;
    double downS_ = 0.0;
};

}  // namespace kr5::sim
