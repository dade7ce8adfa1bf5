// How the measurement waits: for input on the line, a tick of its timers, a request from
// the windows, or a deadline on the clock. A wait never handles events beneath the code
// that waits: in the program the measurement runs as a fiber that each wait suspends, and
// its thread's event loop resumes it (FiberWaiter); in virtual time a wait moves the clock
// on to the next scheduled event (VirtualWaiter).
#pragma once

#include <QtGlobal>

namespace kr5 {

class Waiter {
  public:
    virtual ~Waiter() = default;

    // Returns once something has come for the waiting side (input, a timer tick, a
    // request) or the clock has reached deadlineMs, whichever is first; at the latest
    // after the deadline. It sleeps; it never spins. A return says only that what is
    // waited for may have changed: the caller looks again.
    virtual void waitUntil(qint64 deadlineMs) = 0;
};

}  // namespace kr5
