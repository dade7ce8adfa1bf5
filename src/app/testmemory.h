// What the test engineer set up for the tests on a port, kept between runs in the user's
// configuration (kr5au/kr5au.conf, beside the windows' places): the acceptance test, the
// voltage below which the background is taken, the calibration in force and the test details
// the report names. A value that was edited by hand into something out of range is not taken.
#pragma once

#include "core/testdetails.h"
#include "modes/acceptance.h"
#include "modes/calibration.h"

#include <QString>
#include <memory>
#include <optional>

class QSettings;

namespace kr5 {

class TestMemory {
  public:
    // path: a settings file of its own, in INI format (the tests give a temporary one);
    // empty: the user's configuration folder, organisation and application "kr5au".
    explicit TestMemory(const QString& path = QString());
    ~TestMemory();
    TestMemory(const TestMemory&) = delete;
    TestMemory& operator=(const TestMemory&) = delete;

    std::optional<AcceptanceLimits> acceptance(const QString& portDigit) const;
    // None: no acceptance test on the port.
    void setAcceptance(const QString& portDigit, const std::optional<AcceptanceLimits>& limits);

    std::optional<double> backgroundThresholdKv(const QString& portDigit) const;
    void setBackgroundThresholdKv(const QString& portDigit, double kv);

    std::optional<CalibrationRecord> calibration(const QString& portDigit) const;
    void setCalibration(const QString& portDigit, const CalibrationRecord& record);

    // Empty details when the port has none.
    TestDetails testDetails(const QString& portDigit) const;
    void setTestDetails(const QString& portDigit, const TestDetails& details);

    // Program-wide, not per port: where the remote control listens ("[ADDRESS:]PORT",
    // key remote/listen); empty when it is not to be started.
    QString remoteListen() const;
    // [remote] idle: seconds a remote client may stay silent before it is closed; the
    // default when absent or not a positive number.
    qint64 remoteIdleLimitMs() const;

  private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace kr5
