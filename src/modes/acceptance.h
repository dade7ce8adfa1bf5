// The acceptance test: the test voltage is raised to the test level and held there for
// the hold time, and the largest apparent charge of the hold is judged against the
// permissible charge. The model follows the readings and gives the verdict; the form
// beside it takes the operator's limits as text and refuses those that do not fit.
#pragma once

#include "measure/reading.h"
#include "platform/clock.h"

#include <QObject>
#include <QString>
#include <optional>

namespace kr5 {

struct AcceptanceLimits {
    double testKv = 0.0;         // the test level
    double holdS = 0.0;          // how long the voltage must stay at or above it
    double permissiblePc = 0.0;  // the largest apparent charge that passes

    bool operator==(const AcceptanceLimits& o) const {
        return testKv == o.testKv && holdS == o.holdS && permissiblePc == o.permissiblePc;
    }
    bool operator!=(const AcceptanceLimits& o) const { return !(*this == o); }
};

class AcceptanceTest : public QObject, public ReadingListener {
    Q_OBJECT

  public:
    enum class State {
        NoTest,   // no limits set
        Waiting,  // the voltage has not reached the test level yet
        Holding,  // at the test level, the hold time counting
        Passed,
        Failed,
    };

    static constexpr double kDefaultBackgroundThresholdKv = 1.0;

    explicit AcceptanceTest(const Clock& clock) : clock_(clock) {}

    // None: no test. Limits other than those in force start the test afresh; the same
    // limits again leave it as it is (Restart is for that).
    void setLimits(std::optional<AcceptanceLimits> limits);
    const std::optional<AcceptanceLimits>& limits() const { return limits_; }
    // Back to waiting for the test level, the hold and its largest charge forgotten.
    void restart();

    // The background level in pC as BackgroundLevel measures it; none while unknown.
    void setBackground(std::optional<double> pc);
    // Why the verdict cannot be trusted because of the background (the one of its hold,
    // once reached); empty while it can.
    QString backgroundWarning() const;

    // The test voltage below which the background is taken, as the operator set it.
    double backgroundThresholdKv() const { return backgroundThresholdKv_; }
    void setBackgroundThresholdKv(double kv);

    State state() const { return state_; }
    double heldS() const { return static_cast<double>(heldMs_) / 1000.0; }
    // The largest charge of the hold; none before the detector answered in it.
    std::optional<double> largestPc() const { return largestPc_; }
    // Readings of the hold that came without the AC unit's reply (their time is not
    // counted) or without the detector's (no charge): the verdict says how many.
    int readingsWithoutVoltage() const { return withoutVoltage_; }
    int readingsWithoutCharge() const { return withoutCharge_; }

    // "PASS", "FAIL", or empty before a verdict.
    QString verdictText() const;
    // The latest charge the detector gave is above the permissible charge.
    bool chargeAboveLimit() const;
    // One line for the operator: what the test is doing or what it found.
    QString statusText() const;

    void takeReading(const Reading& reading) override;

  signals:
    // Anything shown changed: the state, the status line, the charge alarm.
    void changed();
    // The voltage fell below the test level during the hold; the count starts again.
    void holdReset(const QString& message);
    void backgroundThresholdChanged(double kv);

  private:
    struct Shown {
        State state;
        QString status;
        bool alarm;
        bool operator!=(const Shown& o) const {
            return state != o.state || status != o.status || alarm != o.alarm;
        }
    };
    Shown shown() const { return {state_, statusText(), chargeAboveLimit()}; }
    void announceIfChanged(const Shown& before);
    void startAfresh();
    void resetHold();
    void follow(const Reading& r);
    QString missingText() const;

    const Clock& clock_;
    std::optional<AcceptanceLimits> limits_;
    std::optional<double> background_;
    std::optional<double> verdictBackground_;  // the background when the verdict was reached
    double backgroundThresholdKv_ = kDefaultBackgroundThresholdKv;
    State state_ = State::NoTest;
    qint64 startedAtMs_ = 0;
    std::optional<qint64> levelSinceMs_;  // the last reading known at the level
    qint64 heldMs_ = 0;
    std::optional<double> largestPc_;
    std::optional<double> latestPc_;
    int withoutVoltage_ = 0;
    int withoutCharge_ = 0;
};

// The fields of the acceptance window as the operator typed them.
struct AcceptanceFields {
    QString testKv;
    QString holdS;
    QString permissiblePc;
    QString backgroundKv;
};

enum class AcceptanceField { TestKv, HoldS, PermissiblePc, BackgroundKv };

QString& fieldText(AcceptanceFields& fields, AcceptanceField which);
inline const QString& fieldText(const AcceptanceFields& fields, AcceptanceField which) {
    return fieldText(const_cast<AcceptanceFields&>(fields), which);
}

// The acceptance window's logic: the fields, OK, No test. The window only shows these
// fields and hands its edits and clicks here.
class AcceptanceForm : public QObject {
    Q_OBJECT

  public:
    static constexpr double kMinTestKv = 0.1, kMaxTestKv = 2000;
    static constexpr double kMinHoldS = 1, kMaxHoldS = 86400;
    static constexpr double kMinPermissiblePc = 0.1, kMaxPermissiblePc = 100000;
    static constexpr double kMinBackgroundKv = 0, kMaxBackgroundKv = 2000;

    explicit AcceptanceForm(AcceptanceTest& test) : test_(test) { load(); }

    AcceptanceFields fields;

    // Fills the fields from the test's limits and threshold; the test fields are empty
    // while no test is set.
    void load();
    // Takes the fields into the test when every one fits; otherwise nothing changes and
    // problem() names the field and its range.
    bool ok();
    // No test: the limits are removed, the threshold stays.
    void clear();
    // The background threshold alone, while no test is set (with a test, OK takes it).
    bool takeBackgroundThreshold(const QString& text);

    // Why text is no value of the field, naming it and its range; empty when it is one.
    static QString problemWith(AcceptanceField which, const QString& text);

    const QString& problem() const { return problem_; }
    AcceptanceTest& test() const { return test_; }

  signals:
    void fieldsLoaded();
    // OK or No test put the operator's setup in force: the program keeps it for the port.
    void accepted();

  private:
    bool take(AcceptanceField which, double& out);

    AcceptanceTest& test_;
    QString problem_;
};

}  // namespace kr5
