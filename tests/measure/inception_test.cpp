// Inception and extinction detection: the Start count, the strict comparisons with Set Q,
// the direction rule, which readings are judged, and the result table in its tab and
// comma forms, byte for byte. Drawing the findings is in the charts' tests.
#include "measure/inception.h"
#include "platform/virtualclock.h"
#include "support/readings.h"

#include <gtest/gtest.h>

#include <utility>

namespace kr5 {
namespace {

class InceptionTest : public ::testing::Test {
  protected:
    InceptionTest() {
        constants.setQ = 100;  // Start count 50, Adjust 1, PT ratio 100
        constants.name = QStringLiteral("test1");
        constants.number = QStringLiteral("7");
    }

    // A complete normal reading at range 1/1: the raw peak is the charge without Adjust;
    // es is the AC unit's reading.
    Reading make(double rawPeak, double rate, double es) const {
        Reading r = test::cycleReading(0, rawPeak, rate, es, constants.adjust, constants.ptRatio);
        r.acPresent = true;
        return r;
    }
    std::optional<InceptionDetector::Finding> reading(double rawPeak, double rate, double es) {
        return detector.judge(make(rawPeak, rate, es));
    }

    InputConstants constants;
    VirtualClock clock{QDateTime(QDate(2001, 4, 17), QTime(14, 5, 9))};
    InceptionDetector detector{constants, clock};
};

TEST_F(InceptionTest, InceptionWaitsForTheStartCount) {
    for (const auto& [rate, found] :
         {std::pair{40.0, false}, {49.9, false}, {50.0, true}, {60.0, true}}) {
        InceptionDetector fresh(constants, clock);
        fresh.judge(make(0, 0, 5));  // the voltage is seen to rise
        EXPECT_EQ(fresh.judge(make(120, rate, 6)).has_value(), found) << rate;
    }
}

// Inception, extinction only below Set Q while falling, and a new inception after it,
// with the result table in its tab and comma forms byte for byte. The labels of a pair, and
// its table once the extinction is found, are read on the V-Q chart in chartplotter_test.
TEST_F(InceptionTest, AWholeCycleAndItsTables) {
    reading(10, 60, 10);  // the voltage is seen to rise
    auto found = reading(120, 60, 12);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->table, QStringLiteral("name\tno.\tCSV\tCEV\tdate time\r\ntest1\t7\t1200\t"));
    EXPECT_TRUE(detector.inceptionStanding());
    EXPECT_FALSE(reading(150, 60, 13));   // no second inception while one stands
    EXPECT_FALSE(reading(50, 60, 14));    // below Set Q but rising
    EXPECT_FALSE(reading(50, 60, 14));    // unchanged voltage keeps "rising"
    EXPECT_FALSE(reading(50, 60, 12));    // judged with the rise before it
    EXPECT_FALSE(reading(300, 60, 11));   // falling, far above
    EXPECT_FALSE(reading(101, 60, 9.8));  // falling, just above
    found = reading(99, 60, 9.8);         // unchanged voltage keeps "falling"
    ASSERT_TRUE(found);
    EXPECT_FALSE(detector.inceptionStanding());
    EXPECT_EQ(detector.resultFileText(),
              QStringLiteral("\"name\",\"no.\",\"CSV\",\"CEV\",\"date time\"\r\n"
                             "\"test1\",7,1200,980,\"04-17-2001 14:05:09\""));

    // A new inception: the table keeps the pair before it, the result file and the summary
    // the new one, whose extinction is still to come. Text fields stay whole in the comma
    // form. An erased table starts with the inception that stands.
    reading(50, 60, 10);
    found = reading(120, 60, 15);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->table, QStringLiteral("name\tno.\tCSV\tCEV\tdate time\r\n"
                                           "test1\t7\t1200\t980\t04-17-2001 14:05:09\r\n"
                                           "test1\t7\t1500\t"));
    constants.name = QStringLiteral("cable \"A\", end");
    constants.number = QStringLiteral("7,8");
    EXPECT_TRUE(detector.resultFileText().endsWith(
        QLatin1String("\r\n\"cable \"\"A\"\", end\",\"7,8\",1500,,\"04-17-2001 14:05:09\"")));
    EXPECT_EQ(detector.pairs().size(), 2u);
    EXPECT_FALSE(detector.extinctionVolts());
    detector.startNewTable();
    reading(300, 60, 14);  // falling
    found = reading(90, 60, 13);
    ASSERT_TRUE(found);
    EXPECT_TRUE(
        found->table.endsWith(QLatin1String("date time\r\ncable \"A\", end\t7,8\t1500\t1300\t"
                                            "04-17-2001 14:05:09")))
        << found->table.toStdString();
}

