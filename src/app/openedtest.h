// A recorded test opened from its file (File > Open…): read a slice at a time on the
// program's clock, with a progress bar that can cancel it, judged with the file's Set Q or
// one the operator chooses, and drawn again on the charts. The charts scale by the
// constants they were made with, so while a test is open those are the file's and the live
// ones wait here; closing the test puts them back. The live readings are never evaluated
// with the file's constants.
#pragma once

#include "charts/charts.h"
#include "core/inputconstants.h"
#include "modes/replay.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "records/recordedfile.h"

#include <QJsonObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace kr5 {

class OpenedTest {
  public:
    struct Parts {
        InputConstants& constants;  // the charts': the file's while a test is open
        Charts& charts;
        Dialogs& dialogs;
        Clock& clock;     // drives the reading
        QWidget* parent;  // of the progress bar
        // Why a test read may not be shown now after all (a file prepared or a Q-N
        // measurement started while it was read); empty when it may. None: always.
        std::function<QString()> refusal = {};
    };
    explicit OpenedTest(const Parts& parts);
    ~OpenedTest();
    OpenedTest(const OpenedTest&) = delete;
    OpenedTest& operator=(const OpenedTest&) = delete;

    bool isOpen() const { return test_.has_value(); }

    // Asks for a file, reads it and asks for Set Q; draws it, then `opened` runs, told
    // whether the live readings were shown until then (no test was open). Nothing
    // is opened when the operator cancels or the file is refused (with a message saying
    // why). A test already open is replaced only when the new one opens. Returns before the
    // operator has answered: the questions wait for nothing.
    using Opened = std::function<void(bool fromLive)>;
    void open(Opened opened);
    // Starts reading path as open() does, without asking for it: false when the file
    // cannot be opened (the operator is told so). The reading goes on a slice at a time
    // between the clock's other work, behind a progress bar shown once it takes a while;
    // Cancel stops it at the next slice, and nothing is opened. Once read, Set Q is asked
    // and the test drawn; `opened` runs once that is done. A reading still going gives way
    // to this one, and its `opened` never runs.
    bool openPath(const QString& path, Opened opened = {});
    // Reads path whole before returning, without a progress bar (for the command line,
    // which has no windows): false when the file is refused. Then goes on as openPath.
    bool openPathAtOnce(const QString& path, Opened opened = {});
    // Asks for another Set Q and judges the open test again; `judged` runs when it was.
    void judgeAgain(std::function<void()> judged);
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
    struct Reading;
    // One slice of the reading; the clock's tick while there is one.
    void readSlice();
    void stopReading();
    // What the reading gave: the operator is told why the file is refused, or asked for
    // Set Q before the test is adopted. False when refused.
    bool afterReading(std::variant<RecordedTest, ReadProblem> read, const QString& path,
                      Opened opened);
    // Asks for Set Q with `proposed` filled in; `chosen` hears the number, or none when the
    // proposed one stands (cancelled, or not a number in range, which the operator is told).
    void askSetQ(double proposed, std::function<void(std::optional<double>)> chosen);
    // Takes the test read in place of the one open, if any; true when none was.
    bool adopt(RecordedTest test, const QString& path);
    void draw();

    Parts p_;
    std::optional<RecordedTest> test_;
    InputConstants live_;
    QString path_;
    ReplayResult result_;
    QString note_;
    std::unique_ptr<Reading> reading_;
};

}  // namespace kr5
