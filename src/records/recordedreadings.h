// A recorded test replayed: each data row as the reading the live measurement would have
// handed its listeners, so that the charts and the inception detector can take a finished
// test again, at the file's constants or at others the operator chose.
#pragma once

#include "core/inputconstants.h"
#include "measure/reading.h"
#include "records/recordedfile.h"

#include <vector>

namespace kr5 {

// One reading per row, in order. Rows of a Q-N block are Q-N steps (their pulses per
// second the count rate), the others normal cycles. Charge, pulse rate and test voltage
// are the row's; the raw values come back through constants' Adjust and PT ratio (0 when
// either is 0), and the detector's fields carry the codes nearest to them, held to the
// two hex digits a reply has. The rows have no times: reading i is taken at i x 100 ms.
std::vector<Reading> readingsOf(const RecordedTest& test, const InputConstants& constants);

}  // namespace kr5
