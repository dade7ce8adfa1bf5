// The acceptance test on hand-made voltage profiles in virtual time, and its form's refusals.
#include "modes/acceptance.h"
#include "platform/virtualclock.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

using State = AcceptanceTest::State;
constexpr std::nullopt_t silent = std::nullopt;

struct Acceptance : ::testing::Test {
    Acceptance() {
        QObject::connect(&test, &AcceptanceTest::holdReset,
                         [this](const QString& m) { resets << m; });
        test.setLimits(AcceptanceLimits{12.0, 60, 10});
    }

    // Readings each second from fromS to toS; an empty voltage or charge: that unit was
    // silent.
    void hold(int fromS, int toS, std::optional<double> kv, std::optional<double> pc) {
        for (int s = fromS; s <= toS; ++s) {
            clock.advanceMs(s * 1000 - clock.nowMs());
            Reading r;
            r.takenAtMs = s * 1000;
            if (kv) {
                r.es = *kv * 10.0;
                r.testVoltage = *kv * 1000.0;
            }
            if (pc) {
                r.detector = DetectorFields{};
                r.charge = *pc;
            }
            test.takeReading(r);
        }
    }

    VirtualClock clock;
    AcceptanceTest test{clock};
    QStringList resets;
};

TEST_F(Acceptance, AHoldUpToTheLimitPassesAndTheVerdictStands) {
    hold(0, 0, 5.0, 0.3);
    EXPECT_EQ(test.statusText(), "Acceptance: waiting for 12.0 kV (hold 60 s, limit 10 pC)");
    hold(1, 11, 12.0, 4.1);  // exactly at the level counts
    hold(12, 24, 12.3, 2.0);
    EXPECT_EQ(test.statusText(),
              "Acceptance: holding 23/60 s at 12.0 kV, largest 4.1 pC (limit 10 pC)");
    hold(25, 60, 12.3, 10.0);
    EXPECT_EQ(test.state(), State::Holding);  // 59 s
    hold(61, 61, 12.3, 2.0);
    EXPECT_EQ(test.statusText(), "Acceptance: PASS, largest 10 pC ≤ 10 pC over 60 s");
    // Neither a drop nor a charge above the limit afterwards changes it.
    hold(62, 63, 0.0, 0.0);
    hold(64, 130, 12.3, 50.0);
    EXPECT_EQ(test.verdictText(), "PASS");
    EXPECT_EQ(test.largestPc(), 10.0);
    EXPECT_TRUE(resets.isEmpty());
}

TEST_F(Acceptance, OneChargeAboveTheLimitFailsUntilRestartOrNewLimits) {
    hold(0, 30, 12.5, 3.0);
    hold(31, 31, 12.5, 10.5);
    hold(32, 60, 12.5, 3.0);
    EXPECT_EQ(test.statusText(), "Acceptance: FAIL, largest 10.5 pC > 10 pC over 60 s");
    hold(61, 70, 0.0, 0.1);
    EXPECT_EQ(test.verdictText(), "FAIL");
    test.restart();
    EXPECT_EQ(test.state(), State::Waiting);
    hold(71, 131, 12.5, 1.0);
    EXPECT_EQ(test.verdictText(), "PASS");
    test.setLimits(AcceptanceLimits{12.0, 60, 10});  // the same: the verdict stays
    EXPECT_EQ(test.state(), State::Passed);
    test.setLimits(AcceptanceLimits{12.0, 60, 0.5});
    EXPECT_EQ(test.state(), State::Waiting);
}

TEST_F(Acceptance, ADropBeforeTheEndStartsTheHoldAgainAndSaysSo) {
    hold(0, 20, 12.5, 2.0);
    hold(21, 23, 12.5, 50.0);  // forgotten with the hold it belongs to
    hold(24, 30, 11.9, 2.0);   // one reset, however long below
    EXPECT_EQ(resets, QStringList{"Test voltage fell below 12.0 kV after 23 s of 60 s: the "
                                  "hold starts again"});
    EXPECT_EQ(test.heldS(), 0.0);
    hold(31, 91, 12.5, 3.0);
    EXPECT_EQ(test.verdictText(), "PASS");
    EXPECT_EQ(test.largestPc(), 3.0);
}

TEST_F(Acceptance, ReadingsWithoutAReplyAddNeitherTimeNorChargeAndAreCounted) {
    hold(0, 0, silent, 30.0);  // the level not known: no hold yet
    EXPECT_EQ(test.state(), State::Waiting);
    hold(1, 50, 12.5, 2.0);      // 49 s
    hold(51, 52, silent, 4.0);   // no drop, no time; the charge counts
    hold(53, 53, 12.5, silent);  // time counts again from here
    hold(54, 63, 12.5, 2.0);
    EXPECT_EQ(test.heldS(), 59.0);
    hold(64, 64, 12.5, silent);
    EXPECT_TRUE(resets.isEmpty());
    EXPECT_EQ(test.statusText(),
              "Acceptance: PASS, largest 4 pC ≤ 10 pC over 60 s; 2 readings without the test "
              "voltage, 2 readings without the charge");

    // With the detector silent throughout, the hold waits for a charge to judge.
    test.restart();
    hold(65, 130, 12.5, silent);
    EXPECT_EQ(test.state(), State::Holding);
    hold(131, 131, 12.5, 1.0);
    EXPECT_EQ(test.verdictText(), "PASS");
}

