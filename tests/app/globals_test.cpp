// Start values of the shared state and the reply-wait calibration.
#include "app/globals.h"
#include "app/numeric.h"
#include "app/timing.h"
#include "platform/virtualclock.h"

#include <gtest/gtest.h>
#include <cmath>

namespace kr5 {
namespace {

TEST(Globals, VinitSetsTheStartValues) {
    Globals g;
    g.kname = QStringLiteral("changed");
    g.autoatt = false;
    g.qnloops = 10;
    g.samplems = 500;
    g.vinit();
    EXPECT_EQ(g.kname, QStringLiteral("no name"));
    EXPECT_EQ(g.knum, QStringLiteral("1"));
    EXPECT_EQ(g.ktemp, QStringLiteral("20"));
    EXPECT_EQ(g.krh, QStringLiteral("59"));
    EXPECT_DOUBLE_EQ(g.kpt, 100.0);
    EXPECT_DOUBLE_EQ(g.kadj, 1.0);
    EXPECT_DOUBLE_EQ(g.ksetq, 1.0);
    EXPECT_EQ(g.kstart, 50);
    EXPECT_EQ(g.kstop, 0);
    EXPECT_EQ(g.atttbl[9], 1000);
    EXPECT_EQ(g.atttbl[10], 0);
    EXPECT_EQ(g.ratetbl[3], 50);
    EXPECT_EQ(g.ratetbl[4], 0);
    EXPECT_EQ(g.cyccount, 1);
    EXPECT_EQ(g.gatetime, 1000);
    EXPECT_EQ(g.qnloops, -1);
    EXPECT_EQ(g.tvmulti, 1);
    EXPECT_TRUE(g.autoatt);
    EXPECT_TRUE(g.autorate);
    EXPECT_EQ(g.comspeed, 0);
    EXPECT_FALSE(g.endreq);
    EXPECT_DOUBLE_EQ(g.log10k, 0.43429448190325176);
    // The sample time is not one of the start values: it keeps what the dialog set.
    EXPECT_EQ(g.samplems, 500);
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(roundEven(0.5), 0);
    EXPECT_EQ(roundEven(1.5), 2);
    EXPECT_EQ(roundEven(2.5), 2);
    EXPECT_EQ(roundEven(-2.5), -2);
    EXPECT_EQ(roundEven(2.51), 3);
    EXPECT_EQ(roundEven(std::nan("")), 0);
    EXPECT_EQ(roundEvenLong(1e12), 2147483647);
    EXPECT_EQ(roundEvenLong(-1e12), -2147483647 - 1);
}

TEST(Calibration, LoopcalIsClockReadsPerSecondOverTwenty) {
    VirtualClock clock;
    clock.advanceMs(300);              // start part-way into a second
    clock.setTimeOfDayReadCostUs(10);  // 100 000 reads a second
    EXPECT_EQ(calibrateLoop(clock), 5000);
    // It waited for a second boundary and then counted one whole second.
    EXPECT_GE(clock.nowMs(), 1700);
    EXPECT_LE(clock.nowMs(), 2000);

    VirtualClock slow;
    slow.setTimeOfDayReadCostUs(400);  // 2500 reads a second
    EXPECT_EQ(calibrateLoop(slow), 125);
}

}  // namespace
}  // namespace kr5
