// A mailbox in virtual time: posted work runs at the next pass of the virtual waiter,
// in order. A test can hold it to play a side that is stalled (a display server that does
// not answer, a long repaint): the work waits, in order, until the hold ends.
#pragma once

#include "mailbox.h"
#include "virtualclock.h"

#include <deque>

namespace kr5 {

class VirtualMailbox : public Mailbox {
  public:
    explicit VirtualMailbox(VirtualClock& clock) : clock_(clock) {}

    void post(std::function<void()> work) override;

    // While held, posted work waits; release hands it all on, in order.
    void hold() { held_ = true; }
    void release();
    bool held() const { return held_; }
    // Plays a side that takes each piece of work the moment it is posted, as a thread of
    // its own may: whatever the poster does after posting comes too late for that work.
    void deliverAtOnce() { atOnce_ = true; }
    qsizetype waiting() const { return static_cast<qsizetype>(waiting_.size()); }

  private:
    VirtualClock& clock_;
    bool held_ = false;
    bool atOnce_ = false;
    std::deque<std::function<void()>> waiting_;
};

}  // namespace kr5
