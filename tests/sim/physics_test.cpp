// What the simulated readings show, read with the program's own readers; the replies' form is
// in replies_test.cpp.
#include "sim/acunit.h"
#include "simline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace kr5::sim::test {
namespace {

TEST(SimPhysics, ProfileRampsHoldsFallsAndRepeats) {
    ProfileConfig p;  // 0 -> 12 kV at 1 kV/s, hold 4 s, down at 1 kV/s, pause 2 s
    EXPECT_DOUBLE_EQ(VoltageProfile(p).periodS(), 30.0);
    for (const auto& [t, kv] :
         {std::pair{0.0, 0.0}, {6.0, 6.0}, {14.0, 12.0}, {22.0, 6.0}, {29.0, 0.0}, {36.0, 6.0}}) {
        EXPECT_DOUBLE_EQ(VoltageProfile(p).kvAt(t), kv) << t;
    }
    p.repeat = false;
    EXPECT_DOUBLE_EQ(VoltageProfile(p).kvAt(36.0), 0.0);
    // A delay holds the start voltage first and shifts the whole profile.
    p.delayS = 40.0;
    EXPECT_DOUBLE_EQ(VoltageProfile(p).kvAt(39.0), 0.0);
    EXPECT_DOUBLE_EQ(VoltageProfile(p).kvAt(46.0), 6.0);
}

TEST(SimPhysics, DischargesStartAtInceptionAndStopOnlyBelowExtinction) {
    // Inception 8 kV, extinction 6 kV on the default ramp: 7 kV is passed at 7 s going up
    // and at 21 s coming down, 5.5 kV at 22.5 s. Asked out of order, nothing changes.
    Bench bench(quietBench());
    const std::pair<double, bool> times[] = {{21.0, true},  {7.0, false},  {9.0, true},
                                             {22.5, false}, {37.0, false}, {51.0, true}};
    for (const auto& [t, burning] : times) {
        EXPECT_EQ(bench.physics().testObject().dischargingAt(t), burning) << t;
    }
    // The detector shows it: without noise the peak is 0 exactly while nothing burns.
    SimLine line(quietBenchWith("object noiserate=0"));
    line.ask(kKr, "m1");
    for (const auto& [t, burning] : {std::pair{7.0, false}, {21.0, true}, {22.5, false}}) {
        line.idle(static_cast<qint64>(t * 1000.0) - line.clock.nowMs());
        EXPECT_EQ(line.reading().peakCode > 0, burning) << t;
    }
}

TEST(SimPhysics, PeakAndRateSaturateAtFullScaleAndComeBackAtHigherRanges) {
    // A steady 12 kV: pulses of about 2000 pC, about 6750 pulses/s.
    SimLine line(quietBenchWith("profile start=12 peak=12\nobject charge=100 rate=2000"));
    line.ask(kKr, "m1");
    line.idle(1000);
    const auto low = line.reading();
    EXPECT_EQ(std::pair(low.peakCode, low.rateCode), std::pair(0xFF, 0xFF));
    line.ask(kKr, "a9");
    line.ask(kKr, "r3");
    const auto high = line.reading();
    EXPECT_EQ(std::pair(high.attRange, high.rateRange), std::pair(9, 3));
    EXPECT_TRUE(high.peakCode > 0 && high.peakCode < 0xFF && high.rateCode > 0 &&
                high.rateCode < 0xFF);
    // The byte scale: FF is 15 V and 150 pulses/s.
    EXPECT_EQ(std::tuple(Detector::peakByte(10.0), Detector::peakByte(1e9),
                         Detector::rateByte(100.0), Detector::rateByte(-3.0)),
              std::tuple(170, 0xFF, 170, 0));
}

TEST(SimPhysics, GateCountsOverAPassFallWithTheRangeAndTheDetectorIsDeafMeanwhile) {
    // At a steady 12 kV the discharges have a charge scale of 20 * 1.5^4 pC and come at
    // 100 * 1.5^3 pulses/s; noise is 300 pulses/s with a scale of 1.5 pC. A gate at range i
    // counts the pulses above 0.5 V times the range's division.
    SimLine line(quietBenchWith("turnaround 2\nprofile start=12 peak=12"));
    line.ask(kKr, "m1");
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(line.ask(kKr, QByteArray("a") + char('0' + i)), QByteArray("A\r\n"));
        const QByteArray reply = line.ask(kKr, "c2000", 2100);
        const auto gate = readWith(kr5::gateCount, reply);
        ASSERT_TRUE(reply.size() == 9 && gate) << "range " << i << ": " << reply.constData();
        const double threshold = 0.5 * Detector::kDivision[static_cast<size_t>(i)];
        const double expected =
            2.0 * (100.0 * std::pow(1.5, 3) * std::exp(-threshold / (20.0 * std::pow(1.5, 4))) +
                   300.0 * std::exp(-threshold / 1.5));
        EXPECT_NEAR(*gate, expected, 5.0 * std::sqrt(expected) + 2.0) << "range " << i;
    }

