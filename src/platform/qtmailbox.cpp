#include "qtmailbox.h"

#include "fiberwaiter.h"

#include <QMetaObject>

namespace kr5 {

void QtMailbox::post(std::function<void()> work) {
    QMetaObject::invokeMethod(
        &receiver_,
        [work = std::move(work)] {
            work();
            // The measurement may be waiting for what the work changed.
            FiberWaiter::wakeThisThread();
        },
        Qt::QueuedConnection);
}

}  // namespace kr5
