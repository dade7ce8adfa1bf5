// The noise discriminator: two input attenuators (channel A and B, steps 0..9), a
// function selector (0 ALL ON, 1 N OFF, 2 PD ON, 3 ANT OFF) that decides how much
// background noise reaches the detector, and remote or local operation. In local mode
// an operator at the unit turns a knob now and then.
//
// Commands: "g" settings, "a"+d channel A, "c"+d channel B, "f"+d function, "m1"/"m0";
// "v" and "b3".."b5" as every unit. The "g" payload is channel A, function, the remote
// state ('1' remote, '0' local; the program does not read it) and channel B.
#pragma once

#include "unit.h"

#include <array>
#include <utility>
#include <vector>

namespace kr5::sim {

class Discriminator : public Unit {
  public:
    // Share of the background noise each function lets through.
    static constexpr std::array<double, 4> kNoisePass{1.0, 0.1, 0.05, 0.4};

    struct Settings {
        int stepA = 0;
        int function = 0;
        int stepB = 0;
        bool remote = false;  // switched on in local operation
    };

    Discriminator(const UnitConfig& config, quint32 seed, bool operatorActive);

    // The settings at atUs, after whatever the local operator did until then. Asking
    // about a later moment (the detector does, for a gate) does not change the answer for
    // an earlier one.
    Settings settingsAt(double atUs);
    double noisePassAt(double atUs);

  protected:
    std::optional<Answer> handleOwn(const QByteArray& command, double atUs) override;

  private:
    void planTouchesUntil(double atUs);
    double nextTouchAfter(double atUs);
    // A command changes the settings at atUs: touches planned beyond it are void.
    Settings& changeAt(double atUs);

    bool operatorActive_;
    // The settings from each moment on, ascending in time; the first from the start.
    std::vector<std::pair<double, Settings>> history_;
    double nextTouchUs_ = 0.0;
};

}  // namespace kr5::sim
