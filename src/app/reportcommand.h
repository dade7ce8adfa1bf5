// The test report: its content from an opened recorded test (the same for File > Report…
// and the command line), and `kr5au --report MEASUREMENT.csv -o REPORT.pdf`, which reads
// the file and its summary, draws the charts from the rows off screen and writes the PDF
// without a display or a port.
#pragma once

#include "app/openedtest.h"
#include "charts/colours.h"
#include "core/operatingsettings.h"
#include "modes/report.h"
#include "platform/qtclipboard.h"

#include <QDateTime>
#include <QString>

namespace kr5 {

// The dialogs a test opened to be reported or stored uses: its messages go to the program's,
// but the Set Q question is answered at once as cancelled. Nobody is asked: the file's own
// Set Q judges it, and the test stands as soon as the file was read.
class FileSetQDialogs : public Dialogs {
  public:
    explicit FileSetQDialogs(Dialogs& dialogs) : dialogs_(dialogs) {}
    void ask(const QString& text, const QString& title, Buttons buttons, const QString& detail,
             Answered answered) override {
        dialogs_.ask(text, title, buttons, detail, std::move(answered));
    }
    void askSaveFileName(const SaveRequest&, SaveChosen chosen) override { chosen(QString(), 0); }

  private:
    Dialogs& dialogs_;
};

// A measurement file opened as a recorded test without a window on screen, for the command
// line and the report of a file just closed: the test, and the charts it was drawn on off
// screen.
struct HeadlessTest {
    HeadlessTest(Dialogs& dialogs, Clock& clock);
    // Reads the file and draws it; false when it cannot be read (dialogs were told why).
    bool open(const QString& measurementPath) { return test.openPathAtOnce(measurementPath); }

    FileSetQDialogs dialogs;
    QtClipboard clipboard;
    InputConstants constants;
    OperatingSettings settings;
    ColourTable colours;
    Charts charts;
    OpenedTest test;
};

// The charts as they are now, with the counts and summary of the opened test.
ReportContent reportOfOpenedTest(const OpenedTest& test, Charts& charts, const QDateTime& now);

// The charts' pictures as they are now (the Q-N chart only once one was copied in).
void takeChartPictures(Charts& charts, ReportContent& content);

// The report of a measurement file and its summary alone, its charts drawn off screen from
// the rows: false with the reason when nothing was written.
bool writeReportOfFile(const QString& measurementPath, const QString& pdfPath, Dialogs& dialogs,
                       Clock& clock, QString* problem);
// The same for the command line: returns the exit code and says on standard error why
// nothing was written.
int writeReportOfFile(const QString& measurementPath, const QString& pdfPath);

}  // namespace kr5
