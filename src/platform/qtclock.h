// The real clock: a monotonic elapsed timer, the system's local time and QTimer ticks.
#pragma once

#include "clock.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QTimer>
#include <map>
#include <memory>

namespace kr5 {

class QtClock : public Clock {
  public:
    QtClock();
    ~QtClock() override;

    qint64 nowMs() const override { return elapsed_.elapsed(); }
    QDateTime localTime() const override;
    int startTimer(int intervalMs, std::function<void()> onTick) override;
    void stopTimer(int id) override;
    bool readableFromAnyThread() const override { return true; }

  private:
    QElapsedTimer elapsed_;
    // The windows' thread and the measurement's start and stop timers (each its own,
    // ticking on the thread that started it).
    QMutex timersMutex_;
    int nextId_ = 1;
    std::map<int, std::unique_ptr<QTimer>> timers_;
};

}  // namespace kr5
