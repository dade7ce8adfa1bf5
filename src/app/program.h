// The composition root: builds the program's state, its parts and windows on the
// platform it is given, wires them together (the one place where that happens), runs the
// start-up sequence and then the acquisition loop until the operator ends the program.
#pragma once

#include "about/aboutwindow.h"
#include "app/backgroundnotices.h"
#include "app/commtestwindow.h"
#include "app/firstshow.h"
#include "app/historymarkers.h"
#include "app/loopwindows.h"
#include "app/mainwindow.h"
#include "app/openedtest.h"
#include "app/recordedtestcontrol.h"
#include "app/resultsstoring.h"
#include "app/statusprinter.h"
#include "app/testmemory.h"
#include "app/testresults.h"
#include "app/windowmemory.h"
#include "charts/chartfeed.h"
#include "charts/charts.h"
#include "charts/colours.h"
#include "charts/history.h"
#include "charts/historywindow.h"
#include "core/inputconstants.h"
#include "core/loopcalibration.h"
#include "core/operatingsettings.h"
#include "core/testdetails.h"
#include "core/timing.h"
#include "link/framelog.h"
#include "link/link.h"
#include "link/units.h"
#include "measure/acquisition.h"
#include "measure/background.h"
#include "measure/evaluation.h"
#include "measure/inception.h"
#include "measure/panelmodel.h"
#include "measure/panelwidget.h"
#include "measure/requests.h"
#include "measure/unitstatus.h"
#include "modes/acceptance.h"
#include "modes/acceptancewindow.h"
#include "modes/calibratewindow.h"
#include "modes/calibration.h"
#include "modes/qnsequence.h"
#include "modes/remoteserver.h"
#include "modes/summary.h"
#include "modes/zn4panel.h"
#include "modes/zn4window.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/looprunner.h"
#include "platform/mailbox.h"
#include "platform/serialport.h"
#include "platform/waiter.h"
#include "records/constantsform.h"
#include "records/constantswindow.h"
#include "records/measurementfile.h"
#include "records/options.h"
#include "records/recordcontrols.h"
#include "records/recorder.h"
#include "records/settingsfile.h"
#include "records/testdetailswindow.h"
#include "results/resultswindow.h"
#include "session/engine.h"
#include "session/engineview.h"
#include "session/remotecommands.h"
#include "session/session.h"

#include <QCoreApplication>
#include <QTextStream>
#include <array>

namespace kr5 {

// The platform the program runs on: the Qt implementations in the real program, virtual
// time, the simulated bench and fakes in the whole-program tests.
struct Platform {
    Clock& clock;
    Waiter& waiter;
    SerialPort& port;
    Dialogs& dialogs;
    Launcher& launcher;
    Clipboard& clipboard;
    Files& files;
    // The way to the measurement engine's thread and back, and how its loop is run.
    Mailbox& toEngine;
    Mailbox& toWindows;
    LoopRunner& runner;
};

struct ProgramOptions {
    // Print one status line a second to standard output (for a machine without a
    // display).
    bool status = false;
    // Operating settings to start with instead of the defaults (for demonstrations and
    // the benchmarks); -1 keeps the default.
    int sampleMs = -1;    // 0, 100, 200 or 500
    int speedIndex = -1;  // 0 9600, 1 19200, 2 38400 baud: changed in the first cycle
    // Where the windows' places are remembered between runs; empty: the user's
    // configuration folder (kr5au/kr5au.conf). The tests give a file of their own.
    QString windowMemoryPath;
    // Every frame and reply on the line is written here (--log-frames); none when empty.
    QString frameLogPath;
    // --listen [ADDRESS:]PORT, checked; empty: the configuration's remote/listen, if any.
    QString listen;
    // Where Help(&H) looks for its page, in order; empty: the folder of the executable.
    QStringList helpFolders;
    // Where the results store (unless kr5au.conf names a server) and its queue lie; empty:
    // the user's data folder. The tests give a folder of their own.
    QString resultsFolder;
};

class Program {
  public:
    Program(const Platform& platform, ProgramOptions options);
    ~Program();

    // Runs the start-up sequence and the acquisition loop. Returns the exit code.
    int run();

    // Asks the acquisition loop to end the program (Exit, SIGINT, SIGTERM, SIGHUP).
    void requestEnd();

    MainWindow& mainWindow() { return main_; }
    // What the panel shows and which units were found, for the tests.
    const PanelModel& panel() { return engineView_.panel(); }
    const UnitsOnLine& units() const { return units_; }
    bool qnRunning() { return engineView_.qn().passesRunning(); }
    // What the operator may do now, for the tests.
    Session& session() { return session_; }
    // The remote control's commands, for the tests that run them without a socket.
    RemoteCommands& remoteCommands() { return remoteCommands_; }
    const RemoteServer& remoteServer() const { return remoteServer_; }
    // One more of the windows' listeners, for the tests; added before run().
    void addWindowListener(ReadingListener& listener) { engine_.addWindowListener(listener); }

  private:
    void wireMenu();
    void wirePanel();
    void wireRecords();
    void wireCharts();
    void followSession();
    void wireTest();
    void wireAcceptance();
    void wireTestDetails();
    void wireResults();
    void recallTestSetup();
    static void showWindow(QWidget& window);
    void wireEngine();
    void sendConstants();
    void sendSettings();
    void wireRecordedTests();
    void wireHistory();
    void wireModes();
    int startRemoteControl();
    void showRemoteClients();
    void addListeners();
    void showConstantsWindow();
    void saveResult();
    void applyStartSettings();
    void settleSearch(const UnitSearch& search, const UnitsOnLine& found);
    // The rest of the start-up once the units were found: the windows show, and the engine
    // starts measuring.
    void goLive();
    void takePort();
    std::vector<QWidget*> companionWindows();
    // Puts a window shown on request beside the main window, around those shown now.
    void placeLater(QWidget& window);
    void rememberWindowPlaces();
    // The windows an operator keeps open for a whole session: open again at the next start
    // when they were open at the end.
    std::array<QWidget*, 2> windowsKeptOpen() { return {&historyWindow_, &resultsWindow_}; }

