// What the readings show, read with the program's own readers: the voltage profile, the
// inception/extinction hysteresis, the ranges and their saturation, the gate counts of a
// pass, the noise discriminator, the operators in local mode, and the repeatability of a
// seeded scenario. The form of the replies on the line is in replies_test.cpp.
#include "sim/acunit.h"
#include "simline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

namespace kr5::sim::test {
namespace {

// A bench whose test voltage stands at kv from the start.
Scenario steadyAt(double kv) {
    Scenario s = quietBench();
    s.profile.startKv = kv;
    s.profile.peakKv = kv;
    return s;
}

// Moves the clock to second tS of bench time.
void moveTo(SimLine& line, double tS) {
    line.idle(static_cast<qint64>(tS * 1000.0) - line.clock.nowMs());
}

TEST(SimPhysics, ProfileRampsHoldsFallsAndRepeats) {
    ProfileConfig p;  // 0 -> 12 kV at 1 kV/s, hold 4 s, down at 1 kV/s, pause 2 s
    const VoltageProfile repeating(p);
    EXPECT_DOUBLE_EQ(repeating.periodS(), 30.0);
    for (const auto& [t, kv] :
         {std::pair{0.0, 0.0}, {6.0, 6.0}, {14.0, 12.0}, {22.0, 6.0}, {29.0, 0.0}, {36.0, 6.0}}) {
        EXPECT_DOUBLE_EQ(repeating.kvAt(t), kv) << t;
    }
    p.repeat = false;
    EXPECT_DOUBLE_EQ(VoltageProfile(p).kvAt(36.0), 0.0);
}

TEST(SimPhysics, DischargesStartAtInceptionAndStopOnlyBelowExtinction) {
    // Inception 8 kV, extinction 6 kV on the default ramp: 7 kV is passed at 7 s going up
    // and at 21 s coming down, 5.5 kV at 22.5 s. Asked out of order, nothing changes.
    Bench bench(quietBench());
    TestObject& object = bench.physics().testObject();
    const std::pair<double, bool> times[] = {{21.0, true},  {7.0, false},  {9.0, true},
                                             {22.5, false}, {37.0, false}, {51.0, true}};
    for (const auto& [t, burning] : times) {
        EXPECT_EQ(object.dischargingAt(t), burning) << t;
    }
    // The detector shows it: without noise the peak is 0 exactly while nothing burns.
    Scenario s = quietBench();
    s.object.noisePps = 0.0;
    SimLine line(s);
    line.ask(kKr, "m1");
    for (const auto& [t, burning] : {std::pair{7.0, false}, {21.0, true}, {22.5, false}}) {
        moveTo(line, t);
        const auto fields = detectorFieldsOf(line.ask(kKr, "x"));
        ASSERT_TRUE(fields) << t;
        EXPECT_EQ(fields->peakCode > 0, burning) << t;
    }
}

TEST(SimPhysics, PeakAndRateSaturateAtFullScaleAndComeBackAtHigherRanges) {
    Scenario s = steadyAt(12.0);
    s.object.chargePc = 100.0;  // pulses of about 2000 pC at 12 kV
    s.object.ratePps = 2000.0;  // about 6750 pulses/s at 12 kV
    SimLine line(s);
    line.ask(kKr, "m1");
    line.idle(1000);
    const auto low = detectorFieldsOf(line.ask(kKr, "x"));
    ASSERT_TRUE(low);
    EXPECT_EQ(std::pair(low->peakCode, low->rateCode), std::pair(0xFF, 0xFF));
    line.ask(kKr, "a9");
    line.ask(kKr, "r3");
    const auto high = detectorFieldsOf(line.ask(kKr, "x"));
    ASSERT_TRUE(high);
    EXPECT_EQ(std::pair(high->attRange, high->rateRange), std::pair(9, 3));
    for (const int code : {high->peakCode, high->rateCode}) {
        EXPECT_TRUE(code > 0 && code < 0xFF) << code;
    }
    // The byte scale: FF is 15 V and 150 pulses/s.
    EXPECT_EQ(std::tuple(Detector::peakByte(10.0), Detector::peakByte(1e9),
                         Detector::rateByte(100.0), Detector::rateByte(-3.0)),
              std::tuple(170, 0xFF, 170, 0));
}

TEST(SimPhysics, GateCountsOverAPassFallWithTheRange) {
    // At a steady 12 kV the discharges have a charge scale of 20 * 1.5^4 pC and come at
    // 100 * 1.5^3 pulses/s; noise is 300 pulses/s with a scale of 1.5 pC. A gate at
    // range i counts the pulses above 0.5 V times the range's division.
    SimLine line(steadyAt(12.0));
    line.ask(kKr, "m1");
    std::vector<double> counts;
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(line.ask(kKr, QByteArray("a") + char('0' + i)), QByteArray("A\r\n"));
        const QByteArray reply = line.ask(kKr, "c2000", 2100);
        ASSERT_EQ(reply.size(), 9) << "range " << i;
        const auto gate = gateCountOf(reply);
        ASSERT_TRUE(gate) << "range " << i << ": " << reply.constData();
        const double count = *gate;
        const double threshold = 0.5 * Detector::kDivision[static_cast<size_t>(i)];
        const double expected =
            2.0 * (100.0 * std::pow(1.5, 3) * std::exp(-threshold / (20.0 * std::pow(1.5, 4))) +
                   300.0 * std::exp(-threshold / 1.5));
        EXPECT_NEAR(count, expected, 5.0 * std::sqrt(expected) + 2.0) << "range " << i;
        counts.push_back(count);
    }
    EXPECT_TRUE(counts[0] > counts[4] && counts[4] > counts[7] && counts[7] > counts[9]);
}

TEST(SimPhysics, GateReplyLeavesWhenTheGateClosesAndTheDetectorIsDeafMeanwhile) {
    SimLine line(steadyAt(12.0));
    line.port.write(frameFor(kKr, "c1000"));
    EXPECT_TRUE(line.collectFor(500).isEmpty());
    line.port.write(frameFor(kKr, "x"));  // deaf while counting: lost, only the count comes
    EXPECT_EQ(line.collectFor(1000).size(), 9);
    // Frame of 8 bytes, 1000 ms gate, 2 ms turnaround, 9 bytes of reply.
    EXPECT_NEAR(line.lastArrivalUs, 17 * kByteUs + 1002000.0, 1.0);
    EXPECT_EQ(line.ask(kKr, "x").size(), 11);
}

TEST(SimPhysics, NoiseDiscriminatorFunctionCutsTheBackgroundNoise) {
    SimLine line(steadyAt(0.0));  // no discharges at all, only noise
    line.ask(kKr, "m1");
    line.ask(kKr, "r1");
    const auto noiseRate = [&line](const QByteArray& function) {
        line.ask(kZn, function);
        int sum = 0;
        for (int i = 0; i < 20; ++i) {
            line.idle(500);
            const auto fields = detectorFieldsOf(line.ask(kKr, "x"));
            EXPECT_TRUE(fields);
            sum += fields ? fields->rateCode : 0;
        }
        return sum;
    };
    const int allOn = noiseRate("f0");
    EXPECT_GT(allOn, 0);
    EXPECT_GT(allOn, 5 * noiseRate("f2"));
}

TEST(SimPhysics, AcUnitReportsTheTestVoltageThroughThePtRatio) {
    Scenario s = quietBench();
    s.profile.peakKv = 25.0;  // Es up to 250 V with the PT ratio of 100
    SimLine line(s);
    double shown = 0.0;
    for (int second = 0; second <= 25; ++second) {
        moveTo(line, second);
        const QByteArray answer = line.ask(kAu, "t");
        ASSERT_EQ(answer.size(), 9);
        const auto fields = acFieldsOf(answer);
        ASSERT_TRUE(fields) << answer.constData();
        shown = fields->voltage(shown);
        // The unit measured when the frame was through; over range reads as 200 V.
        const double es = line.bench.physics().esAt((line.sentUs + 4 * kByteUs) / 1e6);
        EXPECT_NEAR(shown, std::min(es, 200.0), 0.1 + es * 0.003) << "at " << second << " s";
    }
    const std::pair<double, const char*> codes[] = {
        {0.0, "0000"},   {0.04, "0000"},   {0.1, "2001"},    {99.94, "2999"}, {99.96, "3000"},
        {150.0, "3500"}, {199.94, "3999"}, {199.96, "6000"}, {-5.0, "0000"},  {NAN, "0000"}};
    for (const auto& [es, payload] : codes) {
        EXPECT_EQ(AcUnit::encodeEs(es), QByteArray(payload)) << es;
    }
}

TEST(SimPhysics, OperatorsChangeSettingsOnlyInLocalMode) {
    Scenario s = steadyAt(12.0);
    s.object.chargePc = 100.0;  // off scale at 1/1: an operator turns the attenuator up
    s.operatorActive = true;
    SimLine line(s);
    const auto attenuatorAfter20s = [&line] {
        int att = 0;
        for (int i = 0; i < 40; ++i) {
            line.idle(500);
            const auto fields = detectorFieldsOf(line.ask(kKr, "x"));
            EXPECT_TRUE(fields);
            att = fields ? fields->attRange : -1;
        }
        return att;
    };
    EXPECT_GT(attenuatorAfter20s(), 0);  // switched on in local mode
    line.ask(kKr, "m1");
    line.ask(kKr, "a0");
    EXPECT_EQ(attenuatorAfter20s(), 0);
    const auto settingsOverAMinute = [&line] {
        std::set<std::tuple<int, int, int>> seen;
        for (int i = 0; i < 60; ++i) {
            line.idle(1000);
            const auto fields = noiseFieldsOf(line.ask(kZn, "g"));
            EXPECT_TRUE(fields);
            if (fields) {
                seen.insert(std::tuple(fields->channelA, fields->function, fields->channelB));
            }
        }
        return seen.size();
    };
    EXPECT_GT(settingsOverAMinute(), 1u);
    line.ask(kZn, "m1");
    EXPECT_EQ(settingsOverAMinute(), 1u);
}

TEST(SimPhysics, TheSameSeedGivesTheSameReadings) {
    const auto run = [](quint32 seed) {
        Scenario s = Scenario::defaultBench();  // operators at work too
        s.seed = seed;
        SimLine line(s);
        QByteArray all;
        for (int i = 0; i < 60; ++i) {
            line.idle(500);
            all += line.ask(kKr, "x") + line.ask(kAu, "t") + line.ask(kZn, "g");
            if (i % 10 == 9) {
                all += line.ask(kKr, "c200", 300);
            }
        }
        return all;
    };
    const QByteArray first = run(7);
    EXPECT_EQ(run(7), first);
    EXPECT_NE(run(8), first);
}

}  // namespace
}  // namespace kr5::sim::test
