// How the composition root runs the measurement loop: on a thread of its own while the
// calling thread runs the windows (the program), or on the calling thread itself, in
// virtual time (the tests and the in-process simulator).
#pragma once

#include "virtualclock.h"

#include <functional>

namespace kr5 {

class LoopRunner {
  public:
    virtual ~LoopRunner() = default;

    // Runs loop to its end. Returns once it has ended and what it posted to the calling
    // thread has been carried out there.
    virtual void run(std::function<void()> loop) = 0;
};

// The loop on the calling thread, in virtual time; what it posted last is handed on.
class InlineLoopRunner : public LoopRunner {
  public:
    explicit InlineLoopRunner(VirtualWaiter& waiter) : waiter_(waiter) {}

    void run(std::function<void()> loop) override {
        loop();
        waiter_.runDue();
    }

  private:
    VirtualWaiter& waiter_;
};

}  // namespace kr5
