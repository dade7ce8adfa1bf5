// The 100 ms countdowns that pace the acquisition cycle and the waits (Timer2), the
// once-a-second cycle-time readout (Timer1), wait, waitcycle, and the start-up
// calibration of the reply wait.
#pragma once

#include "globals.h"
#include "platform/clock.h"
#include "platform/eventpump.h"

#include <QString>
#include <functional>

namespace kr5 {

class Timing {
  public:
    static constexpr int timer1Ms = 1000;
    static constexpr int timer2Ms = 100;

    Timing(Globals& g, Clock& clock, EventPump& pump);
    ~Timing();
    Timing(const Timing&) = delete;
    Timing& operator=(const Timing&) = delete;

    qint32 cyccnt = 0;   // cycle countdown, Timer2 ticks
    qint32 waitcnt = 0;  // wait countdown, Timer2 ticks

    // Receives the text for the cycle-time readout (dst) at each Timer1 tick that has one.
    std::function<void(const QString&)> showCycleTime;

    // Switches Timer1 and Timer2 on (the acquisition loop does this when it starts).
    void startTimers();
    void stopTimers();
    bool timersRunning() const { return timer2Id_ != 0; }

    void timer2Tick();
    void timer1Tick();

    // Pauses for ms rounded to whole 100 ms ticks, handling events meanwhile; 50 ms or
    // less does not wait at all.
    void wait(double ms);

    // Pumps the event queue once, then goes on until the cycle countdown has run out.
    void waitcycle();

  private:
    void pumpUntilZero(qint32& countdown);

    Globals& g_;
    Clock& clock_;
    EventPump& pump_;
    int timer1Id_ = 0;
    int timer2Id_ = 0;
};

// Counts time-of-day reads during one whole second, after waiting for a second boundary,
// and returns that count / 20 (rounded, halves to even): the figure the About box shows.
qint32 calibrateLoop(const Clock& clock);

}  // namespace kr5
