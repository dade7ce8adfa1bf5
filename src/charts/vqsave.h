// Save of the V-Q window (sdata): the inception and extinction result written as a small
// CSV file, which then becomes the measurement file that recording appends to.
#pragma once

#include "app/globals.h"
#include "platform/dialogs.h"
#include "records/inception.h"

#include <QString>
#include <functional>

namespace kr5 {

struct VqSaveHooks {
    // The name field of the Input const window; kname when not given.
    std::function<QString()> inputName;
    // Shows the Input const window (not modal).
    std::function<void()> showInputConst;
    // The main window's caption, "KR-5(" + portstr + ")>" + the file's path.
    std::function<void(const QString&)> setMainCaption;
};

// Refuses with a message while the name is "no name"; otherwise asks for the file
// ("testCSV.csv" proposed), writes the comma-separated table and CR LF, replacing an
// existing file, makes it the measurement file (csvfile) and captions the main window.
// Cancelling the dialog changes nothing. A file that cannot be written is reported and
// changes nothing either. Returns true when the file was written.
bool sdata(Globals& g, Dialogs& dialogs, Inception& inception, const VqSaveHooks& hooks);

}  // namespace kr5
