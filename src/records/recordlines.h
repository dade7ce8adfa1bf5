// The lines of the measurement file: the header written when the file is prepared, the
// data rows, and the marker lines of the recording and the Q-N measurement.
//
// Every line has five comma-separated fields with no blanks around the commas. A text
// field stands in double quotes; a double quote inside it is doubled, as CSV readers
// expect, so a name such as 12" rod keeps the five columns. A number field has no
// quotes and is in the file number form (" 100", " .25", "-2"). Lines with fewer values
// are padded with "dummy" fields.
#pragma once

#include "core/inputconstants.h"
#include "link/units.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace kr5 {

// A text as a quoted field: "12"" rod" for 12" rod.
QString csvText(const QString& text);

// The program's version for the header: each part in the number form, joined by '.'
// (" 1. 5. 46").
QString versionText();

// The 14 header lines (without line ends): the input constants, the date prepared as
// MM-DD-YYYY, the program's name and version, the units' identification texts and the
// column line.
QStringList headerLines(const InputConstants& constants, const UnitsOnLine& units,
                        const QDate& date);

// "HH:MM:SS", 24-hour clock.
QString timeText(const QDateTime& t);

// "<tag>","<HH:MM:SS>","dummy","dummy","dummy" (RECON, PAUSE, RECOFF, QNend).
QString markerLine(const QString& tag, const QDateTime& t);

// "QNstartD","<time>","<condition>","<test voltage as shown>",<passes>.
QString qnStartLine(const QString& condition, const QString& testVoltage, qint32 passes,
                    const QDateTime& t);

// One reading: the attenuator index and the rate index in the number form, the charge,
// the pulse rate and the test voltage with one decimal (" 3,123.5, 2,45.0,1200.0").
// A Q-N step is written at rate index 0 with its count rate.
QString dataRowLine(qint32 att, double q, qint32 rateIndex, double pps, double tv);

}  // namespace kr5