// Only a change of the voltage is judged, and only a charge above Set Q, at the Adjust of the
// constants; the voltage found is the AC unit's reading times the PT ratio.
TEST_F(InceptionTest, OnlyAChargeAboveSetQOnAChangingVoltageCountsAtTheAdjustAndPtRatio) {
    for (int i = 0; i < 20; ++i) {
        EXPECT_FALSE(reading(1000, 500, 0)) << "a constant voltage finds no inception";
    }
    reading(10, 60, 10);
    EXPECT_FALSE(reading(100, 60, 11));  // equal: no inception
    ASSERT_TRUE(reading(100.5, 60, 12));
    reading(100.5, 60, 11);              // the voltage falls
    EXPECT_FALSE(reading(100, 60, 10));  // equal: no extinction
    EXPECT_TRUE(detector.inceptionStanding());

    constants.adjust = 2.0;
    constants.ptRatio = 50.0;
    InceptionDetector fresh(constants, clock);
    fresh.judge(make(10, 60, 20));
    EXPECT_FALSE(fresh.judge(make(50, 60, 24)));       // 100 pC: not above Set Q
    const auto found = fresh.judge(make(60, 60, 24));  // 120 pC at 24 V x 50 = 1200 V
    ASSERT_TRUE(found);
    EXPECT_EQ(found->label, QStringLiteral("CSV= 1.2kV"));
}

// Only what is known is judged: an incomplete reading or a Q-N step neither finds
// anything nor turns the direction.
TEST_F(InceptionTest, IncompleteReadingsAndQnStepsAreNotJudged) {
    reading(10, 60, 10);
    Reading noVoltage = make(500, 60, 20);
    noVoltage.es.reset();
    EXPECT_FALSE(detector.judge(noVoltage));
    Reading noDetector = make(500, 60, 20);
    noDetector.detector.reset();
    EXPECT_FALSE(detector.judge(noDetector));
    Reading step = make(500, 60, 20);
    step.kind = Reading::Kind::QnStep;
    step.countRate = 60;
    EXPECT_FALSE(detector.judge(step));
    // The voltage was last seen at 10 (not 20): 15 is a rise, and finds the inception.
    EXPECT_TRUE(reading(500, 60, 15));
}

// A pair that cannot be trusted says why: an extinction above the inception, or one found
// only after the voltage fell and rose again; the jitter of a reading is no new cycle.
TEST_F(InceptionTest, ADoubtfulPairSaysWhy) {
    // Each reading is judged with the direction of the voltage's last change before it.
    const auto pair = [this](double csvEs, std::initializer_list<double> between, double cevEs) {
        reading(10, 60, 0.5);
        reading(10, 60, 1);  // rising
        EXPECT_TRUE(reading(120, 60, csvEs));
        for (const double es : between) {
            EXPECT_FALSE(reading(150, 60, es));
        }
        auto found = reading(90, 60, cevEs);
        EXPECT_TRUE(found);
        return found ? found->doubt : QStringLiteral("<no extinction>");
    };
    // Up, jitter at the top, down: a plausible pair.
    EXPECT_EQ(pair(12, {13, 12.8, 12.9, 12.7, 12.75, 12.6}, 9.8), QString());
    EXPECT_EQ(detector.doubt(), QString());
    // Set Q within the noise: the inception at the start of the rise, the extinction on
    // the way down from the top, far above it.
    EXPECT_EQ(pair(1.5, {120, 119.5}, 119), QStringLiteral("CEV above CSV"));
    // Down and up again before the extinction comes: from another voltage cycle.
    EXPECT_EQ(pair(50, {80, 100, 60, 20, 40, 70, 100, 60}, 40),
              QStringLiteral("CSV and CEV from different voltage cycles"));
    EXPECT_EQ(pair(20, {100, 50, 90, 70}, 60),
              QStringLiteral("CEV above CSV; CSV and CEV from different voltage cycles"));
    EXPECT_EQ(detector.doubt(), QStringLiteral("CEV above CSV; CSV and CEV from different "
                                               "voltage cycles"));
}

}  // namespace
}  // namespace kr5
