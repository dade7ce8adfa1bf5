// The one-line status the program prints each second when started with --status, so
// that it can be watched on a machine without a display. It reads the panel's model.
#pragma once

#include "link/units.h"
#include "measure/panelmodel.h"

#include <QString>

namespace kr5 {

// "port 1 | KR AU ZN | Q .00 pC | N .0 P.P.S. | Es 00.0 V | TV  0V | cycle 37 ms", and
// " | KR-5: no reply (3)" after it while a unit does not answer, " | file: 12 lines waiting"
// while the measurement file cannot be written, " | results: 2 tests waiting" while tests wait
// for the results store, and the acceptance test's state or verdict
// last while one is set.
QString statusLine(const UnitsOnLine& units, const PanelReadouts& panel, const QString& cycleMs,
                   const QString& unitStatus, const QString& acceptance = QString(),
                   qsizetype linesWaiting = 0, int testsWaiting = 0);

}  // namespace kr5
