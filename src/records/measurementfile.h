// File > Save (menu item csave): prepares the measurement file of a test. The operator
// picks a name in the save dialog; the file is created with its header and the
// recording can start.
#pragma once

#include "app/globals.h"
#include "inputconstants.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "recorder.h"

#include <QString>
#include <functional>

namespace kr5 {

class MeasurementFile {
  public:
    MeasurementFile(Globals& g, Dialogs& dialogs, const Clock& clock,
                    const InputConstants& constants, Recorder& recorder);

    // Shows the Input const window (when the name is still "no name").
    std::function<void()> showInputConst;
    // Sets the main window's caption ("KR-5(1)>C:\data\t1.csv").
    std::function<void(const QString&)> setCaption;

    // The handler of File > Save. Refuses while the Name field of the Input const window
    // is exactly "no name"; a cancelled dialog changes nothing; a file that cannot be
    // created is reported in a message box and leaves everything as it was. Returns
    // true when a file was prepared.
    bool csaveClick();

    // The save dialog's set-up: title "Save", name "test.csv", the CSV filter, asking
    // before an existing file is replaced.
    static Dialogs::SaveRequest saveRequest();

  private:
    Globals& g_;
    Dialogs& dialogs_;
    const Clock& clock_;
    const InputConstants& constants_;
    Recorder& recorder_;
};

}  // namespace kr5
