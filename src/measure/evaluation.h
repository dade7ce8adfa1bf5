// What the replies of one reading become: the detector's fields converted into charge
// and pulse rate at the ranges it reported, the AC unit's code into Es and the test
// voltage, the noise discriminator's digits into its settings. A reply that did not
// count leaves its part of the reading empty.
#pragma once

#include "core/inputconstants.h"
#include "link/reply.h"
#include "link/units.h"
#include "measure/reading.h"

#include <optional>

namespace kr5 {

// The replies of one reading, in the order they were collected. A unit that is not on
// the line has a missing reply.
struct ReadingReplies {
    qint64 takenAtMs = 0;  // when the detector's reply was collected
    Reply detector;
    Reply ac;
    Reply noise;
};

class ReadingEvaluator {
  public:
    ReadingEvaluator(const InputConstants& constants, const UnitsOnLine& units)
        : constants_(constants), units_(units) {}

    // A normal cycle: the ranges are those the detector reports.
    Reading cycle(const ReadingReplies& replies);

    // One step of a Q-N pass at attenuator range step (rate range 0): the pulse rate is
    // the count rate of the gate, when the count came.
    Reading qnStep(int step, std::optional<qint32> countRate, const ReadingReplies& replies);

  private:
    void takeVoltage(Reading& r, const Reply& ac);
    void takeNoise(Reading& r, const Reply& noise) const;
    void convert(Reading& r) const;

    const InputConstants& constants_;
    const UnitsOnLine& units_;
    // Some AC codes leave the last voltage standing: the one of the reply before, none
    // when that reply did not count (what the unit left standing was never seen).
    std::optional<double> lastEs_;
};

}  // namespace kr5
