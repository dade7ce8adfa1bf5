// The test's input constants, as the operator confirmed them with OK in the Input const
// window (or as the settings file of the port holds them): the test's name and number,
// the conditions, the PT ratio of the voltage transformer, the charge calibration Adjust,
// the Set Q level and the Start and Stop counts.
#pragma once

#include "core/ranges.h"

#include <QString>
#include <QtGlobal>

namespace kr5 {

struct InputConstants {
    QString name = QStringLiteral("no name");
    QString number = QStringLiteral("1");
    QString temperature = QStringLiteral("20");
    QString humidity = QStringLiteral("59");
    double ptRatio = 100.0;  // test voltage / Es
    double adjust = 1.0;     // charge calibration, pC per V of raw peak at range 1/1
    double setQIndex = 0.0;  // the Set Q scroll bar, 0..9 (an attenuator range)
    double setQ = 1.0;       // Set Q in pC: division of setQIndex x adjust
    qint32 startCount = 50;  // pulse rate an inception needs
    qint32 stopCount = 0;

    // The name a test may not be saved under.
    static bool isUnnamed(const QString& name) { return name == QLatin1String("no name"); }
};

}  // namespace kr5
