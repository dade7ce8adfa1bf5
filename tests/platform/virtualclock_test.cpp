// Virtual time: ordering of scheduled actions and timers, waiting that never runs away, the
// time of day, and the port settings text. The program's pacing on it is in core's tests.
#include "platform/virtualclock.h"
#include "platform/serialport.h"

#include <gtest/gtest.h>
#include <limits>

namespace kr5 {
namespace {

TEST(VirtualClock, RunsActionsAndTimerTicksInTimeThenInsertionOrderAndKeepsWholeSeconds) {
    VirtualClock clock;
    QString order;
    clock.scheduleInMs(20, [&] { order += 'c'; });
    clock.scheduleInMs(10, [&] { order += 'a'; });
    clock.scheduleInMs(10, [&] { order += 'b'; });
    clock.advanceMs(15);
    EXPECT_EQ(order, QStringLiteral("ab"));
    EXPECT_EQ(clock.nowMs(), 15);
    clock.advanceMs(15);
    EXPECT_EQ(order, QStringLiteral("abc"));

    std::vector<qint64> ticks;
    int id = 0;
    id = clock.startTimer(100, [&] {
        ticks.push_back(clock.nowMs());
        if (ticks.size() == 3) {
            clock.stopTimer(id);  // a tick may stop its own timer
        }
    });
    clock.advanceMs(1000);
    EXPECT_EQ(ticks, (std::vector<qint64>{130, 230, 330}));

    // The time of day has whole seconds.
    VirtualClock day(QDateTime(QDate(2026, 3, 4), QTime(23, 59, 59)));
    day.setTimeOfDayReadCostUs(0);
    day.advanceMs(1500);
    EXPECT_EQ(day.localTime(), QDateTime(QDate(2026, 3, 5), QTime(0, 0, 0)));
}

TEST(VirtualWaiter, WaitJumpsToTheNextEventOrTheDeadline) {
    VirtualClock clock;
    VirtualWaiter waiter(clock);
    bool fired = false;
    clock.scheduleInMs(40, [&] { fired = true; });
    waiter.waitUntil(100);
    EXPECT_TRUE(fired);
    EXPECT_EQ(clock.nowMs(), 40);
    waiter.waitUntil(100);
    EXPECT_EQ(clock.nowMs(), 100);
    // Nothing scheduled and no deadline: time does not run off.
    waiter.waitUntil(std::numeric_limits<qint64>::max());
    EXPECT_EQ(clock.nowMs(), 100);
}

TEST(LineSettings, ParsesTheSettingsText) {
    const auto s = LineSettings::parse(QStringLiteral("19200,E,7,2"));
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(std::tuple(s->baud, s->parity, s->dataBits, s->stopBits),
              std::tuple(19200, 'E', 7, 2));
    for (const char* bad : {"fast", "9600,Q,8,1", "-1,N,8,1", "9600,N,9,1", "9600,N,8,3"}) {
        EXPECT_FALSE(LineSettings::parse(QString::fromLatin1(bad))) << bad;
    }
}

}  // namespace
}  // namespace kr5
