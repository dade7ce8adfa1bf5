// The charge calibration on the acquisition loop with the simulated bench, and on hand-made
// readings. Accepting a proposal in the whole program is in wholeprogram_workflow_test.
#include "modes/calibration.h"
#include "handcalibration.h"
#include "measure/acquisition.h"
#include "measure/evaluation.h"
#include "measure/panelmodel.h"
#include "platform/virtualclock.h"
#include "records/settingsfile.h"
#include "support/benchunits.h"
#include "support/simlink.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <tuple>

namespace kr5 {
namespace {

// The calibration as a listener of the acquisition loop, with the Input const form on a
// settings file of its own; the bench with high voltage off, no noise and a detector
// calibration of 2 pC/V, and the scenario lines given.
struct Rig : test::SimLinkParts, LoopWindows, QnControl {
    Rig(const char* lines, int range)
        : SimLinkParts(test::scenarioOf(QStringLiteral("operator off\nprofile start=0 peak=0\n"
                                                       "object noise=0 noiserate=0\n"
                                                       "calibration 2\n") +
                                        QLatin1String(lines))) {
        form.setPortDigit(QStringLiteral("1"));
        settings.autoAttenuator = false;
        EXPECT_TRUE(test::startOnDefaultBench(units, link));
        loop.addListener(calibration);
        loop.loopStart();
        requests.attenuator = range;  // goes out after the first reading, taken at 1/1
    }
    void portLost(const PortProblem&) override {}
    void portBack() override {}
    void showDiscriminatorPanel(bool) override {}
    void startCharts() override {}
    bool passesRunning() const override { return false; }
    bool endAfterPass() const override { return false; }
    void recordStart() override {}
    void finish() override {}
    bool runAverage() {
        for (int i = 0; i < 2000 && calibration.averaging(); ++i) {
            loop.normalCycle();
        }
        return !calibration.averaging();
    }

    Requests requests;
    OperatingSettings settings;
    InputConstants constants;
    QTemporaryDir dir;
    SettingsFile file{dir.path()};
    ConstantsForm form{constants, file};
    PanelModel frontPanel{requests, settings};
    ReadingEvaluator evaluator{constants, units};
    Calibration calibration{clock, form};
    Acquisition loop{
        {requests, settings, units, link, clock, timing, evaluator, frontPanel, *this, *this}};
};

TEST(Calibration, TheProposalRecoversTheCalibrationWithinAPeakCodeAfterTheRangeChange) {
    // 50 pC at 2 pC/V reads 12.5, 5 and 2.5 V at 1/2, 1/5 and 1/10; one peak code is 1/17 V.
    for (const int range : {1, 2, 3}) {
        SCOPED_TRACE(range);
        Rig rig("calibrator pc=50", range);
        // Started at 1/1, where the reading is off scale: the range change starts it again.
        ASSERT_EQ(rig.calibration.start(QStringLiteral("50")), QString());
        ASSERT_TRUE(rig.runAverage());
        EXPECT_GE(rig.clock.nowMs(), Calibration::kAverageMs);
        const PeakAverage first = rig.calibration.first().value_or(PeakAverage{});
        EXPECT_EQ(std::pair(first.attRange, first.offScale), std::pair(range, false));
        EXPECT_NEAR(first.spreadV, 0.0, 1e-9);
        const double volts = 50.0 / (attenuatorDivision(range) * 2.0);
        // Half a code step of the reading, and the rounding to four digits.
        EXPECT_NEAR(rig.calibration.proposal().value_or(0.0), 2.0,
                    2.0 * (0.5 / 17.0) / volts + 0.0005);
        EXPECT_EQ(rig.calibration.warningText(), QString());
    }
}

TEST(Calibration, ReadingsOffTheGoodPartOfTheScaleOrNoneAtAllAreSaid) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"calibrator pc=50", 4,
         "The reading, 1.235 V, is below 10 % of full scale at 1/20: change the range to 1/2."},
        {"calibrator pc=50", 0,
         "The reading is off scale at 1/1: change the range to 1/2. No Adjust is proposed."},
        {"calibrator pc=50\nfault KR silent", 2,
         "The detector gave no reading in 3 s: check that it is switched on and answers on the "
         "line. No Adjust is proposed."},
        {"calibrator pc=50 from=100", 2,
         "The detector read no pulse at 1/5: check that the calibrator is connected and "
         "switched on. No Adjust is proposed."},
    };
    for (const auto& [scenario, range, warning] : cases) {
        SCOPED_TRACE(scenario);
        Rig rig(scenario, range);
        rig.loop.normalCycle();
        ASSERT_EQ(rig.calibration.start(QStringLiteral("50")), QString());
        ASSERT_TRUE(rig.runAverage());
        EXPECT_EQ(rig.calibration.warningText(), QString::fromUtf8(warning));
        const bool proposed = range == 4;
        EXPECT_EQ(rig.calibration.proposal().has_value(), proposed);
        EXPECT_EQ(rig.calibration.proposalText() == QLatin1String("none"), !proposed);
        EXPECT_EQ(rig.calibration.accept().isEmpty(), proposed);
    }
}

