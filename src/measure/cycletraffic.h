// The exchanges of one reading, in the order that overlaps the units' answer times: the
// detector is asked first, the AC unit right after the detector's reply, the noise
// discriminator right after the AC unit's. Only the units found on the line are asked.
// Whether each reply stood clear of stray bytes is the link's to say once the line was
// used again.
#pragma once

#include "core/timing.h"
#include "link/link.h"
#include "measure/evaluation.h"
#include "platform/clock.h"

namespace kr5 {

class CycleTraffic {
  public:
    CycleTraffic(const UnitsOnLine& units, Link& link, const Clock& clock, Timing& timing)
        : units_(units), link_(link), clock_(clock), timing_(timing) {}

    // The three reads of a normal cycle, or of a Q-N step after its count.
    ReadingReplies read();

    // Counts the pulses of one gate at the range set: "c" + the gate time, a wait of the
    // gate time, then the count's reply.
    Reply countGate(qint32 gateTimeMs);

  private:
    const UnitsOnLine& units_;
    Link& link_;
    const Clock& clock_;
    Timing& timing_;
};

}  // namespace kr5