TEST_F(Acceptance, BackgroundAndChargeAlarmBesideTheVerdict) {
    test.setBackground(5.0);
    EXPECT_EQ(test.backgroundWarning(), "");  // half the limit is still valid
    test.setBackground(5.2);
    hold(0, 60, 12.5, 6.0);
    EXPECT_EQ(test.statusText(),
              "Acceptance: PASS, largest 6 pC ≤ 10 pC over 60 s; Background 5.2 pC is above half "
              "the permissible charge 10 pC: the test is not valid");

    int changes = 0;
    QObject::connect(&test, &AcceptanceTest::changed, [&] { ++changes; });
    hold(61, 61, 0.0, 11.0);
    EXPECT_TRUE(test.chargeAboveLimit());  // whatever the state
    EXPECT_EQ(changes, 1);
    hold(62, 62, 0.0, silent);  // no new charge: the last stands
    EXPECT_TRUE(test.chargeAboveLimit());
    test.setLimits(std::nullopt);
    EXPECT_FALSE(test.chargeAboveLimit());
    EXPECT_EQ(test.backgroundWarning(), "");

    // A reading whose detector reply came before Restart belongs to the old test.
    test.setLimits(AcceptanceLimits{12.0, 60, 10});
    Reading late;
    late.takenAtMs = clock.nowMs() - 500;
    late.es = 125.0;
    late.testVoltage = 12500.0;
    test.takeReading(late);
    EXPECT_EQ(test.state(), State::Waiting);
}

// The level is reached in the whole volts the readings show: 161 V at PT ratio 100 is
// 16.1 kV. A charge is judged with the digits it is shown with, or the limit's when it has
// more, and shown with them. A Q-N step's charge, read at a forced range, is no discharge.
TEST_F(Acceptance, TheVerdictJudgesWhatItShowsAndTakesNoChargeFromQnSteps) {
    const struct {
        double limitPc, largestPc;
        const char* status;
    } cases[] = {
        {100, 100.4, "Acceptance: PASS, largest 100 pC ≤ 100 pC over 3 s"},
        {100, 100.6, "Acceptance: FAIL, largest 101 pC > 100 pC over 3 s"},
        {100.5, 100.8, "Acceptance: FAIL, largest 100.8 pC > 100.5 pC over 3 s"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        test.setLimits(AcceptanceLimits{16.1, 3, c.limitPc});
        test.restart();
        const qint64 startMs = clock.nowMs();
        for (int s = 0; s <= 3; ++s) {
            Reading r;
            r.kind = s == 2 ? Reading::Kind::QnStep : Reading::Kind::Cycle;
            r.takenAtMs = startMs + s * 1000;
            r.es = 161.0;
            r.testVoltage = 161.0 * 100.0;
            r.detector = DetectorFields{};
            r.charge = s == 2 ? 5000.0 : c.largestPc;
            test.takeReading(r);
        }
        EXPECT_EQ(test.statusText(), QString::fromUtf8(c.status));
        clock.advanceMs(10'000);
    }
}

TEST(AcceptanceForm, EachFieldOutsideItsRangeIsRefusedByNameAndNothingIsStored) {
    VirtualClock clock;
    AcceptanceTest test{clock};
    AcceptanceForm form{test};
    int accepted = 0;
    QObject::connect(&form, &AcceptanceForm::accepted, [&] { ++accepted; });
    const std::pair<AcceptanceFields, const char*> refused[] = {
        {{"12kV", "60", "10", "2"}, "Test voltage must be a number from 0.1 to 2000 kV."},
        {{"0.05", "60", "10", "0"}, "Test voltage must be a number from 0.1 to 2000 kV."},
        {{"12", "", "10", "2"}, "Hold time must be a number from 1 to 86400 s."},
        {{"12", "86401", "10", "2"}, "Hold time must be a number from 1 to 86400 s."},
        {{"12", "60", "1,5", "2"}, "Permissible charge must be a number from 0.1 to 100000 pC."},
        {{"12", "60", "1e6", "2"}, "Permissible charge must be a number from 0.1 to 100000 pC."},
        {{"12", "60", "10", "-1"}, "Background threshold must be a number from 0 to 2000 kV."},
        {{"12", "60", "10", "12"}, "Background threshold must be below the test voltage (12 kV)."},
    };
    for (const auto& [fields, problem] : refused) {
        form.fields = fields;
        EXPECT_FALSE(form.ok());
        EXPECT_EQ(form.problem(), problem);
    }
    EXPECT_FALSE(test.limits());
    EXPECT_EQ(test.backgroundThresholdKv(), 1.0);
    EXPECT_EQ(accepted, 0);

    form.fields = {" 12 ", "60", "1e1", "0.5"};
    EXPECT_TRUE(form.ok());
    EXPECT_EQ(test.limits(), (AcceptanceLimits{12.0, 60, 10}));
    EXPECT_EQ(test.backgroundThresholdKv(), 0.5);
    EXPECT_EQ(form.fields.permissiblePc, "10");  // read back as stored
    EXPECT_EQ(accepted, 1);
    form.clear();
    EXPECT_FALSE(test.limits());
    EXPECT_EQ(form.fields.backgroundKv, "0.5");
}

}  // namespace
}  // namespace kr5
