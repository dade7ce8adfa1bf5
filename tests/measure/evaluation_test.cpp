// What replies that did not count leave empty, the voltage kept where the AC unit says so,
// every range's scale, and the units' answer status. A reading without an AC unit on the
// line, and the Q-N step's own range and count, are read in recorder_test's rows.
#include "measure/evaluation.h"
#include "measure/unitstatus.h"

#include "support/benchunits.h"
#include "support/replies.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

using test::detectorReply;
using test::whole;

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

// Whatever did not come whole, or not of its kind, leaves its part empty; nothing reads
// as zero. Which replies each reader refuses is in reply_test.
TEST_F(Evaluation, ARepliesThatDidNotCountLeaveTheirPartEmpty) {
    for (const Reply& spoiled : {Reply{Reply::Status::Missing, QString()},
                                 detectorReply(0x12, 0x34, 0, 7)}) {  // no rate range 7
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

// A value left standing is the one of the reply before: none at the start or after a reply
// that did not count, since the value the unit left standing was never seen. What each code
// gives is in reply_test.
TEST_F(Evaluation, TheVoltageKeepsItsLastValueWhereTheUnitSaysSo) {
    EXPECT_FALSE(cycle(detectorReply(0, 0, 0, 0), whole("A1t2000\r\n")).es);
    EXPECT_DOUBLE_EQ(*cycle(detectorReply(0, 0, 0, 0), whole("A1t3050\r\n")).es, 105.0);
    // Code 2 with 000 and an unknown code leave the last value standing...
    EXPECT_DOUBLE_EQ(*cycle(detectorReply(0, 0, 0, 0), whole("A1t2000\r\n")).es, 105.0);
    EXPECT_DOUBLE_EQ(*cycle(detectorReply(0, 0, 0, 0), whole("A1t4123\r\n")).es, 105.0);
    // ...but a reply that did not come does not count as one of them.
    EXPECT_FALSE(cycle(detectorReply(0, 0, 0, 0), Reply{}).es);
    EXPECT_FALSE(cycle(detectorReply(0, 0, 0, 0), whole("A1t4123\r\n")).es);
}

// Every range of both meters, against the detector's own scale: peak code 0x11 is 1 V, rate
// code 0x11 is 10 pulses/s.
TEST_F(Evaluation, EachRangeScalesByItsOwnDivisionOrMultiplier) {
    const double divisions[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};
    const double multipliers[] = {1, 5, 10, 50};
    for (int range = 0; range < 10; ++range) {
        const Reading r = cycle(detectorReply(0x11, 0x11, range, range % 4));
        EXPECT_DOUBLE_EQ(r.charge, divisions[range]) << range;
        EXPECT_DOUBLE_EQ(r.pulseRate, 10.0 * multipliers[range % 4]) << range;
    }
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
