// The accounting of answers owed, on its own: which answers a unit still owes, what
// strays and received answers pay, when the line is suspect, and the horizon after which
// both are forgotten. How the link acts on it is in link_test.cpp.
#include "link/lineguard.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

constexpr UnitKind kDetector = UnitKind::Detector;
constexpr UnitKind kAcUnit = UnitKind::AcUnit;
constexpr UnitKind kDiscriminator = UnitKind::NoiseDiscriminator;

TEST(LineGuard, ALineInStepOwesOnlyTheAnswerAwaitedNow) {
    LineGuard guard;
    for (const UnitKind unit : {kDetector, kAcUnit, kDiscriminator}) {
        EXPECT_EQ(guard.olderAnswersOwed(unit, 0), 0);
    }
    EXPECT_FALSE(guard.lineSuspect(0));
    qint64 t = 0;
    for (const UnitKind unit : {kDetector, kAcUnit, kDiscriminator, kDetector}) {
        guard.commandSent(unit, t);
        EXPECT_EQ(guard.olderAnswersOwed(unit, t), 0);
        EXPECT_FALSE(guard.lineSuspect(t));
        guard.answersReceived(unit, 1, t + 10);
        t += 20;
    }
}

TEST(LineGuard, AMissedAnswerIsOwedByTheUnitThatMissedIt) {
    LineGuard guard;
    guard.commandSent(kAcUnit, 0);  // its answer does not come
    guard.commandSent(kDetector, 100);
    EXPECT_EQ(guard.olderAnswersOwed(kDetector, 100), 0);
    EXPECT_EQ(guard.olderAnswersOwed(kAcUnit, 100), 1);
    EXPECT_TRUE(guard.lineSuspect(100));
    guard.answersReceived(kDetector, 1, 110);
    guard.commandSent(kAcUnit, 120);
    EXPECT_EQ(guard.olderAnswersOwed(kAcUnit, 120), 1);

    // The late answer and the one to the command just sent came together: square again.
    guard.answersReceived(kAcUnit, 2, 130);
    guard.commandSent(kAcUnit, 140);
    EXPECT_EQ(guard.olderAnswersOwed(kAcUnit, 140), 0);
    EXPECT_FALSE(guard.lineSuspect(140));
}

TEST(LineGuard, OwedAnswersAreWrittenOffAfterTheHorizon) {
    const struct {
        qint64 atMs;
        int older;
        bool suspect;
    } cases[] = {
        {100, 1, true},
        {LineGuard::horizonMs, 1, true},
        {LineGuard::horizonMs + 1, 0, false},
        {10 * LineGuard::horizonMs, 0, false},
    };
    for (const auto& c : cases) {
        LineGuard guard;
        guard.commandSent(kAcUnit, 0);  // missed
        guard.commandSent(kAcUnit, 100);
        EXPECT_EQ(guard.olderAnswersOwed(kAcUnit, c.atMs), c.older) << c.atMs;
        EXPECT_EQ(guard.lineSuspect(c.atMs), c.suspect) << c.atMs;
    }
}

TEST(LineGuard, StraysPayTheOldestAnswerOwedButNotTheOneAwaitedNow) {
    LineGuard guard;
    guard.commandSent(kAcUnit, 0);     // missed
    guard.commandSent(kDetector, 50);  // missed
    guard.commandSent(kAcUnit, 100);
    ASSERT_EQ(guard.olderAnswersOwed(kAcUnit, 100), 1);
    ASSERT_EQ(guard.olderAnswersOwed(kDetector, 100), 1);

    guard.straysSeen(110);  // the AC unit's answer of 0 ms, the oldest
    EXPECT_EQ(guard.olderAnswersOwed(kAcUnit, 110), 0);
    EXPECT_EQ(guard.olderAnswersOwed(kDetector, 110), 1);
    guard.straysSeen(120);
    EXPECT_EQ(guard.olderAnswersOwed(kDetector, 120), 0);

    // Nothing older is left: the answer awaited now stays owed, and when it misses too,
    // the unit's next exchange knows it.
    guard.straysSeen(130);
    guard.commandSent(kAcUnit, 200);
    EXPECT_EQ(guard.olderAnswersOwed(kAcUnit, 200), 1);
}

TEST(LineGuard, StraysMakeTheLineSuspectForTheHorizon) {
    LineGuard guard;
    guard.straysSeen(1000);  // nothing was owed: noise
    for (const auto& [atMs, suspect] : {std::pair{qint64{1000}, true},
                                        {1000 + LineGuard::horizonMs, true},
                                        {1001 + LineGuard::horizonMs, false}}) {
        EXPECT_EQ(guard.lineSuspect(atMs), suspect) << atMs;
    }
}

TEST(LineGuard, AMissedAnswerIsAwaitedForTheHorizonFromTheEndOfItsExchange) {
    for (const auto& [atMs, older] :
         {std::pair{qint64{100} + LineGuard::horizonMs, 1}, {101 + LineGuard::horizonMs, 0}}) {
        LineGuard guard;
        guard.commandSent(kAcUnit, 0);
        guard.answerMissed(kAcUnit, 100);  // the time-out ran out at 100 ms
        guard.commandSent(kAcUnit, 200);
        EXPECT_EQ(guard.olderAnswersOwed(kAcUnit, atMs), older) << atMs;
    }
}

TEST(LineGuard, AWriteOffForgetsEverythingTheUnitOwed) {
    LineGuard guard;
    guard.commandSent(kAcUnit, 0);     // missed
    guard.commandSent(kDetector, 10);  // missed
    guard.commandSent(kAcUnit, 20);    // missed
    guard.commandSent(kAcUnit, 30);
    ASSERT_EQ(guard.olderAnswersOwed(kAcUnit, 30), 2);
    guard.writeOff(kAcUnit);
    EXPECT_EQ(guard.olderAnswersOwed(kAcUnit, 40), 0);
    EXPECT_EQ(guard.olderAnswersOwed(kDetector, 40), 1);  // the others still owe theirs
}

TEST(LineGuard, ResetForgetsOwedAnswersAndStrays) {
    LineGuard guard;
    guard.commandSent(kAcUnit, 0);
    guard.commandSent(kAcUnit, 10);
    guard.straysSeen(20);
    guard.commandSent(kDetector, 30);
    guard.reset();
    EXPECT_FALSE(guard.lineSuspect(30));
    guard.commandSent(kAcUnit, 40);
    EXPECT_EQ(guard.olderAnswersOwed(kAcUnit, 40), 0);
    EXPECT_FALSE(guard.lineSuspect(40));
}

}  // namespace
}  // namespace kr5