    // The reply leaves when the gate closes; a frame meanwhile is lost, only the count comes.
    line.port.write(frameFor(kKr, "c1000"));
    const double sentUs = static_cast<double>(line.clock.nowUs());
    EXPECT_TRUE(line.collectFor(500).isEmpty());
    line.port.write(frameFor(kKr, "x"));
    EXPECT_EQ(line.collectFor(1000).size(), 9);
    // Frame of 8 bytes, 1000 ms gate, 2 ms turnaround, 9 bytes of reply.
    EXPECT_NEAR(line.lastArrivalUs - sentUs, 17 * kByteUs + 1002000.0, 1.0);
    EXPECT_EQ(line.ask(kKr, "x").size(), 11);
}

TEST(SimPhysics, NoiseDiscriminatorFunctionCutsTheBackgroundNoise) {
    SimLine line(quietBenchWith("profile start=0 peak=0"));  // no discharges, only noise
    line.ask(kKr, "m1");
    line.ask(kKr, "r1");
    const auto noiseRate = [&line](const QByteArray& function) {
        line.ask(kZn, function);
        int sum = 0;
        for (int i = 0; i < 20; ++i) {
            line.idle(500);
            sum += line.reading().rateCode;
        }
        return sum;
    };
    const int allOn = noiseRate("f0");
    EXPECT_GT(allOn, 0);
    EXPECT_GT(allOn, 5 * noiseRate("f2"));
}

TEST(SimPhysics, AcUnitReportsTheTestVoltageThroughThePtRatio) {
    SimLine line(quietBenchWith("profile peak=25"));  // Es up to 250 V with the PT ratio of 100
    double shown = 0.0;
    for (int second = 0; second <= 25; ++second) {
        line.idle(second * 1000 - line.clock.nowMs());
        const QByteArray answer = line.ask(kAu, "t");
        const auto fields = readWith(kr5::acFields, answer);
        ASSERT_TRUE(answer.size() == 9 && fields) << answer.constData();
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

// A calibrator's pulses reach the counters too; how the detector reads their charge is met
// by the calibration tests in modes.
TEST(SimPhysics, ACalibratorsPulsesAreCounted) {
    SimLine line(quietBenchWith(
        "profile start=0 peak=0\nobject noise=0 noiserate=0\ncalibration 2\ncalibrator pc=50"));
    line.ask(kKr, "m1");
    line.ask(kKr, "a2");
    EXPECT_NEAR(readWith(kr5::gateCount, line.ask(kKr, "c1000", 1100)).value_or(0), 100.0, 40.0);
}

TEST(SimPhysics, OperatorsChangeSettingsOnlyInLocalMode) {
    // Off scale at 1/1 at a steady 12 kV: an operator turns the attenuator up.
    SimLine line(quietBenchWith("profile start=12 peak=12\nobject charge=100\noperator on"));
    // The attenuator ranges and noise discriminator settings seen over 30 s.
    const auto seenOver30s = [&line] {
        std::set<int> attenuator;
        std::set<std::tuple<int, int, int>> noise;
        for (int i = 0; i < 30; ++i) {
            line.idle(1000);
            attenuator.insert(line.reading().attRange);
            const auto zn = readWith(kr5::noiseFields, line.ask(kZn, "g"));
            EXPECT_TRUE(zn);
            noise.insert(zn ? std::tuple(zn->channelA, zn->function, zn->channelB)
                            : std::tuple(-1, -1, -1));
        }
        return std::pair(attenuator.size(), noise.size());
    };
    const auto local = seenOver30s();
    EXPECT_TRUE(local.first > 1 && local.second > 1) << local.first << " " << local.second;
    line.ask(kKr, "m1");
    line.ask(kKr, "a0");  // off scale again, but no one may turn the attenuator up now
    line.ask(kZn, "m1");
    EXPECT_EQ(seenOver30s(), std::pair(size_t{1}, size_t{1}));
}

}  // namespace
}  // namespace kr5::sim::test
