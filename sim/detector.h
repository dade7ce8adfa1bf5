// The partial-discharge detector. Its input attenuator divides the pulse charge before
// the peak meter (full scale 15 V = FF), its rate meter counts the pulses that rise above
// a fixed trigger level behind the attenuator, and its gate counter counts the same
// pulses for a set time. In local mode an operator at the instrument keeps the readings
// on scale by changing the ranges, as the front panel invites.
//
// Commands: "x" reading, "c"+n gate count over n ms (1..60000), "a"+d attenuator 0..9,
// "r"+d rate range 0..3, "m1" remote, "m0" local; "v" and "b3".."b5" as every unit.
#pragma once

#include "physics.h"
#include "unit.h"

#include <array>
#include <functional>

namespace kr5::sim {

class Detector : public Unit {
  public:
    static constexpr std::array<int, 10> kDivision{1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};
    static constexpr std::array<int, 4> kMultiplier{1, 5, 10, 50};
    static constexpr double kTriggerV = 0.5;     // raw volts a pulse must exceed to count
    static constexpr double kPeakWindowS = 0.2;  // the peak meter holds this long
    static constexpr double kRateWindowS = 1.0;  // the rate meter averages this long
    static constexpr int kMaxGateMs = 60000;

    // Raw peak volts and raw pulses per second (before the multiplier) as reply bytes,
    // held at FF.
    static int peakByte(double rawV);
    static int rateByte(double rawPps);

    Detector(const UnitConfig& config, quint32 seed, Physics& physics, double calibrationPcPerV,
             bool operatorActive);

    // What the noise discriminator lets through at a moment (1 without one).
    void setNoisePass(std::function<double(double atUs)> pass) { noisePass_ = std::move(pass); }

    int attenuator() const { return attenuator_; }
    int rateRange() const { return rateRange_; }
    bool remote() const { return remote_; }

    // The smallest charge in pC that the counters see at an attenuator range.
    double thresholdPc(int attenuator) const;

    struct Reading {
        int peak = 0;  // byte 0..FF
        int rate = 0;  // byte 0..FF
    };
    // The meters at atUs, at the ranges in use.
    Reading readingAt(double atUs);

    // Pulses above the threshold of the attenuator in use during lengthMs from fromUs.
    quint64 gateCount(double fromUs, double lengthMs);

  protected:
    std::optional<Answer> handleOwn(const QByteArray& command, double atUs) override;

  private:
    void operatorLooks(double atUs);
    double noisePassAt(double atUs) const { return noisePass_ ? noisePass_(atUs) : 1.0; }

    Physics& physics_;
    double calibration_;
    bool operatorActive_;
    std::function<double(double)> noisePass_;
    int attenuator_ = 0;
    int rateRange_ = 0;
    bool remote_ = false;  // an instrument is switched on in local operation
    double nextLookUs_ = 0.0;
    Reading last_;
};

}  // namespace kr5::sim
