// The program's pacing: the 100 ms tick that counts down the cycle and the pauses, the
// once-a-second readout of the mean cycle period, wait and waitForCycleEnd, and the start-up
// count of clock reads per second that the About box shows.
#pragma once

#include "platform/clock.h"
#include "platform/waiter.h"

#include <QObject>
#include <QString>
#include <atomic>

namespace kr5 {

class Timing : public QObject {
    Q_OBJECT

  public:
    static constexpr int readoutIntervalMs = 1000;
    static constexpr int tickMs = 100;

    Timing(Clock& clock, Waiter& waiter);
    ~Timing() override;
    Timing(const Timing&) = delete;
    Timing& operator=(const Timing&) = delete;

    // Switches the tick and the readout on (the acquisition loop does this when it
    // starts) and off.
    void startTimers();
    void stopTimers();
    bool timersRunning() const { return tickTimer_ != 0; }

    // Loads the cycle countdown with a sample time, rounded to whole ticks.
    void startCycle(double sampleMs);
    // A normal cycle is complete: counted for the cycle-time readout.
    void countCycle() { ++cyclesThisSecond_; }

    // Pauses for ms rounded to whole ticks; 50 ms or less does not wait at all.
    void wait(double ms);

    // Waits until the cycle countdown has run out; returns at once when it has already
    // run out.
    void waitForCycleEnd();

    // The timer handlers, for tests that drive them by hand.
    void tick();
    void showReadout();

  signals:
    // The mean cycle period of the last second, as the readout shows it ("####" ms). Not
    // sent for a second without a complete cycle.
    void cycleTimeChanged(const QString& text);

  private:
    void waitUntilZero(qint32& countdown);

    Clock& clock_;
    Waiter& waiter_;
    qint32 cycleCountdown_ = 0;  // ticks left of the current cycle
    qint32 waitCountdown_ = 0;   // ticks left of the current wait
    qint32 cyclesThisSecond_ = 0;
    int readoutTimer_ = 0;
    int tickTimer_ = 0;
};

// Counts time-of-day reads during one whole second, after waiting for a second boundary,
// and returns that count / 20 (rounded, halves to even): the figure the About box shows.
qint32 calibrateLoop(const Clock& clock);

// The same, given up (returning 0) as soon as stop is set.
qint32 calibrateLoop(const Clock& clock, const std::atomic<bool>& stop);

}  // namespace kr5
