// The background level: the largest charge the detector reads while the test voltage is
// below a threshold (no discharge of the test object can be among it), over the last few
// seconds, or over a few seconds on demand (the operator switched the high voltage off),
// refused when the voltage reaches the threshold meanwhile. Inception and extinction found with Set
// Q at or below twice the background would be noise.
#pragma once

#include "core/inputconstants.h"
#include "measure/reading.h"
#include "platform/clock.h"

#include <QDateTime>
#include <QObject>
#include <deque>
#include <optional>

namespace kr5 {

class BackgroundLevel : public QObject, public ReadingListener {
    Q_OBJECT

  public:
    static constexpr qint64 kWindowMs = 5000;           // the last seconds kept
    static constexpr double kDefaultThresholdV = 1000;  // test voltage below which to look

    BackgroundLevel(const InputConstants& constants, const Clock& clock)
        : constants_(constants), clock_(clock) {}

    void setThresholdVolts(double volts) { thresholdVolts_ = volts; }
    double thresholdVolts() const { return thresholdVolts_; }

    // Looks for kWindowMs from now; the level is then that measurement's. A reading at or
    // above the threshold voltage ends it without a level (measurementRefused).
    void measureNow();
    bool measuring() const { return measureUntilMs_.has_value(); }

    // The background in pC; none before a reading was taken below the threshold.
    std::optional<double> level() const { return level_; }
    // The last measurement on demand that was completed (the operator had switched the
    // high voltage off for it) and when it ended; none before one was.
    std::optional<double> switchedOffPc() const { return switchedOff_; }
    const QDateTime& switchedOffAt() const { return switchedOffAt_; }
    // Set Q is not above twice the background.
    bool setQWithinNoise() const { return level_ && constants_.setQ <= 2.0 * *level_; }

    void takeReading(const Reading& reading) override;

  signals:
    void changed();
    // A measurement on demand ended without a level, with why.
    void measurementRefused(const QString& why);

  private:
    void recompute();

    const InputConstants& constants_;
    const Clock& clock_;
    double thresholdVolts_ = kDefaultThresholdV;
    std::deque<std::pair<qint64, double>> recent_;  // time, charge
    qint64 measureFromMs_ = 0;
    std::optional<qint64> measureUntilMs_;
    std::optional<double> measured_;  // the largest of an on-demand measurement
    std::optional<double> level_;
    std::optional<double> switchedOff_;
    QDateTime switchedOffAt_;
};

}  // namespace kr5
