// The operating settings of the Options window: they start at their defaults on every
// run and change only through that window's Set (and the panel's range titles for the
// automatic ranging).
#pragma once

#include <QString>
#include <QtGlobal>

namespace kr5 {

struct OperatingSettings {
    qint32 sampleMs = 0;         // pause of a normal cycle: 0 (MIN), 100, 200 or 500 ms
    qint32 tvMultiplier = 1;     // TV Multi: 1, 2, 4 or 5; scales the voltage axes
    bool autoAttenuator = true;  // automatic attenuator ranging
    bool autoRate = true;        // automatic rate ranging
    qint32 speedIndex = 0;       // line speed: 0 9600, 1 19200, 2 38400 baud
    qint32 gateTimeMs = 1000;    // counting time of one Q-N step
    qint32 qnPasses = -1;        // passes of a Q-N measurement; -1 Non Stop
    QString qnCondition;         // condition text of the Q-N start marker

    static constexpr qint32 nonStop = -1;

    // TV Multi 0 is never offered; it counts as 1 rather than dividing by zero.
    qint32 tvDivisor() const { return tvMultiplier != 0 ? tvMultiplier : 1; }
};

}  // namespace kr5