using test::HandCalibration;

TEST_F(HandCalibration, ASpreadAboveFivePercentWarnsAndTheLinearityFollowsItsFormula) {
    // Around 5 V, codes 84 and 86 in turn spread by 1.2 %, 80 and 90 by 6 %.
    ASSERT_EQ(calibration.start(QStringLiteral("50")), QString());
    feed(2, {84, 86});
    EXPECT_EQ(std::pair(calibration.proposal(), calibration.warningText()),
              std::pair(std::optional<double>(2.0), QString()));
    ASSERT_EQ(calibration.start(QStringLiteral("50")), QString());
    feed(2, {80, 90});
    EXPECT_EQ(calibration.proposal(), std::optional<double>(2.0));
    EXPECT_TRUE(calibration.warningText().startsWith(
        QLatin1String("The reading is unsteady: its spread is 6.0 % of the mean")));

    // Read with Adjust 2 at 1/10, code 90 is 10 x 90/17 x 2 = 105.88 pC for 100 pC.
    ASSERT_EQ(calibration.startSecond(QStringLiteral("100")), QString());
    feed(3, {90});
    EXPECT_NEAR(calibration.linearityPercent().value_or(0.0), 5.882, 0.001);
    EXPECT_EQ(calibration.linearityText(), QStringLiteral("+5.9 %: 105.9 pC read for 100 pC"));
    // The record keeps the second value with it.
    ASSERT_EQ(calibration.accept(), QString());
    const CalibrationRecord record = calibration.record().value_or(CalibrationRecord{});
    EXPECT_EQ(std::tuple(record.q0Pc, record.secondQ0Pc, record.adjust),
              std::tuple(50.0, std::optional<double>(100.0), 2.0));
    EXPECT_NEAR(record.linearityPercent.value_or(0.0), 5.882, 0.001);
}

// A detector that answered for a moment gives no proposal, however steady it read.
TEST_F(HandCalibration, ReadingsSpanningLessThanTwoSecondsProposeNothing) {
    ASSERT_EQ(calibration.start(QStringLiteral("50")), QString());
    feed(2, {85}, 10);
    while (calibration.averaging()) {
        clock.advanceMs(100);
        Reading silent;
        silent.takenAtMs = clock.nowMs();
        calibration.takeReading(silent);
    }
    EXPECT_EQ(calibration.proposal(), std::nullopt);
    EXPECT_TRUE(calibration.warningText().startsWith(
        QLatin1String("The detector answered over only 0.9 s of 3 s")))
        << calibration.warningText().toStdString();
}

TEST_F(HandCalibration, RefusalsNameTheFieldAndItsRangeAndAFailedAcceptStoresNothing) {
    for (const char* text : {"", "abc", "12pC", "0.09", "100000.5", "-5", "nan", "inf"}) {
        EXPECT_EQ(calibration.start(QLatin1String(text)),
                  QStringLiteral("Calibrator charge q0 must be a number from 0.1 to 100000 pC."));
        EXPECT_FALSE(calibration.averaging()) << text;
    }
    EXPECT_FALSE(calibration.accept().isEmpty()) << "nothing to accept";
    EXPECT_TRUE(calibration.startSecond(QStringLiteral("100")).contains(QLatin1String("q0 first")));
    EXPECT_EQ(calibration.start(QStringLiteral("0.1")), QString());
    EXPECT_EQ(calibration.start(QStringLiteral(" 100000 ")), QString());
    feed(2, {85});
    EXPECT_EQ(
        calibration.startSecond(QStringLiteral("0")),
        QStringLiteral("Second calibrator charge q1 must be a number from 0.1 to 100000 pC."));

    int accepted = 0;
    QObject::connect(&calibration, &Calibration::accepted, [&] { ++accepted; });
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("kr5au1.ini")));
    EXPECT_TRUE(calibration.accept().contains(QLatin1String("kr5au1.ini")));
    EXPECT_EQ(std::tuple(constants.adjust, accepted, calibration.record().has_value()),
              std::tuple(1.0, 0, false));
    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("kr5au1.ini")));
    EXPECT_EQ(calibration.accept(), QString());
    EXPECT_EQ(std::pair(constants.adjust, accepted), std::pair(4000.0, 1));
}

}  // namespace
}  // namespace kr5
