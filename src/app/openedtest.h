// A recorded test opened from its file (File > Open…): read with a progress bar that can
// cancel it, judged with the file's Set Q or one the operator chooses, and drawn again on
// the charts. The charts scale by the constants they were made with, so while a test is
// open those are the file's and the live ones wait here; closing the test puts them back.
// The live readings are never evaluated with the file's constants.
#pragma once

#include "charts/charts.h"
#include "core/inputconstants.h"
#include "modes/replay.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/eventpump.h"
#include "records/recordedfile.h"

#include <QJsonObject>
#include <QString>
#include <optional>

class QWidget;

namespace kr5 {

class OpenedTest {
  public:
    struct Parts {
        InputConstants& constants;  // the charts': the file's while a test is open
        Charts& charts;
        Dialogs& dialogs;
        const Clock& clock;
        EventPump& pump;
        QWidget* parent;  // of the progress bar
    };
    explicit OpenedTest(const Parts& parts) : p_(parts) {}

    bool isOpen() const { return test_.has_value(); }

    // Asks for a file, reads it and asks for Set Q; draws it. False when nothing was
    // opened (cancelled, or the file was refused with a message saying why). A test
    // already open is closed first only when the new one opens.
    bool open();
    // Reads path as open() does, without asking for it.
    bool openPath(const QString& path);
    // Asks for another Set Q and judges the open test again.
    bool judgeAgain();
    // The live constants back; the charts cleared for the live readings.
    void close();

    const QString& path() const { return path_; }
    const RecordedTest& test() const { return *test_; }
    const ReplayResult& result() const { return result_; }
    // What the status bar says after opening: the rows, and the rows skipped.
    const QString& note() const { return note_; }

    // The summary of the open test: the one written beside its file when there is one,
    // else one made from its rows, with the inception and extinction of this judgement.
    QJsonObject summary() const;

  private:
    std::optional<double> askSetQ(double proposed);
    void draw();

    Parts p_;
    std::optional<RecordedTest> test_;
    InputConstants live_;
    QString path_;
    ReplayResult result_;
    QString note_;
};

}  // namespace kr5
