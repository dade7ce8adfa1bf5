// What replies become: the conversions of a reading with Adjust, the ranges and the PT
// ratio, the parts a missing or spoiled reply leaves empty, the Q-N step's own range and
// count, and the units' answer status. The exchanges themselves are in acquisition_test,
// the panel's use of a reading in panelmodel_test, the field rules in the link's tests.
#include "measure/evaluation.h"
#include "measure/unitstatus.h"

#include "support/benchunits.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

Reply whole(const char* text) {
    return Reply{Reply::Status::Whole, QString::fromLatin1(text)};
}

// An "x" reply: hex peak, hex rate, attenuator digit, rate digit.
Reply detectorReply(int peak, int rate, int att, int rateRange) {
    return Reply{Reply::Status::Whole,
                 QString::asprintf("A0x%02X%02X%d%d\r\n", peak, rate, att, rateRange)};
}

struct Evaluation : ::testing::Test {
    InputConstants constants;
    UnitsOnLine units;
    ReadingEvaluator evaluator{constants, units};

    void SetUp() override { test::defaultBenchUnits(units); }

    Reading cycle(Reply detector, Reply ac = whole("A1t2123\r\n"),
                  Reply noise = whole("A2g3207\r\n")) {
        return evaluator.cycle(ReadingReplies{1234, detector, ac, noise});
    }
};

TEST_F(Evaluation, ChargeRateAndVoltageFollowRangesAdjustAndPtRatio) {
    constants.adjust = 0.5;
    constants.ptRatio = 80.0;
    const Reading r = cycle(detectorReply(0x80, 0x40, 3, 2), whole("A1tA123\r\n"));
    ASSERT_TRUE(r.complete());
    EXPECT_EQ(std::tuple(r.kind, r.takenAtMs, r.attRange, r.rateRange),
              std::tuple(Reading::Kind::Cycle, 1234, 3, 2));
    EXPECT_DOUBLE_EQ(r.rawPeak, 0x80 / 170.0 * 10.0);
    EXPECT_DOUBLE_EQ(r.charge, 10 * (0x80 / 170.0 * 10.0) * 0.5);  // division x raw x Adjust
    EXPECT_DOUBLE_EQ(r.chargeUnadjusted(), 10 * (0x80 / 170.0 * 10.0));
    EXPECT_DOUBLE_EQ(r.pulseRate, 10 * (0x40 / 170.0 * 100.0));  // multiplier of range 2
    EXPECT_DOUBLE_EQ(*r.es, 12.3);                               // the flag bit 8 is ignored
    EXPECT_DOUBLE_EQ(r.testVoltage, 12.3 * 80.0);
    ASSERT_TRUE(r.noise);
    EXPECT_EQ(std::tuple(r.noise->channelA, r.noise->function, r.noise->channelB),
              std::tuple(3, 2, 7));
}

TEST_F(Evaluation, FullScaleAtTheTopRanges) {
    const Reading r = cycle(detectorReply(0xFF, 0xFF, 9, 3));
    EXPECT_DOUBLE_EQ(r.charge, 15000.0);
    EXPECT_DOUBLE_EQ(r.pulseRate, 7500.0);
}

// Whatever did not come whole, or not of its kind, leaves its part empty; nothing reads
// as zero.
TEST_F(Evaluation, ARepliesThatDidNotCountLeaveTheirPartEmpty) {
    for (const Reply& spoiled :
         {Reply{Reply::Status::Missing, QString()},
          Reply{Reply::Status::Short, QStringLiteral("A0x12")},
          Reply{Reply::Status::Overlong, QStringLiteral("A1t2123\r\nA0x1234")},
          detectorReply(0x12, 0x34, 0, 7),  // no rate range 7
          whole("A0xG2340000")}) {
        const Reading r = cycle(spoiled);
        EXPECT_FALSE(r.detectorAnswered()) << spoiled.text.toStdString();
        EXPECT_FALSE(r.complete());
        EXPECT_DOUBLE_EQ(r.charge, 0.0);
        EXPECT_TRUE(r.acAnswered());  // the other units' parts stand on their own
    }
    const Reading noVoltage = cycle(detectorReply(1, 1, 0, 0), Reply{Reply::Status::Missing, {}},
                                    Reply{Reply::Status::Short, QStringLiteral("A2")});
    EXPECT_TRUE(noVoltage.detectorAnswered());
    EXPECT_FALSE(noVoltage.acAnswered());
    EXPECT_FALSE(noVoltage.noise);
    EXPECT_FALSE(noVoltage.complete());
}

