// The program's one clock: monotonic milliseconds for time-outs and pacing, the time of
// day for files and the calibration, and the periodic window timers (Timer1, Timer2).
// Tests use VirtualClock so that every wait runs in virtual time.
#pragma once

#include <QDateTime>
#include <functional>

namespace kr5 {

class Clock {
  public:
    virtual ~Clock() = default;

    // Milliseconds on a monotonic scale; only differences carry meaning.
    virtual qint64 nowMs() const = 0;

    // Local date and time of day, at whole-second resolution.
    virtual QDateTime localTime() const = 0;

    // Starts a periodic timer, ticking on the thread that starts it. Its ticks run only
    // while that thread's event loop runs (or, in virtual time, while a waiter waits), like
    // ordinary window timers. Returns an id for stopTimer.
    virtual int startTimer(int intervalMs, std::function<void()> onTick) = 0;
    virtual void stopTimer(int id) = 0;

    // True when nowMs and localTime may be read from another thread while the program
    // runs. The real clock may; a virtual clock is read only where its test drives it.
    virtual bool readableFromAnyThread() const { return false; }
};

}  // namespace kr5
