#include "reportcommand.h"

#include "app/consoledialogs.h"
#include "app/exitcodes.h"
#include "modes/testvoltagecurve.h"
#include "platform/qtclock.h"
#include "results/storedtest.h"

#include <QCoreApplication>
#include <QTextStream>

namespace kr5 {

namespace {

ColourTable filledColours() {
    ColourTable colours;
    fillColourTable(colours);
    return colours;
}

}  // namespace

HeadlessTest::HeadlessTest(Dialogs& programDialogs, Clock& clock)
    : dialogs(programDialogs),
      colours(filledColours()),
      charts(constants, settings, colours, clipboard, dialogs),
      test({constants, charts, dialogs, clock, nullptr}) {}

void takeChartPictures(Charts& charts, ReportContent& content) {
    content.trend = charts.wave().surface().drawing();
    content.vq = charts.vq().surface().drawing();
    content.qn = charts.qn().picture().drawing();
}

ReportContent reportOfOpenedTest(const OpenedTest& test, Charts& charts, const QDateTime& now) {
    ReportContent content;
    content.summary = test.summary();
    content.programVersion = QCoreApplication::applicationVersion();
    content.printedAt = now;
    content.qnCounts = test.result().qnPasses;
    content.qnTitle = test.result().qnLabel;
    content.adjust = test.test().constants.adjust;
    content.voltage = voltageCurveOf(test.test());
    content.measurementSha256 = fileSha256(test.path());
    takeChartPictures(charts, content);
    return content;
}

bool writeReportOfFile(const QString& measurementPath, const QString& pdfPath, Dialogs& dialogs,
                       Clock& clock, QString* problem) {
    HeadlessTest headless(dialogs, clock);
    if (!headless.open(measurementPath)) {
        *problem = QStringLiteral("%1 could not be read").arg(measurementPath);
        return false;
    }
    return writeReport(reportOfOpenedTest(headless.test, headless.charts, clock.localTime()),
                       pdfPath, problem);
}

int writeReportOfFile(const QString& measurementPath, const QString& pdfPath) {
    QtClock clock;
    ConsoleDialogs dialogs;  // a refused file is said on standard error
    QString problem;
    if (!writeReportOfFile(measurementPath, pdfPath, dialogs, clock, &problem)) {
        QTextStream(stderr) << QCoreApplication::applicationName() << ": " << problem << Qt::endl;
        return kExitNoReport;
    }
    return kExitDone;
}

}  // namespace kr5
