// The background level: the largest charge over the last seconds while the test voltage
// is below the threshold, readings above it and old ones left out, a measurement on demand
// at any voltage, and the Set Q check against it.
#include "measure/background.h"
#include "platform/virtualclock.h"
#include "support/readings.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

class Background : public ::testing::Test {
  protected:
    void take(qint64 atMs, double charge, double volts) {
        Reading r = test::cycleReading(0, charge, 0, volts / 100.0);
        r.takenAtMs = atMs;
        background.takeReading(r);
    }

    InputConstants constants;
    VirtualClock clock;
    BackgroundLevel background{constants, clock};
};

TEST_F(Background, TheLargestChargeOfTheLastSecondsBelowTheThreshold) {
    EXPECT_FALSE(background.level());
    take(0, 0.8, 200);
    take(1000, 2.5, 900);
    take(2000, 40.0, 1000);  // at the threshold: the object may discharge
    take(3000, 1.1, 500);
    EXPECT_EQ(background.level(), 2.5);
    take(6500, 0.9, 100);  // the 2.5 pC of 1 s is now older than 5 s
    EXPECT_EQ(background.level(), 1.1);
    for (qint64 t = 7000; t < 20000; t += 500) {
        take(t, 90.0, 8000);  // high voltage: the level stands
    }
    EXPECT_EQ(background.level(), 1.1);
    take(20000, 0.7, 0);
    EXPECT_EQ(background.level(), 0.7);
    background.setThresholdVolts(10000);
    take(20500, 3.0, 8000);
    EXPECT_EQ(background.level(), 3.0);
    // Incomplete readings and Q-N steps are no background.
    Reading silent;
    silent.takenAtMs = 21000;
    background.takeReading(silent);
    Reading step = test::qnStepReading(0, 5);
    step.charge = 500.0;
    step.takenAtMs = 21000;
    background.takeReading(step);
    EXPECT_EQ(background.level(), 3.0);
}

TEST_F(Background, AMeasurementOnDemandTakesItsSecondsUnlessTheVoltageReachesTheThreshold) {
    QStringList refusals;
    QObject::connect(&background, &BackgroundLevel::measurementRefused,
                     [&refusals](const QString& why) { refusals << why; });
    take(0, 0.5, 0);
    clock.advanceMs(1000);
    background.measureNow();
    EXPECT_TRUE(background.measuring());
    take(1000, 4.0, 900);
    take(3000, 6.0, 900);
    EXPECT_EQ(background.level(), 0.5);  // until the measurement is done
    take(6000, 2.0, 900);
    EXPECT_FALSE(background.measuring());
    EXPECT_EQ(background.level(), 6.0);
    const QDateTime measuredAt = background.switchedOffAt();
    EXPECT_TRUE(measuredAt.isValid());
    take(7000, 9.0, 5000);  // above the threshold: it stands
    EXPECT_EQ(background.level(), 6.0);
    // The test object discharges at the threshold: no background is taken from it.
    clock.advanceMs(7000);
    background.measureNow();
    take(8000, 3.0, 900);
    take(9000, 888.0, 1000);
    EXPECT_FALSE(background.measuring());
    EXPECT_EQ(background.level(), 6.0);
    // The report's background with the voltage off is the last measurement completed.
    take(16000, 0.2, 0);
    EXPECT_EQ(background.level(), 0.2);
    EXPECT_EQ(std::pair(background.switchedOffPc(), background.switchedOffAt()),
              std::pair(std::optional(6.0), measuredAt));
    EXPECT_EQ(refusals, QStringList(QStringLiteral(
                            "Background not measured: the test voltage reached 1000 V, at or "
                            "above the background threshold of 1000 V")));
}

TEST_F(Background, SetQMustBeAboveTwiceTheBackground) {
    constants.setQ = 1.0;
    EXPECT_FALSE(background.setQWithinNoise());  // no background yet
    take(0, 0.5, 0);
    EXPECT_TRUE(background.setQWithinNoise());  // 1 pC is not above 2 × 0.5 pC
    constants.setQ = 1.01;
    EXPECT_FALSE(background.setQWithinNoise());
}

}  // namespace
}  // namespace kr5
