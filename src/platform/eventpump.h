// The event pump the acquisition loop, wait and receive run while they wait, so that
// menus, panel clicks and timer ticks are handled in between.
#pragma once

#include <QtGlobal>

namespace kr5 {

class EventPump {
  public:
    virtual ~EventPump() = default;

    // Handles the events that are pending now, once. Never blocks.
    virtual void pumpOnce() = 0;

    // Blocks until at least one event has been handled or the clock reaches deadlineMs,
    // whichever comes first. It sleeps; it never spins.
    virtual void waitForEvent(qint64 deadlineMs) = 0;
};

}  // namespace kr5