TEST_F(Evaluation, TheVoltageKeepsItsLastValueWhereTheUnitSaysSo) {
    EXPECT_DOUBLE_EQ(*cycle(detectorReply(0, 0, 0, 0), whole("A1t3050\r\n")).es, 105.0);
    // Code 2 with 000 and an unknown code leave the last value standing...
    EXPECT_DOUBLE_EQ(*cycle(detectorReply(0, 0, 0, 0), whole("A1t2000\r\n")).es, 105.0);
    EXPECT_DOUBLE_EQ(*cycle(detectorReply(0, 0, 0, 0), whole("A1t4123\r\n")).es, 105.0);
    // ...but a reply that did not come does not count as one of them.
    EXPECT_FALSE(cycle(detectorReply(0, 0, 0, 0), Reply{}).es);
    EXPECT_DOUBLE_EQ(*cycle(detectorReply(0, 0, 0, 0), whole("A1t6999\r\n")).es, 200.0);
    EXPECT_DOUBLE_EQ(*cycle(detectorReply(0, 0, 0, 0), whole("A1t1999\r\n")).es, 0.0);
}

TEST_F(Evaluation, WithoutAnAcUnitTheVoltageIsZeroAndTheReadingComplete) {
    test::defaultBenchUnits(units, false, false);
    const Reading r = cycle(detectorReply(0x20, 0x20, 1, 0), Reply{}, Reply{});
    EXPECT_EQ(std::tuple(r.acPresent, r.noisePresent, r.es, r.testVoltage, r.complete()),
              std::tuple(false, false, std::optional<double>(0.0), 0.0, true));
}

TEST_F(Evaluation, AQnStepIsTakenAtItsOwnRangeWithItsCount) {
    constants.adjust = 2.0;
    // The detector reports range 5 and rate range 3; the step is range 4, rate range 0.
    const Reading r = evaluator.qnStep(
        4, 42, {77, detectorReply(0x11, 0x99, 5, 3), whole("A1t2100\r\n"), whole("A2g0000\r\n")});
    EXPECT_EQ(std::tuple(r.isQnStep(), r.attRange, r.rateRange, r.pulseRate, r.complete()),
              std::tuple(true, 4, 0, 42.0, true));
    EXPECT_DOUBLE_EQ(r.charge, 20 * (0x11 / 170.0 * 10.0) * 2.0);
    const Reading noCount = evaluator.qnStep(
        4, std::nullopt, {77, detectorReply(0x11, 0, 0, 0), whole("A1t2100\r\n"), Reply{}});
    EXPECT_FALSE(noCount.countAnswered());
    EXPECT_FALSE(noCount.complete());
}

TEST(UnitStatusTest, CountsTheReadingsInARowWithoutEachUnitsReply) {
    UnitStatus status;
    std::vector<QString> shown;
    QObject::connect(&status, &UnitStatus::changed, [&](const QString& t) { shown.push_back(t); });
    Reading answered;
    answered.acPresent = answered.noisePresent = true;
    answered.detector = DetectorFields{};
    answered.es = 1.0;
    answered.noise = NoiseFields{};
    Reading silentDetector = answered;
    silentDetector.detector.reset();
    Reading silentAcAndNoise = answered;
    silentAcAndNoise.es.reset();
    silentAcAndNoise.noise.reset();
    Reading qnStepWithoutCount = answered;
    qnStepWithoutCount.kind = Reading::Kind::QnStep;

    for (const Reading& r : {silentDetector, silentDetector, silentDetector}) {
        status.takeReading(r);
    }
    EXPECT_EQ(status.text(), QStringLiteral("KR-5: no reply (3)"));
    status.takeReading(silentAcAndNoise);
    EXPECT_EQ(status.text(), QStringLiteral("ACU: no reply (1); ZN-4: no reply (1)"));
    status.takeReading(qnStepWithoutCount);  // a count that did not come is the detector's
    EXPECT_EQ(status.text(), QStringLiteral("KR-5: no reply (1)"));
    status.takeReading(answered);
    EXPECT_EQ(status.text(), QString());
    // Each change is told once.
    EXPECT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown.back(), QString());
    // The totals outlive the runs in a row.
    EXPECT_EQ(status.summary(),
              QStringLiteral("readings 6, without a reply: KR-5 4, ACU 1, ZN-4 1"));
}

}  // namespace
}  // namespace kr5
