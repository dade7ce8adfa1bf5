// File > Open… (or a test opened from the Results window), Judge again, Close recorded test
// and Report…: a recorded test shown in place of the live one, and the report of whichever
// is shown. While a test is open the live charts pause, the History window shows the file
// by row number (the live History waits here), the caption and status bar name the file,
// and the session lets nothing be recorded; closing the test puts the live one back as it
// stood. A test opened goes into the results store (once: the store knows its file).
#pragma once

#include "app/mainwindow.h"
#include "app/openedtest.h"
#include "app/resultsstoring.h"
#include "app/testresults.h"
#include "charts/chartfeed.h"
#include "charts/charts.h"
#include "charts/history.h"
#include "link/units.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "session/session.h"

#include <QString>

namespace kr5 {

class RecordedTestControl {
  public:
    struct Parts {
        OpenedTest& openedTest;
        Session& session;
        HistoryModel& history;  // the one the History window shows
        ChartFeed& chartFeed;
        Charts& charts;
        MainWindow& main;
        const UnitsOnLine& units;
        const TestResults& results;
        ResultsStoring& storing;
        Dialogs& dialogs;
        const Clock& clock;
    };
    explicit RecordedTestControl(const Parts& parts);

    // Opens a test the operator chooses, unless the session refuses (the operator is told
    // why). Returns before the operator has answered.
    void open();
    // Opens the recorded test at path (from the Results window), unless the session
    // refuses.
    void openPath(const QString& path);
    void judgeAgain();
    void close();
    // Asks where the report goes, then writes the report of the test shown.
    void writeReport();
    // Writes it to path: the reason when it could not be, else nothing. The results store
    // learns where the report of a closed or recorded test is.
    QString writeReportFile(const QString& path);

  private:
    // True, with the operator told why, when no recorded test may be opened now.
    bool refused();
    void showOpened(bool fromLive);
    void showFileHistory();
    void showState();
    void writeReportTo(const QString& path);

    Parts p_;
    HistoryModel liveHistory_;
};

}  // namespace kr5
