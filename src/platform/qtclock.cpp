#include "qtclock.h"

#include "fiberwaiter.h"

namespace kr5 {

QtClock::QtClock() {
    elapsed_.start();
}

QtClock::~QtClock() = default;

QDateTime QtClock::localTime() const {
    QDateTime t = QDateTime::currentDateTime();
    return t.addMSecs(-t.time().msec());
}

int QtClock::startTimer(int intervalMs, std::function<void()> onTick) {
    auto timer = std::make_unique<QTimer>();
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(intervalMs);
    QObject::connect(timer.get(), &QTimer::timeout, timer.get(), [onTick = std::move(onTick)] {
        onTick();
        FiberWaiter::wakeThisThread();  // a wait may count the ticks
    });
    timer->start();
    const QMutexLocker lock(&timersMutex_);
    const int id = nextId_++;
    timers_[id] = std::move(timer);
    return id;
}

void QtClock::stopTimer(int id) {
    const QMutexLocker lock(&timersMutex_);
    auto it = timers_.find(id);
    if (it != timers_.end()) {
        it->second->stop();
        // A tick handler may stop its own timer: delete it once control is back in the loop.
        it->second.release()->deleteLater();
        timers_.erase(it);
    }
}

}  // namespace kr5
