#include "reportcommand.h"

#include "app/consoledialogs.h"
#include "app/exitcodes.h"
#include "charts/colours.h"
#include "core/operatingsettings.h"
#include "modes/testvoltagecurve.h"
#include "platform/qtclipboard.h"
#include "platform/qtclock.h"
#include "results/storedtest.h"

#include <QCoreApplication>
#include <QTextStream>

namespace kr5 {

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
    QtClipboard clipboard;
    InputConstants constants;
    OperatingSettings settings;
    ColourTable colours;
    fillColourTable(colours);
    Charts charts(constants, settings, colours, clipboard, dialogs);
    OpenedTest test({constants, charts, dialogs, clock, nullptr});
    if (!test.openPathAtOnce(measurementPath)) {
        *problem = QStringLiteral("%1 could not be read").arg(measurementPath);
        return false;
    }
    return writeReport(reportOfOpenedTest(test, charts, clock.localTime()), pdfPath, problem);
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
