// The link on a fake serial port that a test scripts, in virtual time: the units, the
// clock, its waiter, the pacing and the port, as the link is built over them.
#pragma once

#include "core/timing.h"
#include "link/link.h"
#include "link/units.h"
#include "platform/virtualclock.h"
#include "support/fakeserialport.h"

namespace kr5::test {

struct FakeLinkParts {
    UnitsOnLine units;
    VirtualClock clock;
    VirtualWaiter waiter{clock};
    Timing timing{clock, waiter};
    FakeSerialPort port{clock};
    Link link{units, port, clock, waiter, timing};
};

}  // namespace kr5::test
