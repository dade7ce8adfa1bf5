// Inception and extinction detection: the Start count, the strict comparisons with Set Q,
// the direction rule, the result table in its tab and comma forms, byte for byte.
#include "records/inception.h"
#include "platform/virtualclock.h"

#include <gtest/gtest.h>

#include <utility>

namespace kr5 {
namespace {

class InceptionTest : public ::testing::Test {
  protected:
    InceptionTest() {
        g.ksetq = 100;  // kstart stays 50, kadj 1, kpt 100, tvmulti 1
        g.kname = QStringLiteral("test1");
        g.knum = QStringLiteral("7");
    }

    // One reading as the chart update hands it over: the tests, then the direction.
    std::optional<Inception::Finding> reading(double q0, double n, double v) {
        auto found = detector.check(q0, n, v);
        detector.direction(v, lastv);
        lastv = v;
        return found;
    }

    Globals g;
    VirtualClock clock{QDateTime(QDate(2001, 4, 17), QTime(14, 5, 9))};
    Inception detector{g, clock};
    double lastv = 0.0;
};

TEST_F(InceptionTest, InceptionWaitsForTheStartCount) {
    for (const auto& [rate, found] :
         {std::pair{40.0, false}, {49.9, false}, {50.0, true}, {60.0, true}}) {
        Inception fresh(g, clock);
        fresh.direction(6, 5);
        EXPECT_EQ(fresh.check(120, rate, 6).has_value(), found) << rate;
    }
}

// Inception, extinction only below Set Q while falling, and a new inception after it,
// with the result table in its tab and comma forms byte for byte.
TEST_F(InceptionTest, AWholeCycleAndItsTables) {
    reading(10, 60, 10);  // the voltage is seen to rise
    auto found = reading(120, 60, 12);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->label, QStringLiteral("CSV= 1.2kV"));
    EXPECT_EQ(found->labelY, 40);
    EXPECT_EQ(found->table, QStringLiteral("name\tno.\tCSV\tCEV\tdate time\r\ntest1\t7\t1200\t"));
    EXPECT_FALSE(reading(150, 60, 13));   // no second inception while one stands
    EXPECT_FALSE(reading(50, 60, 14));    // below Set Q but rising
    EXPECT_FALSE(reading(50, 60, 14));    // unchanged voltage keeps "rising"
    EXPECT_FALSE(reading(50, 60, 12));    // judged with the rise before it
    EXPECT_FALSE(reading(300, 60, 11));   // falling, far above
    EXPECT_FALSE(reading(101, 60, 9.8));  // falling, just above
    found = reading(99, 60, 9.8);         // unchanged voltage keeps "falling"
    ASSERT_TRUE(found);
    EXPECT_EQ(found->label, QStringLiteral("CEV= 980V"));
    EXPECT_EQ(found->labelY, 60);
    EXPECT_FALSE(detector.csvfound);
    EXPECT_EQ(found->table, QStringLiteral("name\tno.\tCSV\tCEV\tdate time\r\n"
                                           "test1\t7\t1200\t980\t04-17-2001 14:05:09"));
    const QString expected = QStringLiteral(
        "\"name\",\"no.\",\"CSV\",\"CEV\",\"date time\"\r\n"
        "\"test1\",7,1200,980,\"04-17-2001 14:05:09\"");
    EXPECT_EQ(detector.csvtext(), expected);
    EXPECT_EQ(detector.csvhead + detector.csvline, expected);  // kept in the comma form

    // A new inception reports the old extinction; text fields stay whole in the comma form.
    reading(50, 60, 10);
    ASSERT_TRUE(reading(120, 60, 15));
    g.kname = QStringLiteral("cable \"A\", end");
    g.knum = QStringLiteral("7,8");
    EXPECT_TRUE(detector.csvtext().endsWith(
        QLatin1String("\r\n\"cable \"\"A\"\", end\",\"7,8\",1500,980,\"04-17-2001 14:05:09\"")));
}

TEST_F(InceptionTest, ConstantVoltageNeverFindsAnInception) {
    for (int i = 0; i < 20; ++i) {
        EXPECT_FALSE(reading(1000, 500, 0));
    }
    EXPECT_FALSE(detector.vrising);
}

TEST_F(InceptionTest, ChargeEqualToSetQChangesNothing) {
    reading(10, 60, 10);
    EXPECT_FALSE(reading(100, 60, 11));  // equal: no inception
    ASSERT_TRUE(reading(100.5, 60, 12));
    reading(100.5, 60, 11);              // the voltage falls
    EXPECT_FALSE(reading(100, 60, 10));  // equal: no extinction
    EXPECT_TRUE(detector.csvfound);
}

TEST_F(InceptionTest, AdjustAndTvMultiEnterTheComparisonAndTheVoltage) {
    g.kadj = 2.0;
    g.tvmulti = 2;
    reading(10, 60, 20);
    ASSERT_TRUE(reading(60, 60, 24));  // 120 pC at 24 x 100 / 2 = 1200 V
    EXPECT_EQ(detector.csvval, QStringLiteral("1200"));
}

}  // namespace
}  // namespace kr5
