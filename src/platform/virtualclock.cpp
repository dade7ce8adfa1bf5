#include "virtualclock.h"

#include <QCoreApplication>

#include <limits>

namespace kr5 {

VirtualClock::VirtualClock(QDateTime start) : start_(std::move(start)) {}

QDateTime VirtualClock::localTime() const {
    // The read itself takes time. Actions that fall due meanwhile run at the next wait,
    // as events do on a real machine while a program is busy.
    nowUs_ += readCostUs_;
    const QDateTime t = start_.addMSecs(nowUs_ / 1000);
    return t.addMSecs(-t.time().msec());
}

int VirtualClock::startTimer(int intervalMs, std::function<void()> onTick) {
    const int id = nextTimerId_++;
    const qint64 intervalUs = qMax<qint64>(1, intervalMs) * 1000;
    timers_[id] = Timer{intervalUs, std::move(onTick)};
    scheduleTick(id, nowUs_ + intervalUs);
    return id;
}

void VirtualClock::stopTimer(int id) {
    timers_.erase(id);
}

void VirtualClock::scheduleTick(int id, qint64 atUs) {
    scheduleAtUs(atUs, [this, id, atUs] {
        auto it = timers_.find(id);
        if (it == timers_.end()) {
            return;
        }
        scheduleTick(id, atUs + it->second.intervalUs);
        // Copy: the tick may stop its own timer.
        const auto onTick = it->second.onTick;
        onTick();
    });
}

void VirtualClock::scheduleAtUs(qint64 atUs, std::function<void()> action) {
    queue_.emplace(std::make_pair(qMax(atUs, nowUs_), nextSeq_++), std::move(action));
}

int VirtualClock::runDue() {
    int ran = 0;
    while (!queue_.empty() && queue_.begin()->first.first <= nowUs_) {
        auto node = queue_.extract(queue_.begin());
        node.mapped()();
        ++ran;
    }
    return ran;
}

bool VirtualClock::advanceToNext(qint64 deadlineMs) {
    const qint64 deadlineUs = deadlineMs >= std::numeric_limits<qint64>::max() / 1000
                                  ? std::numeric_limits<qint64>::max()
                                  : deadlineMs * 1000;
    if (!queue_.empty() && queue_.begin()->first.first <= deadlineUs) {
        nowUs_ = qMax(nowUs_, queue_.begin()->first.first);
        return runDue() > 0;
    }
    // Nothing can ever happen before the deadline: with no deadline at all, time stays
    // put rather than running off to the end of time.
    if (deadlineUs != std::numeric_limits<qint64>::max()) {
        nowUs_ = qMax(nowUs_, deadlineUs);
    }
    return false;
}

void VirtualClock::advanceMs(qint64 ms) {
    const qint64 endUs = nowUs_ + ms * 1000;
    while (!queue_.empty() && queue_.begin()->first.first <= endUs) {
        nowUs_ = qMax(nowUs_, queue_.begin()->first.first);
        runDue();
    }
    nowUs_ = endUs;
}

void VirtualWaiter::runDue() {
    clock_.runDue();
}

void VirtualWaiter::waitUntil(qint64 deadlineMs) {
    // There is no event loop under virtual time: what Qt left for deletion goes here, or it
    // would pile up over a long scenario.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (clock_.runDue() > 0) {
        return;
    }
    clock_.advanceToNext(deadlineMs);
}

}  // namespace kr5
