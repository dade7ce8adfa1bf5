// The exchanges of one reading, in the order that overlaps the units' answer times: the
// detector is asked first, the AC unit right after the detector's reply, the noise
// discriminator right after the AC unit's. Only the units found on the line are asked.
//
// Bytes that spoil one exchange may be the tail of the one before it, which looked
// complete when it was taken: a reply followed by a spoiled exchange does not count
// either.
#pragma once

#include "core/timing.h"
#include "link/link.h"
#include "measure/evaluation.h"
#include "platform/clock.h"

#include <optional>

namespace kr5 {

class CycleTraffic {
  public:
    CycleTraffic(const UnitsOnLine& units, Link& link, const Clock& clock, Timing& timing)
        : units_(units), link_(link), clock_(clock), timing_(timing) {}

    // The three reads of a normal cycle, or of a Q-N step after its count.
    ReadingReplies read();

    // Counts the pulses of one gate at the range set: "c" + the gate time, a wait of the
    // gate time, then the count. Empty when the count did not come.
    std::optional<qint32> countGate(qint32 gateTimeMs);

  private:
    static void spoilIfFollowedByStrays(Reply& earlier, const Reply& later);

    const UnitsOnLine& units_;
    Link& link_;
    const Clock& clock_;
    Timing& timing_;
};

}  // namespace kr5
