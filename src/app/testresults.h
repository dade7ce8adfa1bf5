// The test's results as files: the summary written beside the measurement file when it is
// closed, and the PDF report of the live test or of the recorded test shown, each from the
// figures their owners keep.
#pragma once

#include "app/openedtest.h"
#include "charts/charts.h"
#include "charts/history.h"
#include "core/inputconstants.h"
#include "core/testdetails.h"
#include "link/units.h"
#include "measure/background.h"
#include "measure/inception.h"
#include "modes/acceptance.h"
#include "modes/calibration.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "session/engineview.h"

#include <QJsonObject>
#include <QString>

namespace kr5 {

class TestResults {
  public:
    struct Parts {
        const InputConstants& constants;
        const TestDetails& details;
        const UnitsOnLine& units;
        const HistoryModel& history;  // the live test's, for its voltage over time
        const InceptionDetector& inception;
        const BackgroundLevel& background;
        const Calibration& calibration;
        const AcceptanceTest& acceptance;
        EngineView& engine;
        const OpenedTest& openedTest;
        Charts& charts;
        Files& files;
        Dialogs& dialogs;
        Clock& clock;
    };
    explicit TestResults(const Parts& parts) : p_(parts) {}

    // The summary of the measurement file the engine tallied, as it stands now.
    QJsonObject summaryOf(const FileTally& file) const;
    // Writes it beside the file; what the operator is to be told when that failed, else
    // nothing.
    QString writeSummary(const FileTally& file) const;
    // The report of the recorded test shown, of the file just closed, or of the live test,
    // to path; the reason when it could not be written, else nothing.
    QString writeReport(const QString& path) const;
    // The measurement file the report is of: the recorded test shown or the file just
    // closed; empty for the live test.
    QString reportedMeasurement() const;

  private:
    Parts p_;
};

}  // namespace kr5
