#include "reportcommand.h"

#include "app/consoledialogs.h"
#include "app/exitcodes.h"
#include "app/resultsstoring.h"
#include "modes/testvoltagecurve.h"
#include "platform/qtclock.h"
#include "results/resultssender.h"
#include "results/storedtest.h"

#include <QCoreApplication>
#include <QFileInfo>
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

namespace {

bool openAndReport(HeadlessTest& headless, const QString& measurementPath, const QString& pdfPath,
                   Clock& clock, QString* problem) {
    if (!headless.open(measurementPath)) {
        *problem = QStringLiteral("%1 could not be read").arg(measurementPath);
        return false;
    }
    return writeReport(reportOfOpenedTest(headless.test, headless.charts, clock.localTime()),
                       pdfPath, problem);
}

}  // namespace

bool writeReportOfFile(const QString& measurementPath, const QString& pdfPath, Dialogs& dialogs,
                       Clock& clock, QString* problem) {
    HeadlessTest headless(dialogs, clock);
    return openAndReport(headless, measurementPath, pdfPath, clock, problem);
}

int writeReportOfFile(const QString& measurementPath, const QString& pdfPath) {
    QtClock clock;
    ConsoleDialogs dialogs;  // a refused file is said on standard error
    QTextStream err(stderr);
    QString problem;
    HeadlessTest headless(dialogs, clock);
    if (!openAndReport(headless, measurementPath, pdfPath, clock, &problem)) {
        err << QCoreApplication::applicationName() << ": " << problem << Qt::endl;
        return kExitNoReport;
    }
    // A test reported is a test opened: the store holds it, and its report, as when the
    // window made the report. The report stands whatever the store says.
    ResultsSender sender(configuredResultsLocation(QString(), QString()), queuePath(QString()));
    const OpenedTest& test = headless.test;
    StoredTest stored = newStoredTest(test.summary(), test.result().qnPasses, measurementPath);
    stored.reportPath = QFileInfo(pdfPath).absoluteFilePath();
    const SendReport sent = sender.send(stored);
    if (sent.heldAlready) {
        sender.attachReport(measurementPath, pdfPath);
    }
    if (sent.failed) {
        err << QCoreApplication::applicationName() << ": " << sent.message << Qt::endl;
    }
    return kExitDone;
}

}  // namespace kr5
