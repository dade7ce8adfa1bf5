// The measurement loop on a thread of its own. The calling (windows') thread runs the
// application's event loop meanwhile, so nothing the windows do (a dialog, a display
// server that does not answer, a long drawing) can delay a cycle.
#pragma once

#include "fiberwaiter.h"
#include "looprunner.h"

#include <QObject>
#include <vector>

namespace kr5 {

class QtLoopRunner : public LoopRunner {
  public:
    // The loop runs as the waiter's fiber, over its thread's event loop.
    explicit QtLoopRunner(FiberWaiter& waiter) : waiter_(waiter) {}

    // The object whose thread the loop runs on: work posted to it runs in that thread's
    // event loop, between the loop's waits.
    QObject& loopReceiver() { return receiver_; }
    // Objects the loop uses that must live on its thread (the serial port's device).
    void moveAlong(QObject& object) { movers_.push_back(&object); }

    void run(std::function<void()> loop) override;

  private:
    FiberWaiter& waiter_;
    QObject receiver_;
    std::vector<QObject*> movers_;
};

}  // namespace kr5
