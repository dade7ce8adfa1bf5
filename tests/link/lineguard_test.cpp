// The accounting of answers owed, on its own: which answer strays pay, and the suspect line.
// How the link acts on it, and how long a missed answer is awaited, are in link_test.cpp.
#include "link/lineguard.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

constexpr UnitKind kDetector = UnitKind::Detector;
constexpr UnitKind kAcUnit = UnitKind::AcUnit;
constexpr qint64 kHorizon = LineGuard::horizonMs;

TEST(LineGuard, StraysPayTheOldestAnswerOwedButNotTheOneAwaitedNowAndMakeTheLineSuspect) {
    LineGuard guard;
    guard.commandSent(kAcUnit, 0);     // missed
    guard.commandSent(kDetector, 50);  // missed
    guard.commandSent(kAcUnit, 100);
    guard.straysSeen(110);  // the AC unit's answer of 0 ms, the oldest
    EXPECT_EQ(guard.olderAnswersOwed(kAcUnit, 110), 0);
    EXPECT_EQ(guard.olderAnswersOwed(kDetector, 110), 1);
    guard.straysSeen(120);
    EXPECT_EQ(guard.olderAnswersOwed(kDetector, 120), 0);
    // Nothing older is left: the answer awaited now stays owed, and when it misses too, the
    // unit's next exchange knows it.
    guard.straysSeen(130);
    guard.commandSent(kAcUnit, 200);
    EXPECT_EQ(guard.olderAnswersOwed(kAcUnit, 200), 1);
    // Of two answers one unit owes, a stray pays the older; the newer is awaited its horizon.
    guard.commandSent(kDetector, 250);
    guard.straysSeen(260);
    EXPECT_EQ(guard.olderAnswersOwed(kAcUnit, 200 + kHorizon), 1);

    // Strays make the line suspect for the horizon, or until reset.
    guard = LineGuard();
    guard.straysSeen(1000);  // nothing was owed: noise
    EXPECT_TRUE(guard.lineSuspect(1000 + kHorizon));
    EXPECT_FALSE(guard.lineSuspect(1001 + kHorizon));
    guard.commandSent(kAcUnit, 2000);
    guard.commandSent(kAcUnit, 2010);
    guard.straysSeen(2020);
    guard.commandSent(kDetector, 2030);
    guard.reset();
    EXPECT_FALSE(guard.lineSuspect(2030));
    guard.commandSent(kAcUnit, 2040);
    EXPECT_EQ(guard.olderAnswersOwed(kAcUnit, 2040), 0);
    EXPECT_FALSE(guard.lineSuspect(2040));
}

}  // namespace
}  // namespace kr5
