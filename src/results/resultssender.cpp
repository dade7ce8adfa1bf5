#include "resultssender.h"

#include <QFileInfo>
#include <QSysInfo>

namespace kr5 {

SendReport ResultsSender::send(StoredTest test) {
    hashFiles(test);
    SendReport report;
    StoreOutcome outcome;
    if (location_.problem.isEmpty()) {
        outcome = store_.store(test);
    } else {
        outcome.problem = location_.problem;
    }
    if (outcome.kept()) {
        lastStoredId_ = outcome.storedId;
        report.heldAlready = outcome.kind == StoreOutcome::Kind::AlreadyStored;
        QString ignored;
        sendWaiting(&ignored);
        report.message = outcome.kind == StoreOutcome::Kind::Stored
                             ? QStringLiteral("The test was stored in the results store.")
                             : QStringLiteral("The results store holds this test already.");
        report.waiting = waiting();
        return report;
    }
    report.failed = true;
    QString queueProblem;
    if (queue_.add(test, &queueProblem)) {
        report.waiting = waiting();
        report.message = QStringLiteral(
                             "The results store (%1) could not take the test: %2. It waits "
                             "in the local queue and is sent when the store is back (%3 "
                             "waiting).")
                             .arg(location_.describe(), outcome.problem)
                             .arg(report.waiting);
        return report;
    }
    report.waiting = waiting();
    report.message =
        QStringLiteral(
            "The test was NOT stored: the results store (%1) failed (%2) and "
            "the local queue too (%3). The measurement file and its summary are "
            "complete: store it later with kr5au --store %4.")
            .arg(location_.describe(), outcome.problem, queueProblem, test.measurementPath);
    return report;
}

bool ResultsSender::sendWaiting(QString* problem) {
    std::vector<StoredTest> tests;
    if (!queue_.waiting(&tests, problem)) {
        return false;
    }
    for (const StoredTest& test : tests) {
        const StoreOutcome outcome = store_.store(test);
        if (!outcome.kept()) {
            *problem = outcome.problem;
            return false;
        }
        // Held by the store now: a failed removal only sends it again, which the store
        // knows by its hash.
        queue_.remove(test.id, problem);
    }
    return true;
}

SendReport ResultsSender::retry() {
    SendReport report;
    QString problem;
    if (!location_.problem.isEmpty()) {
        problem = location_.problem;
    } else if (sendWaiting(&problem)) {
        problem.clear();
    }
    report.waiting = waiting();
    report.failed = !problem.isEmpty();
    if (report.failed) {
        report.message =
            QStringLiteral("The results store (%1) still cannot be reached: %2 (%3 waiting).")
                .arg(location_.describe(), problem)
                .arg(report.waiting);
    } else {
        report.message = QStringLiteral("The tests that waited were stored.");
    }
    return report;
}

int ResultsSender::waiting() {
    QString problem;
    return queue_.count(&problem);
}

void ResultsSender::attachReport(const QString& measurementPath, const QString& reportPath) {
    const QString measurement = fileSha256(measurementPath);
    const QString report = fileSha256(reportPath);
    const QString reportAt = QFileInfo(reportPath).absoluteFilePath();
    QString problem;
    if (measurement.isEmpty() || report.isEmpty() ||
        (location_.problem.isEmpty() &&
         store_.attachReport(measurement, reportAt, report, &problem))) {
        return;
    }
    std::vector<StoredTest> tests;
    queue_.waiting(&tests, &problem);
    for (StoredTest& test : tests) {
        if (test.measurementSha256 == measurement) {
            test.reportPath = reportAt;
            test.reportSha256 = report;
            queue_.add(test, &problem);
        }
    }
}

bool ResultsSender::list(const TestFilter& filter, TestTable* table, QString* problem) {
    if (location_.problem.isEmpty() && store_.list(filter, table, problem)) {
        return true;
    }
    if (!location_.problem.isEmpty()) {
        *problem = location_.problem;
    }
    *table = TestTable{listedColumns(filter), {}, 0};
    std::vector<StoredTest> tests;
    QString ignored;
    queue_.waiting(&tests, &ignored);
    for (const StoredTest& test : tests) {
        QVariantList row;
        if (listedAs(test, filter, &row)) {
            table->rows << row;
        }
    }
    table->total = int(table->rows.size());
    return false;
}

StoreFacts ResultsSender::facts() {
    if (!location_.problem.isEmpty()) {
        StoreFacts facts;
        facts.problem = location_.problem;
        return facts;
    }
    return store_.facts(lastStoredId_, QSysInfo::machineHostName());
}

}  // namespace kr5
