// File > Save (menu item csave): prepares the measurement file of a test. The operator
// picks a name in the save dialog; the file is created with its header and the
// recording can start.
#pragma once

#include "core/inputconstants.h"
#include "link/units.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "records/recorderview.h"

#include <QObject>
#include <QString>

namespace kr5 {

class MeasurementFile : public QObject {
    Q_OBJECT

  public:
    MeasurementFile(const InputConstants& constants, const UnitsOnLine& units, Dialogs& dialogs,
                    const Clock& clock, Files& files, const RecorderView& recorder);

    // The handler of File > Save. Refuses while the test's name (as OK stored it) is
    // "no name"; a cancelled dialog changes nothing; a file that cannot be created is
    // reported in a message box and leaves everything as it was. Returns before the
    // operator has chosen: the file is created (`created`) once they have.
    void prepareFile();

    // The measurement file created at path with its header, as Save creates it, without
    // asking (the remote control's way; the caller has checked the name and that the path
    // is free). False, with the reason in *problem, when the file cannot be created;
    // nothing changes then.
    bool createAt(const QString& path, QString* problem);

    // The save dialog's set-up: title "Save", name "test.csv", the CSV filter, asking
    // before an existing file is replaced.
    static Dialogs::SaveRequest saveRequest();

  signals:
    // The file was created with its header: the recorder is to take it.
    void created(const QString& path, const QStringList& header);
    // The name is still "no name": the Input const window is shown.
    void nameNeeded();
    // The main window's caption with the file ("KR-5(1)>/data/t1.csv").
    void captionChanged(const QString& caption);

  private:
    void createChosen(const QString& path);

    const InputConstants& constants_;
    const UnitsOnLine& units_;
    Dialogs& dialogs_;
    const Clock& clock_;
    Files& files_;
    const RecorderView& recorder_;
};

}  // namespace kr5
