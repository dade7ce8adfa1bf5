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

// A measurement file opened as a recorded test without a window on screen, for the command
// line: the test, and the charts it was drawn on off screen.
struct HeadlessTest {
    HeadlessTest(Dialogs& dialogs, Clock& clock);
    // Reads the file and draws it; false when it cannot be read (dialogs were told why).
    bool open(const QString& measurementPath) { return test.openPathAtOnce(measurementPath); }

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
