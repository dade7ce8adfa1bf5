// The composition root's share of the test's records: the menu items of a recorded test
// and of the report, the Test details window, and the History window with its markers.
#include "program.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

namespace kr5 {

void Program::wireRecordedTests() {
    const MainMenu& menu = main_.menu();
    QObject::connect(menu.open, &QAction::triggered, &main_, [this] { recordedTests_.open(); });
    QObject::connect(menu.judgeAgain, &QAction::triggered, &main_,
                     [this] { recordedTests_.judgeAgain(); });
    QObject::connect(menu.closeRecorded, &QAction::triggered, &main_,
                     [this] { recordedTests_.close(); });
    QObject::connect(menu.report, &QAction::triggered, &main_,
                     [this] { recordedTests_.writeReport(); });
    wireHistory();
}

// The window shows the details in force when it opens; what it takes is kept for the port and
// goes into the summary and the report from then on.
void Program::wireTestDetails() {
    QObject::connect(main_.menu().testDetails, &QAction::triggered, &main_, [this] {
        testDetailsWindow_.showDetails(testDetails_);
        showWindow(testDetailsWindow_);
    });
    QObject::connect(&testDetailsWindow_, &TestDetailsWindow::detailsTaken, &session_,
                     &Session::setTestDetails);
    QObject::connect(&session_, &Session::testDetailsChanged, &main_,
                     [this](const TestDetails& details) {
                         testMemory_.setTestDetails(units_.portDigit(), details);
                         if (testDetailsWindow_.isVisible()) {
                             testDetailsWindow_.showDetails(details);
                         }
                     });
    QObject::connect(&testDetailsWindow_, &TestDetailsWindow::reportRequested, &main_,
                     [this] { recordedTests_.writeReport(); });
}

// The Results window reads the store on the results thread, and again whenever a test was
// stored while it is shown; a row opens as a recorded test, or its report in the desktop's
// viewer.
void Program::wireResults() {
    QObject::connect(main_.menu().results, &QAction::triggered, &main_,
                     [this] { showWindow(resultsWindow_); });
    QObject::connect(&resultsStoring_.service(), &ResultsService::factsChanged, &resultsWindow_,
                     [this] {
                         if (resultsWindow_.isVisible()) {
                             resultsWindow_.refresh();
                         }
                     });
    QObject::connect(&resultsWindow_, &ResultsWindow::openTestRequested, &main_,
                     [this](const QString& path) { recordedTests_.openPath(path); });
    QObject::connect(
        &resultsWindow_, &ResultsWindow::openReportRequested, &main_, [this](const QString& path) {
            const QString failed = QStringLiteral("The report %1 cannot be opened.")
                                       .arg(QDir::toNativeSeparators(path));
            if (!QFileInfo::exists(path) || !platform_.launcher.openDocument(path, [this, failed] {
                    main_.showWarning(failed);
                })) {
                main_.showWarning(failed);
            }
        });
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
    const RecorderView& recorder = engineView_.recorder();
    QObject::connect(&recorder, &RecorderView::selectionChanged, &main_,
                     [this](bool recOn) { historyMarkers_.recordingSelected(recOn); });
    QObject::connect(&recorder, &RecorderView::preparedChanged, &main_,
                     [this](bool prepared) { historyMarkers_.filePreparedChanged(prepared); });
    QObject::connect(&engineView_, &EngineView::qnStartMarked, &main_,
                     [this] { historyMarkers_.qnStarted(); });
    QObject::connect(&engineView_, &EngineView::qnEndMarked, &main_,
                     [this] { historyMarkers_.qnEnded(); });
}

}  // namespace kr5
