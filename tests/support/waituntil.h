// Waiting in a real event loop for something a test expects of another process: events
// are handled while it waits, and it gives up after a time.
#pragma once

#include "platform/qtclock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace kr5::test {

class RealTimeWait {
  public:
    // Handles events until done() holds or ms have passed; false on the time-out.
    bool until(qint64 ms, const std::function<bool()>& done) {
        const qint64 deadline = clock_.nowMs() + ms;
        while (!done()) {
            if (clock_.nowMs() >= deadline) {
                return false;
            }
            QTimer wakeAtDeadline;  // an event of its own: the wait ends by the deadline
            wakeAtDeadline.setSingleShot(true);
            wakeAtDeadline.start(static_cast<int>(deadline - clock_.nowMs()));
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        return true;
    }

    QtClock& clock() { return clock_; }

  private:
    QtClock clock_;
};

}  // namespace kr5::test
