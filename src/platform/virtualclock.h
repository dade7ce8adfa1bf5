// Virtual time for tests and the in-process simulator. Nothing happens until a waiter
// asks for time to pass; then the clock jumps to the next scheduled event (a timer tick,
// a byte arriving on a simulated line) and runs it. A scenario of minutes runs in
// milliseconds and gives the same result on every run.
#pragma once

#include "clock.h"
#include "waiter.h"

#include <QDateTime>
#include <functional>
#include <map>
#include <utility>

namespace kr5 {

class VirtualClock : public Clock {
  public:
    explicit VirtualClock(QDateTime start = QDateTime(QDate(2026, 1, 5), QTime(10, 0, 0)));

    qint64 nowMs() const override { return nowUs_ / 1000; }
    qint64 nowUs() const { return nowUs_; }

    // Each read of the time of day costs this much virtual time, so that a loop that
    // counts clock reads per second (the reply-wait calibration) ends. Default 10 us.
    void setTimeOfDayReadCostUs(qint64 us) { readCostUs_ = us; }
    QDateTime localTime() const override;

    int startTimer(int intervalMs, std::function<void()> onTick) override;
    void stopTimer(int id) override;

    // Runs `action` once when virtual time reaches atUs (at once if that has passed).
    // Actions due at the same time run in the order they were scheduled.
    void scheduleAtUs(qint64 atUs, std::function<void()> action);
    void scheduleInMs(qint64 delayMs, std::function<void()> action) {
        scheduleAtUs(nowUs_ + delayMs * 1000, std::move(action));
    }

    // Runs every action that is due now. Returns how many ran.
    int runDue();

    // Moves time to the earliest scheduled action not later than deadlineMs and runs
    // everything due then; with none before the deadline, moves time to the deadline.
    // Returns true when an action ran.
    bool advanceToNext(qint64 deadlineMs);

    // Moves time forward by ms, running every action on the way in order.
    void advanceMs(qint64 ms);
    // The program is busy for ms (a long repaint, a machine under load): time passes and
    // what falls due meanwhile waits for the next wait, as events do on a real machine.
    void busyMs(qint64 ms) { nowUs_ += ms * 1000; }

    bool hasPending() const { return !queue_.empty(); }

  private:
    struct Timer {
        qint64 intervalUs;
        std::function<void()> onTick;
    };
    void scheduleTick(int id, qint64 atUs);

    QDateTime start_;
    mutable qint64 nowUs_ = 0;
    qint64 readCostUs_ = 10;
    quint64 nextSeq_ = 0;
    int nextTimerId_ = 1;
    std::map<std::pair<qint64, quint64>, std::function<void()>> queue_;
    std::map<int, Timer> timers_;
};

// Waiting over a VirtualClock: pending events are the actions due now, and waiting means
// running them, or jumping to the next one.
class VirtualWaiter : public Waiter {
  public:
    explicit VirtualWaiter(VirtualClock& clock) : clock_(clock) {}

    // Runs what is due now, without waiting.
    void runDue();
    void waitUntil(qint64 deadlineMs) override;

  private:
    VirtualClock& clock_;
};

}  // namespace kr5
