// The composition root's share of the test's records: opening a recorded test (the live
// charts pause meanwhile) and the test report.
#include "program.h"

#include "app/reportcommand.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>

namespace kr5 {

void Program::wireRecordedTests() {
    const MainMenu& menu = main_.menu();
    QObject::connect(menu.open, &QAction::triggered, &main_, [this] { openRecordedTest(); });
    QObject::connect(menu.judgeAgain, &QAction::triggered, &main_,
                     [this] { openedTest_.judgeAgain([this] { showRecordedState(); }); });
    QObject::connect(menu.closeRecorded, &QAction::triggered, &main_,
                     [this] { closeRecordedTest(); });
    QObject::connect(menu.report, &QAction::triggered, &main_, [this] { writeReportNow(); });
    wireHistory();
}

void Program::wireHistory() {
    const MainMenu& menu = main_.menu();
    QObject::connect(menu.history, &QAction::triggered, &main_, [this](bool shown) {
        historyWindow_.setVisible(shown);
        if (shown) {
            historyWindow_.raise();
        }
    });
    QObject::connect(&historyWindow_, &HistoryWindow::shownChanged, menu.history,
                     &QAction::setChecked);
    // The recording's markers, as the measurement file gets them.
    const RecorderView& recorder = engineView_.recorder();
    QObject::connect(&recorder, &RecorderView::selectionChanged, &main_, [this](bool recOn) {
        if (engineView_.recorder().filePrepared()) {
            history_.addMarkerNow(recOn ? QStringLiteral("REC ON") : QStringLiteral("PAUSE"));
        }
    });
    QObject::connect(&recorder, &RecorderView::preparedChanged, &main_, [this](bool prepared) {
        if (!prepared) {
            history_.addMarkerNow(QStringLiteral("RECOFF"));
        }
    });
    QObject::connect(&engineView_, &EngineView::qnStartMarked, &main_,
                     [this] { history_.addMarkerNow(QStringLiteral("QN start")); });
    QObject::connect(&engineView_, &EngineView::qnEndMarked, &main_,
                     [this] { history_.addMarkerNow(QStringLiteral("QN end")); });
}

// The opened test on the History window, by row number: its rows hold no times.
void Program::showFileHistory() {
    const RecordedTest& test = openedTest_.test();
    history_.clear(HistoryModel::Axis::Row);
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
            history_.addRow(double(i), row.chargePc, row.pulseRatePps, row.testVoltageV);
        }
    }
    for (const RecordedMarker& marker : test.markers) {
        history_.addRowMarker(marker.tag, marker.rowsBefore);
    }
}

bool Program::refused(const QString& what, const Outcome& outcome) {
    if (outcome) {
        return false;
    }
    platform_.dialogs.notify(QStringLiteral("%1 is not possible: %2").arg(what, outcome.why));
    return true;
}

void Program::openRecordedTest() {
    if (refused(QStringLiteral("A recorded test cannot be opened"),
                session_.mayOpenRecordedTest())) {
        return;
    }
    openedTest_.open([this](bool fromLive) {
        if (fromLive) {
            liveHistory_ = history_;
        }
        showFileHistory();
        showRecordedState();
    });
}

void Program::showRecordedState() {
    const bool open = openedTest_.isOpen();
    session_.setRecordedTestOpen(open);
    chartFeed_.setPaused(open);
    // Nothing may be recorded while the charts and constants are the file's: the session
    // knows, and the menus follow it.
    if (!open) {
        main_.setPortCaption(units_.portDigit());
        main_.statusBar()->clearMessage();
        return;
    }
    main_.setWindowTitle(QStringLiteral("KR-5(%1) recorded: %2")
                             .arg(units_.portDigit(), QFileInfo(openedTest_.path()).fileName()));
    main_.statusBar()->showMessage(openedTest_.note());
    const ReplayResult& r = openedTest_.result();
    if (!r.qnPasses.empty()) {
        charts_.qn().showQm(r.qmLastPass, r.qmBlock, int(r.qnPasses.size()));
        charts_.qn().setCounts(r.qnPasses, openedTest_.test().constants.adjust);
    }
}

void Program::closeRecordedTest() {
    if (openedTest_.isOpen()) {
        history_ = liveHistory_;
    }
    openedTest_.close();
    showRecordedState();
}

void Program::writeReportNow() {
    Dialogs::SaveRequest request;
    request.fileName = QStringLiteral("report.pdf");
    request.filter = QStringLiteral("PDF File(*.pdf)|*.pdf");
    platform_.dialogs.askSaveFileName(request, [this](const QString& path, int) {
        if (!path.isEmpty()) {
            writeReportTo(path);
        }
    });
}

// The report of the test as it stands when the operator has chosen where it goes.
void Program::writeReportTo(const QString& path) {
    if (const QString problem = results_.writeReport(path); !problem.isEmpty()) {
        platform_.dialogs.notify(problem);
        return;
    }
    main_.statusBar()->showMessage(
        QStringLiteral("Report written: %1").arg(QDir::toNativeSeparators(path)));
}

}  // namespace kr5
