// The lines of --status on standard output, for a machine without a display: a header
// naming the port and the units found, then one line a second from the panel's model
// (statusline.h), and the units' reply summary when the program ends.
#pragma once

#include "app/loopwindows.h"
#include "link/units.h"
#include "measure/panelmodel.h"
#include "measure/unitstatus.h"
#include "modes/acceptance.h"
#include "records/recorderview.h"

#include <QString>
#include <QTextStream>

namespace kr5 {

class StatusPrinter {
  public:
    struct Parts {
        const UnitsOnLine& units;
        const PanelModel& panel;
        const ProgramWindows& loopWindows;  // whether the port is gone
        const UnitStatus& unitStatus;
        const AcceptanceTest& acceptance;
        const RecorderView& recorder;  // lines waiting for the measurement file
    };
    explicit StatusPrinter(const Parts& parts);

    // The cycle time as the main window shows it; the next line carries it.
    void setCycleTime(const QString& text);
    // How many tests wait for the results store; the next line says so while any wait.
    void setResultsWaiting(int waiting) { resultsWaiting_ = waiting; }

    // "KR-5AU(1) " and the identities of the detector, the AC unit and the ZN-4.
    void printHeader();
    void printLine();
    void printSummary();

  private:
    Parts p_;
    QString cycleTime_;
    int resultsWaiting_ = 0;
    QTextStream out_;
};

}  // namespace kr5
