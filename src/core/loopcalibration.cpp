#include "loopcalibration.h"

#include "core/timing.h"

#include <QPointer>

namespace kr5 {

LoopCalibration::~LoopCalibration() {
    stop_ = true;
    if (thread_) {
        thread_->wait();
    }
}

void LoopCalibration::start(const Clock& clock, std::function<void(qint32)> done) {
    if (!clock.readableFromAnyThread()) {
        done(calibrateLoop(clock));
        return;
    }
    QPointer<LoopCalibration> self(this);
    thread_.reset(QThread::create([this, self, &clock, done = std::move(done)] {
        const qint32 figure = calibrateLoop(clock, stop_);
        if (stop_) {
            return;
        }
        // Queued to this object's thread; dropped if the object is gone by then.
        QMetaObject::invokeMethod(
            this,
            [self, done, figure] {
                if (self) {
                    done(figure);
                }
            },
            Qt::QueuedConnection);
    }));
    thread_->start(QThread::IdlePriority);
}

bool LoopCalibration::running() const {
    return thread_ && thread_->isRunning();
}

}  // namespace kr5
