// The measurement's fiber: its waits return to the thread's event loop, which handles the
// windows' requests, the timers and Qt's own work, then resumes it.
#include "platform/fiberwaiter.h"
#include "platform/qtclock.h"
#include "platform/qtmailbox.h"

#include <gtest/gtest.h>

#include <QObject>
#include <QPointer>

namespace kr5 {
namespace {

struct FiberWaiterTest : ::testing::Test {
    QtClock clock;
    FiberWaiter waiter{clock};
    QObject receiver;
    QtMailbox mailbox{receiver};
};

TEST_F(FiberWaiterTest, AWaitEndsAtItsDeadlineOrWhenARequestHasBeenCarriedOut) {
    qint64 endedAtMs = 0;
    qint64 deadlineMs = 0;
    bool requestDone = false;
    bool requestRanDuringTheWait = false;
    bool waiting = false;
    waiter.run([&] {
        deadlineMs = clock.nowMs() + 30;
        waiter.waitUntil(deadlineMs);
        endedAtMs = clock.nowMs();

        mailbox.post([&] {
            requestRanDuringTheWait = waiting;
            requestDone = true;
        });
        waiting = true;
        const qint64 farMs = clock.nowMs() + 60'000;
        while (!requestDone) {
            waiter.waitUntil(farMs);
        }
        waiting = false;
        endedAtMs = clock.nowMs() - farMs;
    });
    EXPECT_TRUE(requestRanDuringTheWait);
    EXPECT_LT(endedAtMs, 0) << "woken by the request, not by its deadline a minute on";
}

TEST_F(FiberWaiterTest, WhileItWaitsTheLoopTicksTimersAndDeletesWhatWasLeftForDeletion) {
    int ticks = 0;
    const int timer = clock.startTimer(5, [&] { ++ticks; });
    QPointer<QObject> dropped;
    bool deletedDuringTheWait = false;
    waiter.run([&] {
        dropped = new QObject;
        dropped->deleteLater();
        const qint64 farMs = clock.nowMs() + 60'000;
        while (ticks < 3 && clock.nowMs() < farMs) {
            waiter.waitUntil(farMs);  // only the timer's ticks end it before a minute
        }
        deletedDuringTheWait = dropped.isNull();
        clock.stopTimer(timer);
    });
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(deletedDuringTheWait);
}

TEST_F(FiberWaiterTest, OutsideItsFiberAWaitHandlesNothing) {
    bool ran = false;
    mailbox.post([&] { ran = true; });
    waiter.waitUntil(clock.nowMs() + 5);
    EXPECT_FALSE(ran);
    waiter.run([] {});
    EXPECT_FALSE(ran) << "a body that never waits leaves the loop alone";
}

}  // namespace
}  // namespace kr5
