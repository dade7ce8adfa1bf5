// The V-Q window's Save: the inception and extinction result written as a small CSV
// file. It changes nothing else: the measurement file and the recording go on as they
// were.
#pragma once

#include <functional>

#include "core/inputconstants.h"
#include "measure/inception.h"
#include "platform/dialogs.h"

namespace kr5 {

enum class ResultSave {
    Saved,
    Unnamed,     // the test has no name yet: nothing was asked or written
    Cancelled,   // the operator cancelled the dialog
    NotWritten,  // the file could not be written; the operator was told
};

// Refuses with a message while the test's name is "no name"; otherwise asks for the file
// ("testCSV.csv" proposed) and writes the comma-separated table as it is now and CR LF,
// replacing an existing file. Returns before the operator has chosen; `done` hears how it
// ended.
void saveResult(const InputConstants& constants, const InceptionDetector& detector,
                Dialogs& dialogs, std::function<void(ResultSave)> done);

}  // namespace kr5
