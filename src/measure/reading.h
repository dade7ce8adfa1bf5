// One reading of the units: what a normal cycle or one step of a Q-N counting pass
// found, as one value. The measurement builds it once and hands it to its listeners (the
// panel, the recorder, the charts, the inception detector, the Q-N sequence, the status
// line); none of them reaches back.
//
// A unit's part is empty when its reply did not count (missing, late, mixed with other
// bytes or garbled): nothing is ever made up from a reply that is not there.
#pragma once

#include "core/ranges.h"
#include "link/reply.h"

#include <QtGlobal>
#include <optional>

namespace kr5 {

struct Reading {
    enum class Kind {
        Cycle,   // a normal acquisition cycle
        QnStep,  // one attenuator range of a Q-N counting pass
    };

    Kind kind = Kind::Cycle;
    qint64 takenAtMs = 0;  // clock milliseconds when the detector's reply was collected

    bool acPresent = false;     // the AC unit is on the line
    bool noisePresent = false;  // the noise discriminator is on the line

    std::optional<DetectorFields> detector;  // the detector's measurement ("x")
    std::optional<double> es;                // the AC unit's Es in V; 0 without the unit
    std::optional<NoiseFields> noise;        // the noise discriminator's settings
    std::optional<qint32> countRate;         // Q-N step: pulses per second over the gate

    // The ranges the reading was taken at: those the detector reported in its reply, or
    // for a Q-N step the step's attenuator range and rate range 0.
    int attRange = 0;
    int rateRange = 0;
    // A range command went out after the reading was taken: the ranges it reports are no
    // longer those asked for, and nothing follows them.
    bool rangesSuperseded = false;

    // Converted values, valid where the parts they come from are.
    double rawPeak = 0.0;      // V before the attenuator
    double rawRate = 0.0;      // before the rate multiplier
    double charge = 0.0;       // pC: division x raw peak x Adjust
    double pulseRate = 0.0;    // P.P.S.: multiplier x raw rate, or the Q-N count rate
    double testVoltage = 0.0;  // V: Es x PT ratio

    bool isQnStep() const { return kind == Kind::QnStep; }
    bool detectorAnswered() const { return detector.has_value(); }
    bool acAnswered() const { return es.has_value(); }
    bool countAnswered() const { return countRate.has_value(); }

    // The charge without the Adjust factor, as the charts' scales take it.
    double chargeUnadjusted() const { return attenuatorDivision(attRange) * rawPeak; }

    // Every value of a data row is known: the detector answered, the voltage is known
    // and, for a Q-N step, the count came.
    bool complete() const {
        return detectorAnswered() && acAnswered() && (!isQnStep() || countAnswered());
    }
};

// Everything that takes the readings.
class ReadingListener {
  public:
    virtual ~ReadingListener() = default;
    virtual void takeReading(const Reading& reading) = 0;
};

}  // namespace kr5
