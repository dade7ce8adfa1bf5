#include "qteventpump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <limits>

namespace kr5 {

void QtEventPump::pumpOnce() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::waitForEvent(qint64 deadlineMs) {
    QTimer deadline;
    if (deadlineMs != std::numeric_limits<qint64>::max()) {
        const qint64 remainMs = deadlineMs - clock_.nowMs();
        if (remainMs <= 0) {
            pumpOnce();
            deleteWhatWaitsForDeletion();
            return;
        }
        // The single-shot timer is itself an event: it wakes the loop at the deadline.
        deadline.setSingleShot(true);
        deadline.setTimerType(Qt::PreciseTimer);
        deadline.start(static_cast<int>(qMin<qint64>(remainMs, std::numeric_limits<int>::max())));
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    deleteWhatWaitsForDeletion();
}

void QtEventPump::deleteWhatWaitsForDeletion() {
    // The program runs its loop by processing events, never by entering an event loop,
    // and Qt carries out a deleteLater() made outside any loop only when a loop is
    // entered: without this, the objects Qt's own widgets drop that way (the layout's
    // animations when a status-bar label shows or hides) would pile up for hours.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace kr5