    const Platform platform_;
    ProgramOptions startOptions_;

    // The state, each piece with its owner.
    UnitsOnLine units_;
    InputConstants constants_;
    // What the charts scale by: the constants in force, or an opened test's while it is
    // shown (the live readings keep being evaluated with constants_).
    InputConstants chartConstants_;
    OperatingSettings settings_;
    // What the report names besides the measurement, as the Test details window took it.
    TestDetails testDetails_;

    // The measurement: the line, the cycle, the evaluation, the ranging, the Q-N passes and
    // the recorder, on its own thread; the windows see it through its view.
    EngineView engineView_{platform_.toEngine, settings_};
    Engine engine_{{platform_.clock, platform_.waiter, platform_.port, platform_.files,
                    platform_.toWindows, engineView_}};
    // What the Options window asks of the line (a new speed), sent to the engine with the
    // settings.
    Requests optionRequests_;
    // Before every window it paces.
    ScreenPacer screenPacer_{platform_.clock};

    AboutWindow about_{platform_.dialogs, platform_.launcher};
    // After the About box, whose figure it sets: it ends first.
    LoopCalibration loopCalibration_;
    CommTestWindow commtest_;
    MainWindow main_{platform_.dialogs, platform_.launcher, about_};

    PanelWidget* panelWidget_ = nullptr;  // owned by the main window

    SettingsFile settingsFile_;
    ConstantsForm constantsForm_{constants_, settingsFile_};
    MeasurementFile measurementFile_{constants_,      units_,          platform_.dialogs,
                                     platform_.clock, platform_.files, engineView_.recorder()};
    ConstantsWindow constantsWindow_{constantsForm_, &main_};
    Options options_{settings_, optionRequests_, &main_};
    RecordControls* recordControls_ = nullptr;  // owned by the main window

    ColourTable colours_;
    Charts charts_{chartConstants_, settings_, colours_, platform_.clipboard, platform_.dialogs};
    InceptionDetector inception_{constants_, platform_.clock};
    BackgroundLevel background_{constants_, platform_.clock};
    BackgroundNotices backgroundNotices_{{background_, constants_, charts_.vq(), main_}};
    ChartFeed chartFeed_{inception_, charts_, screenPacer_};
    Calibration calibration_{platform_.clock, constantsForm_};
    CalibrateWindow calibrateWindow_{calibration_, &main_};
    AcceptanceTest acceptance_{platform_.clock};
    AcceptanceForm acceptanceForm_{acceptance_};
    AcceptanceWindow acceptanceWindow_{acceptanceForm_, acceptance_, &main_};
    TestDetailsWindow testDetailsWindow_{&main_};
    TestMemory testMemory_{startOptions_.windowMemoryPath};
    HistoryModel history_{platform_.clock};
    HistoryWindow historyWindow_{history_, platform_.clock};
    HistoryMarkers historyMarkers_{history_, engineView_.recorder()};
    OpenedTest openedTest_{{chartConstants_, charts_, platform_.dialogs, platform_.clock, &main_,
                            [this] { return session_.mayOpenRecordedTest().why; }}};
    TestResults results_{{constants_, testDetails_, units_, history_, inception_, background_,
                          calibration_, acceptance_, engineView_, openedTest_, charts_,
                          platform_.files, platform_.dialogs, platform_.clock}};

    Zn4Window discriminatorWindow_{engineView_.discriminator()};
    WindowMemory windowMemory_{startOptions_.windowMemoryPath};
    FirstShowPlacer laterWindows_{[this](QWidget& window) { placeLater(window); }};
    UnitStatus unitStatus_;

    ProgramWindows loopWindows_;
    StatusPrinter statusPrinter_{{units_, engineView_.panel(), loopWindows_, unitStatus_,
                                  acceptance_, engineView_.recorder()}};
    ResultsStoring resultsStoring_{{platform_.clock, main_, statusPrinter_,
                                    startOptions_.windowMemoryPath, startOptions_.resultsFolder}};
    ResultsWindow resultsWindow_{[this](const TestFilter& filter, ResultsService::Listed listed) {
                                     resultsStoring_.service().list(filter, &resultsWindow_,
                                                                    std::move(listed));
                                 },
                                 platform_.dialogs, &main_};

    // Decides what the windows and the remote control may ask.
    Session session_{{units_, engineView_, measurementFile_, constantsForm_, calibration_,
                      background_, acceptanceForm_, testDetails_}};
    RemoteCommands remoteCommands_{
        {units_, settings_, session_, engineView_.panel(), options_.form(), constantsForm_,
         engineView_.recorder(), engineView_.qn(), engineView_.discriminator(), inception_,
         background_, acceptance_, calibration_, platform_.clock,
         QCoreApplication::applicationVersion(),
         [this](const QString& path) { return recordedTests_.writeReportFile(path); },
         [this] { return resultsStoring_.service().facts(); }}};
    RemoteServer remoteServer_;
    RecordedTestControl recordedTests_{{openedTest_, session_, history_, chartFeed_, charts_, main_,
                                        units_, results_, resultsStoring_, platform_.dialogs,
                                        platform_.clock}};
    int statusTimer_ = 0;
    bool endRequested_ = false;
    int exitCode_ = 0;
};

}  // namespace kr5
