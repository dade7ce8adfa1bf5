#include "reportcommand.h"

#include "app/consoledialogs.h"
#include "app/exitcodes.h"
#include "charts/colours.h"
#include "core/operatingsettings.h"
#include "platform/qtclipboard.h"
#include "platform/qtclock.h"

#include <QCoreApplication>
#include <QTextStream>

namespace kr5 {

void takeChartPictures(Charts& charts, ReportContent& content) {
    content.trend = charts.wave().surface().image();
    content.vq = charts.vq().surface().image();
    if (charts.qn().picture().hasPicture()) {
        content.qn = charts.qn().picture().surface().image();
    }
}

ReportContent reportOfOpenedTest(const OpenedTest& test, Charts& charts, const QDateTime& now) {
    ReportContent content;
    content.summary = test.summary();
    content.programVersion = QCoreApplication::applicationVersion();
    content.printedAt = now;
    content.qnCounts = test.result().qnPasses;
    content.qnTitle = test.result().qnLabel;
    content.adjust = test.test().constants.adjust;
    takeChartPictures(charts, content);
    return content;
}

int writeReportOfFile(const QString& measurementPath, const QString& pdfPath) {
    QTextStream err(stderr);
    QtClock clock;
    ConsoleDialogs dialogs;  // a refused file is said on standard error
    QtClipboard clipboard;
    InputConstants constants;
    OperatingSettings settings;
    ColourTable colours;
    fillColourTable(colours);
    Charts charts(constants, settings, colours, clipboard, dialogs);
    OpenedTest test({constants, charts, dialogs, clock, nullptr});
    if (!test.openPathAtOnce(measurementPath)) {
        return kExitNoReport;
    }
    QString problem;
    if (!writeReport(reportOfOpenedTest(test, charts, clock.localTime()), pdfPath, &problem)) {
        err << QCoreApplication::applicationName() << ": " << problem << Qt::endl;
        return kExitNoReport;
    }
    return kExitDone;
}

}  // namespace kr5
