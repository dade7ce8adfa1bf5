// Virtual time: ordering of scheduled actions and timers, and waiting that never runs
// away.
#include "platform/virtualclock.h"
#include "platform/serialport.h"

#include <gtest/gtest.h>
#include <limits>

namespace kr5 {
namespace {

TEST(VirtualClock, RunsActionsInTimeThenInsertionOrder) {
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
}

TEST(VirtualClock, TimersTickAtTheirIntervalUntilStopped) {
    VirtualClock clock;
    int ticks = 0;
    int id = 0;
    id = clock.startTimer(100, [&] {
        if (++ticks == 3) {
            clock.stopTimer(id);  // a tick may stop its own timer
        }
    });
    clock.advanceMs(1000);
    EXPECT_EQ(ticks, 3);
}

TEST(VirtualPump, WaitJumpsToTheNextEventOrTheDeadline) {
    VirtualClock clock;
    VirtualPump pump(clock);
    bool fired = false;
    clock.scheduleInMs(40, [&] { fired = true; });
    pump.waitForEvent(100);
    EXPECT_TRUE(fired);
    EXPECT_EQ(clock.nowMs(), 40);
    pump.waitForEvent(100);
    EXPECT_EQ(clock.nowMs(), 100);
    // Nothing scheduled and no deadline: time does not run off.
    pump.waitForEvent(std::numeric_limits<qint64>::max());
    EXPECT_EQ(clock.nowMs(), 100);
}

TEST(VirtualClock, TimeOfDayHasWholeSeconds) {
    VirtualClock clock(QDateTime(QDate(2026, 3, 4), QTime(23, 59, 59)));
    clock.setTimeOfDayReadCostUs(0);
    clock.advanceMs(1500);
    EXPECT_EQ(clock.localTime(), QDateTime(QDate(2026, 3, 5), QTime(0, 0, 0)));
}

TEST(LineSettings, ParsesTheSettingsText) {
    const auto s = LineSettings::parse(QStringLiteral("19200,N,8,1"));
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->baud, 19200);
    EXPECT_EQ(s->parity, 'N');
    EXPECT_EQ(s->dataBits, 8);
    EXPECT_EQ(s->stopBits, 1);
    EXPECT_FALSE(LineSettings::parse(QStringLiteral("fast")));
    EXPECT_FALSE(LineSettings::parse(QStringLiteral("9600,Q,8,1")));
    EXPECT_FALSE(LineSettings::parse(QStringLiteral("-1,N,8,1")));
    EXPECT_FALSE(LineSettings::parse(QStringLiteral("9600,N,9,1")));
}

}  // namespace
}  // namespace kr5
