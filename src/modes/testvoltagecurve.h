// The test voltage over a test, for the report: from the History's readings of a live test,
// or from a recorded test's rows, whose times the recording's markers give.
#pragma once

#include "charts/history.h"
#include "modes/report.h"
#include "records/recordedfile.h"

#include <QDateTime>

namespace kr5 {

// The History's readings on its time axis from `from` on (all when it is not valid).
VoltageCurve voltageCurveOf(const HistoryModel& history, const QDateTime& from);

// The rows of a recorded test. The file holds no time per row, but each marker (REC ON,
// PAUSE, the Q-N markers, RECOFF) holds the time of day and the rows before it, and the rows
// between two markers came at an even pace: each row is placed so. Rows after the last
// marker go on at the pace of those before; a file whose markers give no pace is drawn by
// row.
VoltageCurve voltageCurveOf(const RecordedTest& test);

}  // namespace kr5
