// Qm of a Q-N pass on known distributions, and the means of a block of passes.
#include "modes/qm.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kr5 {
namespace {

// Thresholds with Adjust 2: 2, 4, 10, 20, 40, 100, 200, 400, 1000, 2000 pC.
constexpr double kAdjust = 2.0;

QnRates rates(std::initializer_list<std::optional<double>> list) {
    QnRates r{};
    size_t i = 0;
    for (const auto& rate : list) {
        r[i++] = rate;
    }
    return r;
}

TEST(Qm, ACrossingBetweenTwoThresholdsIsReadOffOnLogarithmicScales) {
    // 100 pulses/s above 10 pC and 1 above 20 pC: 10 lies halfway on the rate's scale,
    // so Qm lies halfway between 10 and 20 on the charge's: sqrt(200) pC.
    const Qm qm = chargeAtTenPulses(rates({900, 400, 100, 1, 0.5, 0, 0, 0, 0, 0}), kAdjust);
    ASSERT_EQ(qm.where, Qm::Where::Found);
    EXPECT_NEAR(qm.pC, std::sqrt(200.0), 1e-9);
    EXPECT_EQ(qm.text(), QStringLiteral("14.1 pC"));
    // Adjust scales the thresholds and with them Qm.
    EXPECT_NEAR(chargeAtTenPulses(rates({900, 400, 100, 1}), 1.0).pC, std::sqrt(50.0), 1e-9);
    // A range without pulses is plotted at 0.1: from 40 above 4 pC to none above 10 pC.
    const double share = (1.0 - std::log10(40.0)) / (-1.0 - std::log10(40.0));
    EXPECT_NEAR(chargeAtTenPulses(rates({80, 40, 0, 0}), kAdjust).pC,
                std::pow(10.0, std::log10(4.0) + share * (1.0 - std::log10(4.0))), 1e-9);
    // A rate of exactly 10 gives its threshold, at the highest range too.
    EXPECT_DOUBLE_EQ(chargeAtTenPulses(rates({50, 10, 3, 0}), kAdjust).pC, 4.0);
    EXPECT_DOUBLE_EQ(chargeAtTenPulses(rates({50, 40, 30, 30, 20, 20, 20, 15, 12, 10}), kAdjust).pC,
                     2000.0);
}

TEST(Qm, MissingCountsAreLeftOutAndTheHighestCrossingCounts) {
    // Range 3 has no count: the crossing lies between ranges 2 and 4 (10 and 40 pC).
    const Qm gap = chargeAtTenPulses(rates({500, 200, 100, std::nullopt, 1, 0}), kAdjust);
    EXPECT_NEAR(gap.pC, std::sqrt(10.0 * 40.0), 1e-9);
    // A rate that rises above 10 again after a dip: the crossing above 100 pC counts.
    const Qm highest = chargeAtTenPulses(rates({300, 5, 50, 40, 20, 100, 1, 0, 0, 0}), kAdjust);
    EXPECT_NEAR(highest.pC, std::sqrt(100.0 * 200.0), 1e-9);
    // A pass that never crosses says on which side.
    const Qm below = chargeAtTenPulses(rates({8, 2, 1, 0, 0, 0, 0, 0, 0, 0}), kAdjust);
    EXPECT_EQ(below.where, Qm::Where::BelowLowest);
    EXPECT_EQ(below.text(), QStringLiteral("below the lowest threshold"));
    const Qm above =
        chargeAtTenPulses(rates({900, 800, 700, 600, 500, 400, 300, 200, 100, 11}), kAdjust);
    EXPECT_EQ(above.where, Qm::Where::AboveHighest);
    EXPECT_EQ(above.text(), QStringLiteral("above the highest"));
    EXPECT_EQ(chargeAtTenPulses(QnRates{}, kAdjust).where, Qm::Where::NoCounts);
    EXPECT_EQ(chargeAtTenPulses(rates({900, 10}), 0.0).where, Qm::Where::NoCounts);
}

// Full scale with Adjust 2 is 2000 pC, so FS / N is 200 pC. Rates of 1000, 100, 10 and 1
// pulses/s have logs 3, 2, 1 and 0: the ends count half, a rate below 1 counts as 1.
TEST(Nqn, TheTrapezoidOfLogRatesTimesTheWindowWidthAndNoneWithoutEveryCount) {
    const auto nqn = [](std::initializer_list<std::optional<double>> list, double adjust) {
        return normalisedQuantityNumber(rates(list), adjust);
    };
    // 3/2 + 2 + 1 + 0 ... + 0.5 (the rate 0.5 at the top counts as 1: 0) = 4.5 decades.
    EXPECT_NEAR(*nqn({1000, 100, 10, 1, 0, 0, 0, 0, 0, 0.5}, kAdjust), 200.0 * 4.5, 1e-9);
    // A top window with 100 pulses/s counts half its log; Adjust 1 halves the width.
    EXPECT_NEAR(*nqn({1, 1, 1, 1, 1, 1, 1, 1, 1, 100}, 1.0), 100.0 * 1.0, 1e-9);
    EXPECT_EQ(nqn({1000, 100, 10, 1, 0, 0, 0, 0, 0, std::nullopt}, kAdjust), std::nullopt);
    EXPECT_EQ(nqn({1000, 100, 10, 1, 0, 0, 0, 0, 0, 0}, 0.0), std::nullopt);
}

// Known distributions: ten equal windows give 9 times the log of their rate; an empty window
// counts 0; rates falling on a straight line in log10 (4, 3.6, ... 0.4) give the trapezoid's
// exact area of a line, 9 x 4 - 40.5 x 0.4 = 19.8 decades.
TEST(Nqn, KnownDistributionsGiveTheirClosedForms) {
    QnRates equal{};
    QnRates oneEmpty{};
    QnRates line{};
    for (int i = 0; i < kAttenuatorRanges; ++i) {
        equal[size_t(i)] = 100.0;
        oneEmpty[size_t(i)] = i == 5 ? 0.0 : 100.0;
        line[size_t(i)] = std::pow(10.0, 4.0 - 0.4 * i);
    }
    EXPECT_NEAR(*normalisedQuantityNumber(equal, kAdjust), 200.0 * 9 * 2, 1e-9);
    EXPECT_NEAR(*normalisedQuantityNumber(oneEmpty, kAdjust), 200.0 * (9 * 2 - 2), 1e-9);
    EXPECT_NEAR(*normalisedQuantityNumber(line, kAdjust), 200.0 * 19.8, 1e-9);
}

TEST(QmTracker, TheLastPassAndTheBlockMean) {
    QmTracker t;
    const auto pass = [&t](std::initializer_list<double> list) {
        int range = 0;
        for (const double rate : list) {
            t.takeStep(range++, rate);
        }
        t.passDone();
    };
    pass({100, 100, 100, 1, 1, 1, 1, 1, 1, 1});    // Qm sqrt(200)
    pass({100, 100, 100, 100, 1, 1, 1, 1, 1, 1});  // Qm sqrt(800)
    EXPECT_NEAR(t.lastPass(kAdjust).pC, std::sqrt(800.0), 1e-9);
    // Block means: 100 above 10 pC and 50.5 above 20, 1 above 40.
    const double share = (1.0 - std::log10(50.5)) / (0.0 - std::log10(50.5));
    EXPECT_NEAR(t.block(kAdjust).pC, std::pow(10.0, std::log10(20.0) + share * std::log10(2.0)),
                1e-9);
    EXPECT_EQ(t.passesInBlock(), 2);
    ASSERT_EQ(t.blockPasses().size(), 2u);  // each pass kept as counted, for the export
    EXPECT_EQ(t.blockPasses()[1][3], 100.0);
    EXPECT_EQ(t.blockPasses()[0][3], 1.0);
    // NQN of the last pass, and of the block's means (the 4th window's mean 50.5).
    EXPECT_NEAR(*t.lastPassNqn(kAdjust), 200.0 * (1.0 + 2.0 + 2.0 + 2.0), 1e-9);
    EXPECT_NEAR(*t.blockNqn(kAdjust), 200.0 * (1.0 + 2.0 + 2.0 + std::log10(50.5)), 1e-9);
    t.takeStep(0, std::nullopt);  // a step without a count is no point of the pass
    t.startBlock();
    EXPECT_EQ(t.passesInBlock(), 0);
    EXPECT_TRUE(t.blockPasses().empty());
    EXPECT_EQ(t.block(kAdjust).where, Qm::Where::NoCounts);
    // The last pass stays the last until another completes (the remote control asks it).
    EXPECT_NEAR(t.lastPass(kAdjust).pC, std::sqrt(800.0), 1e-9);
    EXPECT_EQ(t.lastPassRates()[3], 100.0);
}

}  // namespace
}  // namespace kr5
