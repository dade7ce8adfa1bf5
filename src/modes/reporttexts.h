// The report's values as a reader meets them: every number rounded to the resolution it was
// measured or typed with and given with its unit, and a value the summary lacks as a dash
// (a 0 would read as a measured value).
#pragma once

#include <QJsonValue>
#include <QString>

namespace kr5::reporttext {

QString dash();
// A text, or a dash when empty or missing.
QString text(const QJsonValue& v);
// A number as typed (its own digits), with its unit.
QString typed(const QJsonValue& v, const QString& unit);
// A free-text field that holds a number as typed ("21.5"), given the unit; one that holds
// more than a number stands as written.
QString typedWithUnit(const QJsonValue& v, const QString& unit);
// A charge in pC to the digits a reading carries ("7.29 pC", "4.80 pC", "1141 pC").
QString charge(const QJsonValue& pc);
// A pulse rate to the tenth the detector counts it with ("255.9 pps").
QString rate(const QJsonValue& pps);
// A measured test voltage in kV to the step of the AC unit's reading, 0.1 V of Es times
// the PT ratio: 8450.5 V at a ratio of 100 gives "8.45 kV", 8000 V "8.00 kV".
QString measuredKv(const QJsonValue& volts, double ptRatio);
// A test level as test plans write it ("22.0 kV").
QString testLevel(const QJsonValue& kv);
// Whole seconds ("60 s").
QString seconds(const QJsonValue& s);
// Adjust to the four significant digits the calibration gives it ("2.35 pC/V").
QString adjust(const QJsonValue& pcPerV);
// The detector's mean raw peak to the millivolt the Calibrate window shows ("4.255 V").
QString rawPeak(const QJsonValue& volts);
// NQN to one place, as the Q-N window shows it ("1367.4"); "none" where a window lacked
// its count.
QString nqn(const QJsonValue& v);
// A percentage to one place ("1.8 %").
QString percent(const QJsonValue& v);
// A time of the summary ("2026-12-07 09:00:00"), and its time of day alone ("09:00:00").
QString dateTime(const QJsonValue& v);
QString timeOfDay(const QJsonValue& v);

}  // namespace kr5::reporttext
