// Pacing in virtual time: waits and the cycle countdown in 100 ms ticks, the cycle-time readout
// and the calibration count. The loop that uses them is left to the measure tests.
#include "core/timing.h"
#include "platform/virtualclock.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace kr5 {
namespace {

struct TimingTest : ::testing::Test {
    TimingTest() {
        QObject::connect(&timing, &Timing::cycleTimeChanged,
                         [this](const QString& text) { readouts << text; });
    }

    // Virtual milliseconds a call takes.
    template <typename Call>
    qint64 lasting(Call call) {
        const qint64 t0 = clock.nowMs();
        call();
        return clock.nowMs() - t0;
    }

    VirtualClock clock;
    VirtualWaiter waiter{clock};
    Timing timing{clock, waiter};
    QStringList readouts;
};

TEST_F(TimingTest, WaitLastsWholeTicksWithAndWithoutTheTimers) {
    // Each pause asked for, and how long it lasts: whole ticks, halves to even.
    const std::pair<double, qint64> pauses[] = {{0, 0},     {49, 0},     {50, 0},    {51, 100},
                                                {150, 200}, {200, 200},  {250, 200}, {349, 300},
                                                {350, 400}, {1000, 1000}};
    for (const bool timers : {false, true}) {
        if (timers) {
            timing.startTimers();
        }
        for (const auto& [ms, lastsMs] : pauses) {
            SCOPED_TRACE(::testing::Message() << ms << " ms, timers " << timers);
            // The call falls on a tick: the ticks count from the clock's own timer.
            EXPECT_EQ(lasting([&, ms = ms] { timing.wait(ms); }), lastsMs);
        }
    }
    // Begun between two ticks, a wait of two ticks ends on the second.
    const qint64 tickMs = clock.nowMs();
    clock.advanceMs(30);
    timing.wait(200);
    EXPECT_EQ(clock.nowMs(), tickMs + 200);
}

TEST_F(TimingTest, TheCycleLastsItsSampleTimeWhateverTheWorkTook) {
    timing.startTimers();
    // Sample time, the work of the cycle, and when the cycle ends after its start.
    const std::tuple<double, qint64, qint64> cycles[] = {
        {500, 150, 500},               // the rest of the sample time is waited
        {200, 0, 200},   {0, 30, 30},  // MIN: no wait at all
        {100, 250, 250},               // work longer than the sample time: no wait after it
        {250, 0, 200},                 // 2.5 ticks are 2
    };
    for (const auto& [sampleMs, workMs, endsAtMs] : cycles) {
        SCOPED_TRACE(sampleMs);
        // Cycles start on a tick, as the loop's do after the previous waitForCycleEnd.
        clock.advanceMs((100 - clock.nowMs() % 100) % 100);
        const qint64 start = clock.nowMs();
        timing.startCycle(sampleMs);
        clock.advanceMs(workMs);
        timing.waitForCycleEnd();
        EXPECT_EQ(clock.nowMs() - start, endsAtMs);
    }
}

TEST_F(TimingTest, TicksByHandOrTheTimersCountTheCycleDownAndShowTheMeanCyclePeriod) {
    const auto cycleEndWait = [this] { return lasting([this] { timing.waitForCycleEnd(); }); };
    // Without the timers the countdown left is waited on the clock.
    timing.startCycle(500);
    timing.tick();
    timing.tick();
    EXPECT_EQ(cycleEndWait(), 300);
    timing.startCycle(200);
    for (int i = 0; i < 5; ++i) {
        timing.tick();  // more ticks than the cycle has
    }
    EXPECT_EQ(cycleEndWait(), 0);
    timing.startCycle(100);  // a new cycle starts from its full count
    EXPECT_EQ(cycleEndWait(), 100);

    // Cycles counted in a second, and what the readout is sent after it: nothing for a
    // second without a cycle, so that it keeps what it shows.
    const std::pair<int, QStringList> seconds[] = {
        {8, {"125"}}, {0, {}}, {3, {"333"}}, {1, {"1000"}}, {1500, {"1"}}};
    for (const auto& [cycles, sent] : seconds) {
        SCOPED_TRACE(cycles);
        readouts.clear();
        for (int i = 0; i < cycles; ++i) {
            timing.countCycle();
        }
        timing.showReadout();
        EXPECT_EQ(readouts, sent);
    }
    readouts.clear();
    timing.startTimers();
    timing.startTimers();  // a second start adds no second set of timers
    for (int i = 0; i < 4; ++i) {
        timing.countCycle();
    }
    clock.advanceMs(999);
    EXPECT_TRUE(readouts.isEmpty());
    clock.advanceMs(1);
    EXPECT_EQ(readouts, QStringList{"250"});
    timing.startCycle(300);
    clock.advanceMs(300);
    EXPECT_EQ(cycleEndWait(), 0);
    timing.stopTimers();
    EXPECT_FALSE(timing.timersRunning());
    timing.countCycle();
    clock.advanceMs(3000);
    EXPECT_EQ(readouts, QStringList{"250"});
}

// Clock reads per whole second / 20, halves to even; the count starts at the next second
// boundary wherever in a second it is called.
TEST(CalibrateLoop, CountsTheClockReadsOfOneWholeSecond) {
    const std::pair<qint64, qint32> cases[] = {
        {100, 500}, {1000, 50}, {20000, 2}, {40000, 1}, {100000, 0}};
    for (const int startMs : {0, 500, 999}) {
        for (const auto& [readCostUs, figure] : cases) {
            SCOPED_TRACE(::testing::Message() << readCostUs << " us from ms " << startMs);
            VirtualClock clock(QDateTime(QDate(2026, 1, 5), QTime(10, 0, 0, startMs)));
            clock.setTimeOfDayReadCostUs(readCostUs);
            EXPECT_EQ(calibrateLoop(clock), figure);
        }
    }
}

}  // namespace
}  // namespace kr5
