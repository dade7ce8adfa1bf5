// The 100 ms countdowns, wait, waitcycle and the cycle-time readout, in virtual time.
#include "app/timing.h"
#include "platform/virtualclock.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

struct TimingFixture : ::testing::Test {
    Globals g;
    VirtualClock clock;
    VirtualPump pump{clock};
    Timing timing{g, clock, pump};
};

TEST_F(TimingFixture, WaitLastsWholeTicks) {
    timing.startTimers();
    clock.advanceMs(30);  // the call falls between two ticks

    qint64 t0 = clock.nowMs();
    timing.wait(50);  // rounds to 0 ticks: no wait
    EXPECT_EQ(clock.nowMs(), t0);

    timing.wait(200);  // returns at the second tick after the call
    EXPECT_EQ(clock.nowMs(), 200);
    EXPECT_EQ(timing.waitcnt, 0);

    t0 = clock.nowMs();
    timing.wait(250);  // 2.5 ticks round to 2
    EXPECT_EQ(clock.nowMs() - t0, 200);

    t0 = clock.nowMs();
    timing.wait(350);  // 3.5 ticks round to 4
    EXPECT_EQ(clock.nowMs() - t0, 400);
}

TEST_F(TimingFixture, WaitWithoutTimersWaitsOnTheClock) {
    timing.wait(200);
    EXPECT_EQ(clock.nowMs(), 200);
    EXPECT_EQ(timing.waitcnt, 0);
}

TEST_F(TimingFixture, Timer2LowersBothCountdownsDownToZero) {
    timing.cyccnt = 2;
    timing.waitcnt = 1;
    timing.timer2Tick();
    EXPECT_EQ(timing.cyccnt, 1);
    EXPECT_EQ(timing.waitcnt, 0);
    timing.timer2Tick();
    timing.timer2Tick();
    EXPECT_EQ(timing.cyccnt, 0);
    EXPECT_EQ(timing.waitcnt, 0);
}

TEST_F(TimingFixture, Timer1ShowsTheMeanCycleTimeAndResetsTheCount) {
    QStringList shown;
    timing.showCycleTime = [&](const QString& t) { shown << t; };
    g.cyccount = 8;
    timing.timer1Tick();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.last(), QStringLiteral("125"));
    EXPECT_EQ(g.cyccount, 0);

    // No cycle in the last second: the readout keeps what it shows.
    timing.timer1Tick();
    EXPECT_EQ(shown.size(), 1);
    EXPECT_EQ(g.cyccount, 0);
}

TEST_F(TimingFixture, TimersRunFromTheOneClock) {
    int shown = 0;
    timing.showCycleTime = [&](const QString&) { ++shown; };
    timing.startTimers();
    g.cyccount = 3;
    timing.cyccnt = 5;
    clock.advanceMs(1000);
    EXPECT_EQ(timing.cyccnt, 0);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(g.cyccount, 0);
    timing.stopTimers();
    timing.cyccnt = 5;
    clock.advanceMs(1000);
    EXPECT_EQ(timing.cyccnt, 5);
}

TEST_F(TimingFixture, WaitcyclePumpsOnceAndWaitsForTheRestOfTheCountdown) {
    timing.startTimers();
    timing.cyccnt = 0;
    const long pumps = pump.pumpCount();
    timing.waitcycle();
    EXPECT_EQ(pump.pumpCount(), pumps + 1);
    EXPECT_EQ(clock.nowMs(), 0);

    // A 500 ms sample time with 150 ms of work leaves about 350 ms to wait.
    timing.cyccnt = 5;
    clock.advanceMs(150);
    timing.waitcycle();
    EXPECT_EQ(clock.nowMs(), 500);
}

}  // namespace
}  // namespace kr5
