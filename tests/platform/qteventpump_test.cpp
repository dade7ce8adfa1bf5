// The Qt event pump: the program never enters an event loop, so whatever Qt leaves for
// deletion must be deleted by the pump's waits, or it piles up over a long run.
#include "platform/qteventpump.h"
#include "platform/qtclock.h"

#include <gtest/gtest.h>

#include <QObject>
#include <QPointer>

namespace kr5 {
namespace {

TEST(QtEventPump, AWaitDeletesWhatWasLeftForDeletionOutsideAnyLoop) {
    QtClock clock;
    QtEventPump pump{clock};
    for (const qint64 waitMs : {0, 5}) {
        QPointer<QObject> dropped = new QObject;
        dropped->deleteLater();
        pump.pumpOnce();
        ASSERT_FALSE(dropped.isNull()) << "processing events alone never deletes it";
        pump.waitForEvent(clock.nowMs() + waitMs);
        EXPECT_TRUE(dropped.isNull()) << "wait of " << waitMs << " ms";
    }
}

}  // namespace
}  // namespace kr5
