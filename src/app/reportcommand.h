// The test report: its content from an opened recorded test (the same for File > Report…
// and the command line), and `kr5au --report MEASUREMENT.csv -o REPORT.pdf`, which reads
// the file and its summary, draws the charts from the rows off screen and writes the PDF
// without a display or a port.
#pragma once

#include "app/openedtest.h"
#include "modes/report.h"

#include <QDateTime>
#include <QString>

namespace kr5 {

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
