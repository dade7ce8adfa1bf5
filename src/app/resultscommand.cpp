#include "resultscommand.h"

#include "app/consoledialogs.h"
#include "app/exitcodes.h"
#include "app/reportcommand.h"
#include "app/resultsstoring.h"
#include "platform/qtclock.h"
#include "results/resultssender.h"
#include "results/resultstext.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

namespace kr5 {

namespace {

int fail(const QString& why) {
    QTextStream(stderr) << QCoreApplication::applicationName() << ": " << why << Qt::endl;
    return kExitNoResults;
}

}  // namespace

int printResults(const CommandLine& line) {
    const ResultsLocation location = configuredResultsLocation(QString(), QString());
    if (!location.problem.isEmpty()) {
        return fail(location.problem);
    }
    TestFilter filter;
    filter.objectId = line.resultsObject;
    filter.objectType = line.resultsType;
    filter.customer = line.resultsCustomer;
    filter.since = line.resultsSince;
    filter.until = line.resultsUntil;
    filter.verdict = line.resultsVerdict;
    TestTable table;
    QString problem;
    ResultsStore store(location);
    if (!store.list(filter, &table, &problem)) {
        return fail(QStringLiteral("the results store (%1) cannot be read: %2")
                        .arg(location.describe(), problem));
    }
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly)) {
        return fail(QStringLiteral("standard output cannot be written"));
    }
    out.write(line.resultsFormat == QLatin1String("json") ? tableJson(table) : tableCsv(table));
    return kExitDone;
}

int storeRecordedFile(const QString& measurementPath) {
    QtClock clock;
    ConsoleDialogs dialogs;  // a refused file is said on standard error
    HeadlessTest headless(dialogs, clock);
    if (!headless.open(measurementPath)) {
        return fail(QStringLiteral("%1 could not be read").arg(measurementPath));
    }
    const OpenedTest& test = headless.test;
    ResultsSender sender(configuredResultsLocation(QString(), QString()), queuePath(QString()));
    const SendReport report =
        sender.send(newStoredTest(test.summary(), test.result().qnPasses, measurementPath));
    if (report.failed) {
        return fail(report.message);
    }
    QTextStream(stdout) << report.message << Qt::endl;
    return kExitDone;
}

}  // namespace kr5
