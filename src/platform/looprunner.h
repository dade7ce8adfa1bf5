// How the composition root runs the measurement loop: on a thread of its own while the
// calling thread runs the windows (the program), or on the calling thread itself, in
// virtual time (the tests and the in-process simulator).
#pragma once

#include "eventpump.h"

#include <functional>

namespace kr5 {

class LoopRunner {
  public:
    virtual ~LoopRunner() = default;

    // Runs loop to its end. Returns once it has ended and what it posted to the calling
    // thread has been carried out there.
    virtual void run(std::function<void()> loop) = 0;
};

// The loop on the calling thread; the pump hands on what it posted last.
class InlineLoopRunner : public LoopRunner {
  public:
    explicit InlineLoopRunner(EventPump& pump) : pump_(pump) {}

    void run(std::function<void()> loop) override {
        loop();
        pump_.pumpOnce();
    }

  private:
    EventPump& pump_;
};

}  // namespace kr5
