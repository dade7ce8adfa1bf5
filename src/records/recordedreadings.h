// A recorded test replayed: each data row as the reading the live measurement would have
// handed its listeners, so that the charts and the inception detector can take a finished
// test again, at the file's constants or at others the operator chose.
#pragma once

#include "core/inputconstants.h"
#include "measure/reading.h"
#include "records/recordedfile.h"

#include <vector>

namespace kr5 {

// One reading per row, in order, made when asked for: a long test has millions of rows,
// and a reading is several times the size of its row. Rows of a Q-N block are Q-N steps
// (their pulses per second the count rate), the others normal cycles. Charge, pulse rate
// and test voltage are the row's; the raw values come back through constants' Adjust and
// PT ratio (0 when either is 0), and the detector's fields carry the codes nearest to them,
// held to the two hex digits a reply has. The rows have no times: reading i is taken at
// i x 100 ms. The test and the constants must outlive it.
class RecordedReadings {
  public:
    RecordedReadings(const RecordedTest& test, const InputConstants& constants);

    size_t size() const { return test_.rows.size(); }
    Reading at(size_t i) const;

  private:
    const RecordedTest& test_;
    const InputConstants& constants_;
    std::vector<bool> qnStep_;
};

}  // namespace kr5
