#include "fiberwaiter.h"

#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <boost/context/protected_fixedsize_stack.hpp>
#include <limits>

namespace kr5 {

namespace {

// The measurement's stack: as large as a thread's own, since what the measurement calls
// (the port, the files, Qt's formatting) may go deep. Only the pages it touches take
// memory; a guard page below it stops an overflow.
constexpr std::size_t kStackBytes = 8 * 1024 * 1024;

thread_local FiberWaiter* waiterOfThisThread = nullptr;

}  // namespace

void FiberWaiter::run(const std::function<void()>& body) {
    QEventLoop eventLoop;
    QObject receiver;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &receiver, [this] { wake(); });
    eventLoop_ = &eventLoop;
    receiver_ = &receiver;
    deadline_ = &deadline;
    finished_ = false;
    waiterOfThisThread = this;
    namespace ctx = boost::context;
    fiber_ = ctx::fiber(std::allocator_arg, ctx::protected_fixedsize_stack(kStackBytes),
                        [this, &body](ctx::fiber&& loop) {
                            loop_ = std::move(loop);
                            body();
                            finished_ = true;
                            return std::move(loop_);
                        });
    resume();
    if (!finished_) {
        eventLoop.exec();
    }
    waiterOfThisThread = nullptr;
    eventLoop_ = nullptr;
    receiver_ = nullptr;
    deadline_ = nullptr;
}

void FiberWaiter::waitUntil(qint64 deadlineMs) {
    if (!loop_) {
        // Not within the fiber (no wait of the measurement ever is): sleep, handling nothing.
        const qint64 remainMs = deadlineMs - clock_.nowMs();
        QThread::msleep(static_cast<unsigned long>(std::clamp<qint64>(remainMs, 0, 100)));
        return;
    }
    waiting_ = true;
    if (deadlineMs != std::numeric_limits<qint64>::max()) {
        const qint64 remainMs = deadlineMs - clock_.nowMs();
        if (remainMs <= 0) {
            // Past the deadline already: the loop handles what is pending, then resumes.
            wake();
        } else {
            deadline_->start(
                static_cast<int>(qMin<qint64>(remainMs, std::numeric_limits<int>::max())));
        }
    }
    loop_ = std::move(loop_).resume();
}

void FiberWaiter::wakeThisThread() {
    if (FiberWaiter* waiter = waiterOfThisThread) {
        waiter->wake();
    }
}

void FiberWaiter::wake() {
    if (!waiting_ || resumeQueued_) {
        return;
    }
    // Queued, so that the measurement goes on from the loop itself and never inside the
    // handler that woke it (a port's signal, a request under way).
    resumeQueued_ = true;
    QMetaObject::invokeMethod(
        receiver_,
        [this] {
            resumeQueued_ = false;
            resume();
        },
        Qt::QueuedConnection);
}

void FiberWaiter::resume() {
    if (!fiber_) {
        return;
    }
    waiting_ = false;
    deadline_->stop();
    fiber_ = std::move(fiber_).resume();
    if (finished_) {
        eventLoop_->quit();
    }
}

}  // namespace kr5
