#include "recordedtestcontrol.h"

#include "app/refusal.h"

#include <QDir>
#include <QFileInfo>
#include <QStatusBar>

namespace kr5 {

RecordedTestControl::RecordedTestControl(const Parts& parts)
    : p_(parts), liveHistory_(parts.clock) {}

bool RecordedTestControl::refused() {
    return tellIfRefused(p_.dialogs, QStringLiteral("A recorded test cannot be opened"),
                         p_.session.mayOpenRecordedTest());
}

void RecordedTestControl::open() {
    if (!refused()) {
        p_.openedTest.open([this](bool fromLive) { showOpened(fromLive); });
    }
}

void RecordedTestControl::openPath(const QString& path) {
    if (!refused()) {
        p_.openedTest.openPath(path, [this](bool fromLive) { showOpened(fromLive); });
    }
}

// A test read from a file before the store was kept goes into it once its results are
// computed; one the store holds already stays as it is there.
void RecordedTestControl::showOpened(bool fromLive) {
    if (fromLive) {
        liveHistory_ = p_.history;
    }
    showFileHistory();
    showState();
    const OpenedTest& opened = p_.openedTest;
    p_.storing.store(opened.summary(), opened.result().qnPasses, opened.path());
}

void RecordedTestControl::judgeAgain() {
    p_.openedTest.judgeAgain([this] { showState(); });
}

void RecordedTestControl::close() {
    if (p_.openedTest.isOpen()) {
        p_.history = liveHistory_;
    }
    p_.openedTest.close();
    showState();
}

// The opened test on the History window, by row number: its rows hold no times.
void RecordedTestControl::showFileHistory() {
    const RecordedTest& test = p_.openedTest.test();
    HistoryModel& history = p_.history;
    history.clear(HistoryModel::Axis::Row);
    size_t qnBlock = 0;
    for (size_t i = 0; i < test.rows.size(); ++i) {
        while (qnBlock < test.qnBlocks.size() &&
               size_t(test.qnBlocks[qnBlock].firstRow + test.qnBlocks[qnBlock].rowCount) <= i) {
            ++qnBlock;
        }
        const bool qnStep =
            qnBlock < test.qnBlocks.size() && i >= size_t(test.qnBlocks[qnBlock].firstRow);
        if (!qnStep) {
            const RecordedRow& row = test.rows[i];
            history.addRow(double(i), row.chargePc, row.pulseRatePps, row.testVoltageV);
        }
    }
    for (const RecordedMarker& marker : test.markers) {
        history.addRowMarker(marker.tag, marker.rowsBefore);
    }
}

void RecordedTestControl::showState() {
    const OpenedTest& opened = p_.openedTest;
    const bool open = opened.isOpen();
    p_.session.setRecordedTestOpen(open);
    p_.chartFeed.setPaused(open);
    // Nothing may be recorded while the charts and constants are the file's: the session
    // knows, and the menus follow it.
    const QString portDigit = p_.units.portDigit();
    if (!open) {
        p_.main.setPortCaption(portDigit);
        p_.main.statusBar()->clearMessage();
        return;
    }
    p_.main.setWindowTitle(QStringLiteral("KR-5(%1) recorded: %2")
                               .arg(portDigit, QFileInfo(opened.path()).fileName()));
    p_.main.statusBar()->showMessage(opened.note());
    const ReplayResult& r = opened.result();
    if (!r.qnPasses.empty()) {
        p_.charts.qn().showQm(r.qmLastPass, r.qmBlock, int(r.qnPasses.size()));
        p_.charts.qn().showNqn(nqnText(r.nqnLastPass), nqnText(r.nqnBlock));
        p_.charts.qn().setCounts(r.qnPasses, opened.test().constants.adjust);
    }
}

void RecordedTestControl::writeReport() {
    Dialogs::SaveRequest request;
    request.fileName = QStringLiteral("report.pdf");
    request.filter = QStringLiteral("PDF File(*.pdf)|*.pdf");
    p_.dialogs.askSaveFileName(request, [this](const QString& path, int) {
        if (!path.isEmpty()) {
            writeReportTo(path);
        }
    });
}

QString RecordedTestControl::writeReportFile(const QString& path) {
    const QString problem = p_.results.writeReport(path);
    if (const QString measurement = p_.results.reportedMeasurement();
        problem.isEmpty() && !measurement.isEmpty()) {
        p_.storing.reportWritten(measurement, path);
    }
    return problem;
}

// The report of the test as it stands when the operator has chosen where it goes.
void RecordedTestControl::writeReportTo(const QString& path) {
    if (const QString problem = writeReportFile(path); !problem.isEmpty()) {
        p_.dialogs.notify(problem);
        return;
    }
    p_.main.statusBar()->showMessage(
        QStringLiteral("Report written: %1").arg(QDir::toNativeSeparators(path)));
}

}  // namespace kr5
