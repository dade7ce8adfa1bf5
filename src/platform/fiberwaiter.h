// The measurement as a fiber over its thread's event loop. The loop runs at the bottom of
// the thread; the measurement's code runs on a stack of its own, and each wait suspends it
// there and returns to the loop, which resumes it once something came for it (input on the
// line, a timer tick, a request from the windows) or its deadline passed. So the windows'
// requests, the port's input and Qt's own work (objects left for deletion, a socket that
// goes away) are handled by the loop itself, never beneath a wait: the measurement's state
// while it waits is the place its code stopped at, and nothing runs on top of it.
#pragma once

#include "clock.h"
#include "waiter.h"

#include <boost/context/fiber.hpp>
#include <functional>

class QEventLoop;
class QObject;
class QTimer;

namespace kr5 {

class FiberWaiter : public Waiter {
  public:
    explicit FiberWaiter(const Clock& clock) : clock_(clock) {}
    FiberWaiter(const FiberWaiter&) = delete;
    FiberWaiter& operator=(const FiberWaiter&) = delete;

    // Runs body as a fiber on the calling thread, whose event loop runs meanwhile; returns
    // once body has returned.
    void run(const std::function<void()>& body);

    // From within body: suspends it until wake() or the deadline.
    void waitUntil(qint64 deadlineMs) override;

    // Something came for the measurement on the calling thread (the port's input, a timer,
    // a request): the fiber waiting there, if any, is resumed from the loop. Cheap when
    // none waits, and harmless on any other thread.
    static void wakeThisThread();

  private:
    void wake();
    void resume();

    const Clock& clock_;
    boost::context::fiber fiber_;  // the measurement, while it is suspended
    boost::context::fiber loop_;   // the thread's loop, while the measurement runs
    QEventLoop* eventLoop_ = nullptr;
    QObject* receiver_ = nullptr;
    QTimer* deadline_ = nullptr;
    bool waiting_ = false;
    bool resumeQueued_ = false;
    bool finished_ = false;
};

}  // namespace kr5
