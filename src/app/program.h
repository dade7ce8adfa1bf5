// The composition root: builds the state, the platform implementations, the windows and
// the acquisition loop, hands each what it needs, runs the start-up sequence and then the
// loop until the operator ends the program.
#pragma once

#include "about/aboutwindow.h"
#include "app/commtestwindow.h"
#include "app/globals.h"
#include "app/loopwindows.h"
#include "app/mainwindow.h"
#include "app/timing.h"
#include "charts/charts.h"
#include "charts/colours.h"
#include "link/link.h"
#include "measure/acquisition.h"
#include "measure/evaluation.h"
#include "measure/frontpanel.h"
#include "measure/panelwidget.h"
#include "measure/reading.h"
#include "modes/qnsequence.h"
#include "modes/zn4panel.h"
#include "modes/zn4window.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/eventpump.h"
#include "platform/launcher.h"
#include "platform/serialport.h"
#include "records/inputconstants.h"
#include "records/kouseiwindow.h"
#include "records/measurementfile.h"
#include "records/options.h"
#include "records/recordcontrols.h"
#include "records/recorder.h"
#include "records/settingsfile.h"

#include <QTextStream>
#include <memory>

namespace kr5 {

// The platform the program runs on: the Qt implementations in the real program, virtual
// time, the simulated bench and fakes in the whole-program tests.
struct Platform {
    Clock& clock;
    EventPump& pump;
    SerialPort& port;
    Dialogs& dialogs;
    Launcher& launcher;
    Clipboard& clipboard;
};

struct ProgramOptions {
    // Print one status line a second to standard output (for a machine without a
    // display).
    bool status = false;
    // Operating settings to start with instead of the defaults (for demonstrations and
    // the benchmarks); -1 keeps the default.
    int sampleMs = -1;    // 0, 100, 200 or 500
    int speedIndex = -1;  // 0 9600, 1 19200, 2 38400 baud: changed in the first cycle
};

class Program {
  public:
    Program(const Platform& platform, ProgramOptions options);
    ~Program();

    // Runs the start-up sequence and the acquisition loop. Returns the exit code.
    int run();

    // Asks the acquisition loop to end the program (Exit, SIGINT, SIGTERM).
    void requestEnd() { g_.endreq = true; }

    MainWindow& mainWindow() { return main_; }
    const Globals& globals() const { return g_; }

  private:
    void wireWindows();
    void wirePanel();
    void wireRecords();
    void wireCharts();
    void wireModes();
    void printStatus();
    void showKousei();
    void applyStartSettings();

    ProgramOptions startOptions_;
    Globals g_;
    Clock& clock_;
    EventPump& pump_;
    SerialPort& port_;
    Dialogs& dialogs_;
    Launcher& launcher_;
    Clipboard& clipboard_;
    Timing timing_{g_, clock_, pump_};
    Link link_{g_, port_, clock_, pump_, timing_};

    AboutWindow about_{dialogs_, launcher_};
    CommTestWindow commtest_;
    MainWindow main_{dialogs_, launcher_, about_};
    PanelWidget* panelWidget_ = nullptr;  // owned by the main window

    SettingsFile settings_;
    InputConstants constants_{g_, settings_};
    Recorder recorder_{g_, timing_, clock_};
    MeasurementFile csave_{g_, dialogs_, clock_, constants_, recorder_};
    KouseiWindow kousei_{constants_, &main_};
    Options optionsWindow_{g_, &main_};
    RecordControls* frec_ = nullptr;  // owned by the main window

    ColourTable colours_;
    Charts charts_{g_, colours_, clock_, dialogs_, clipboard_};

    Zn4Window zn4Window_;
    Zn4Panel zn4_{g_, zn4Window_};

    Requests requests_;
    std::unique_ptr<ProgramWindows> loopWindows_;
    std::unique_ptr<FrontPanel> panel_;
    std::unique_ptr<Evaluation> evaluation_;
    std::unique_ptr<Reading> reading_;
    std::unique_ptr<Acquisition> acquisition_;
    std::unique_ptr<QnSequence> qn_;
    QTextStream out_;
};

}  // namespace kr5
