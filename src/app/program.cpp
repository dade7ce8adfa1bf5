#include "program.h"

#include "app/exitcodes.h"
#include "app/refusal.h"
#include "link/discovery.h"
#include "records/resultfile.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QStatusBar>

namespace kr5 {

namespace {

RecordControls* addRecordControls(MainWindow& main, const RecorderView& recorder) {
    auto* controls = new RecordControls(recorder, main.panelArea());
    main.panelArea()->layout()->addWidget(controls);
    return controls;
}

PanelWidget* addPanel(MainWindow& main, PanelModel& panel, ScreenPacer& pacer) {
    auto* widget = new PanelWidget(panel, pacer, main.panelArea());
    main.panelArea()->layout()->addWidget(widget);
    return widget;
}

}  // namespace

Program::Program(const Platform& platform, ProgramOptions options)
    : platform_(platform),
      startOptions_(options),
      panelWidget_(addPanel(main_, engineView_.panel(), screenPacer_)),
      recordControls_(addRecordControls(main_, engineView_.recorder())),
      loopWindows_({main_, charts_, *recordControls_, engineView_.discriminator(), units_}) {
    engineView_.attach(engine_);
    engine_.setWindows(loopWindows_, loopWindows_, commtest_);
    // First of all that follow the constants, so that the charts scale by the new ones.
    const auto followConstants = [this] {
        if (!openedTest_.isOpen()) {
            chartConstants_ = constants_;
        }
    };
    QObject::connect(&constantsForm_, &ConstantsForm::fieldsLoaded, &main_, followConstants);
    QObject::connect(&constantsForm_, &ConstantsForm::constantsChanged, &main_, followConstants);
    wireEngine();
    wireMenu();
    wirePanel();
    wireRecords();
    wireCharts();
    wireModes();
    wireTest();
    wireTestDetails();
    wireRecordedTests();
    wireResults();
    addListeners();
}

Program::~Program() = default;

void Program::addListeners() {
    // The windows' listeners, after the engine's panel, recorder and tally.
    engine_.addWindowListener(chartFeed_);
    engine_.addWindowListener(history_);
    engine_.addWindowListener(background_);
    engine_.addWindowListener(calibration_);
    engine_.addWindowListener(acceptance_);
    engine_.addWindowListener(unitStatus_);
    engine_.addWindowListener(remoteCommands_);
}

void Program::requestEnd() {
    endRequested_ = true;
    engineView_.post([](Engine& engine) { engine.requests().end = true; });
}

// The engine keeps copies of the constants and the operating settings: each change goes
// to it as a request.
void Program::wireEngine() {
    QObject::connect(&engineView_, &EngineView::searchEnded, &main_,
                     [this](const UnitSearch& search, const UnitsOnLine& found) {
                         settleSearch(search, found);
                     });
    QObject::connect(&constantsForm_, &ConstantsForm::fieldsLoaded, &main_,
                     [this] { sendConstants(); });
    QObject::connect(&constantsForm_, &ConstantsForm::constantsChanged, &main_,
                     [this] { sendConstants(); });
    QObject::connect(&options_.form(), &OptionsForm::settingsSet, &main_,
                     [this] { sendSettings(); });
    QObject::connect(&engineView_.panel(), &PanelModel::autoRangingChanged, &main_,
                     [this] { sendSettings(); });
    QObject::connect(&engineView_, &EngineView::fileClosed, &main_, [this](const FileTally& file) {
        if (const QString problem = results_.writeSummary(file); !problem.isEmpty()) {
            main_.showWarning(problem);
        }
        resultsStoring_.store(results_.summaryOf(file), engineView_.qn().qm().blockPasses(),
                              file.path);
    });
}

void Program::sendConstants() {
    engineView_.post([constants = constants_](Engine& engine) { engine.constants() = constants; });
}

void Program::sendSettings() {
    const bool newSpeed = std::exchange(optionRequests_.speedChange, false);
    engineView_.post([settings = settings_, newSpeed](Engine& engine) {
        engine.settings() = settings;
        engine.requests().speedChange = engine.requests().speedChange || newSpeed;
        engine.panel().autoRangingSet();
    });
}

void Program::wireMenu() {
    const MainMenu& menu = main_.menu();
    if (!startOptions_.helpFolders.isEmpty()) {
        main_.setHelpFolders(startOptions_.helpFolders);
    }
    QObject::connect(&main_, &MainWindow::endRequested, &main_, [this] { requestEnd(); });
    QObject::connect(menu.save, &QAction::triggered, &main_, [this] {
        if (!tellIfRefused(platform_.dialogs, QStringLiteral("A new measurement file"),
                           session_.mayPrepareFile())) {
            measurementFile_.prepareFile();
        }
    });
    QObject::connect(menu.inputConstants, &QAction::triggered, &main_,
                     [this] { showConstantsWindow(); });
    QObject::connect(menu.options, &QAction::triggered, &main_, [this] { options_.showOptions(); });
    QObject::connect(menu.trend, &QAction::triggered, &charts_, &Charts::toggleTrendWindow);
    QObject::connect(menu.vq, &QAction::triggered, &charts_, &Charts::toggleVqWindow);
    QObject::connect(menu.qn, &QAction::triggered, &charts_, &Charts::toggleQnWindow);
    // The menu's second click asks the measurement to end after its pass.
    QObject::connect(menu.qnMeasurement, &QAction::triggered, &main_, [this] {
        if (session_.qnRunning()) {
            session_.stopQn();
        } else {
            tellIfRefused(platform_.dialogs, QStringLiteral("A Q-N measurement"),
                          session_.startQn());
        }
    });
    QObject::connect(menu.discriminator, &QAction::triggered, &engineView_.discriminator(),
                     &Zn4Panel::menuClick);
    QObject::connect(&engineView_, &EngineView::cycleTimeChanged, &main_,
                     [this](const QString& text) { statusPrinter_.setCycleTime(text); });
    QObject::connect(&engineView_, &EngineView::cycleTimeChanged, &main_,
                     &MainWindow::showCycleTime);
    QObject::connect(&unitStatus_, &UnitStatus::changed, &main_, &MainWindow::showUnitStatus);
}

void Program::wirePanel() {
    PanelModel& panel = engineView_.panel();
    QObject::connect(&panel, &PanelModel::followedAttenuatorChanged, &charts_,
                     &Charts::recolourRateScale);
    QObject::connect(&panel, &PanelModel::autoRangingToggled, &main_,
                     [this] { options_.showAutoRanging(); });
    QObject::connect(&options_.form(), &OptionsForm::autoRangingSet, &panel,
                     &PanelModel::autoRangingSet);
    // The Options window's read-out follows every reading, shown or not.
    QObject::connect(&panel, &PanelModel::readoutsChanged, &main_,
                     [this] { options_.setTvReadout(engineView_.panel().readouts().testVoltage); });
    QObject::connect(panelWidget_, &PanelWidget::attenuatorClicked, &main_, [this](int range) {
        session_.selectRange(Session::Range::Attenuator, range);
    });
    QObject::connect(panelWidget_, &PanelWidget::rateClicked, &main_,
                     [this](int range) { session_.selectRange(Session::Range::Rate, range); });
    QObject::connect(panelWidget_, &PanelWidget::remoteClicked, &main_,
                     [this](bool on) { session_.setRemote(on); });
}

void Program::wireRecords() {
    QObject::connect(recordControls_, &RecordControls::recordOnClicked, &main_,
                     [this] { session_.recordOn(); });
    QObject::connect(recordControls_, &RecordControls::pauseClicked, &main_,
                     [this] { session_.pauseRecording(); });
    QObject::connect(recordControls_, &RecordControls::closeClicked, &main_,
                     [this] { session_.closeFile(); });
    QObject::connect(&session_, &Session::changed, &main_, [this] { followSession(); });
    QObject::connect(&session_, &Session::chartsClearingAsked, &charts_, &Charts::clearBoth);
    QObject::connect(&measurementFile_, &MeasurementFile::nameNeeded, &main_,
                     [this] { showConstantsWindow(); });
    QObject::connect(&measurementFile_, &MeasurementFile::captionChanged, &main_,
                     &MainWindow::setWindowTitle);
    // A file that cannot be written is reported without stopping anything: the rows wait
    // in memory and go out at the next write that succeeds.
    QObject::connect(&engineView_, &EngineView::writeProblem, &main_, &MainWindow::showWarning);
    // A script learns of it once a trouble, through every client's error queue.
    QObject::connect(&engineView_, &EngineView::writeProblemBegan, &main_,
                     [this](const QString& text) {
                         remoteServer_.tellEveryClient(scpierror::Execution, text.toUtf8());
                     });
    QObject::connect(&engineView_, &EngineView::writeRecovered, &main_,
                     [this] { main_.showWarning(QString()); });
    QObject::connect(&engineView_, &EngineView::fileReplaced, &main_,
                     [this](const QString& path, const QString& text) {
                         main_.setWindowTitle(QStringLiteral("KR-5(") + units_.portDigit() +
                                              QStringLiteral(")>") +
                                              QDir::toNativeSeparators(path));
                         main_.showWarning(text);
                     });
}

void Program::wireCharts() {
    const MainMenu& menu = main_.menu();
    QObject::connect(&charts_.wave(), &WaveWindow::shownChanged, menu.trend, &QAction::setChecked);
    QObject::connect(&charts_.vq(), &VqWindow::shownChanged, menu.vq, &QAction::setChecked);
    QObject::connect(&charts_.qn(), &QnWindow::shownChanged, menu.qn, &QAction::setChecked);
    menu.trend->setChecked(charts_.wave().isVisible());
    menu.vq->setChecked(charts_.vq().isVisible());
    menu.qn->setChecked(charts_.qn().isVisible());
    main_.addCompanion(&charts_.wave());
    main_.addCompanion(&charts_.vq(), [this] { return charts_.prepareVqRestore(); });

    // The charts' scales follow the constants and the TV multiplier.
    QObject::connect(&constantsForm_, &ConstantsForm::constantsChanged, &charts_,
                     &Charts::clearBoth);
    QObject::connect(&options_.form(), &OptionsForm::tvMultiplierSet, &charts_, &Charts::clearBoth);
    QObject::connect(&charts_.vq(), &VqWindow::saveRequested, &main_, [this] { saveResult(); });
    QObject::connect(&charts_, &Charts::vqErased, &main_, [this] { inception_.startNewTable(); });

    // Set Q against the background: again with every new level and new constants.
    QObject::connect(&background_, &BackgroundLevel::changed, &main_,
                     [this] { backgroundNotices_.levelChanged(); });
    QObject::connect(&background_, &BackgroundLevel::measurementRefused, &main_,
                     [this](const QString& why) { backgroundNotices_.refused(why); });
    QObject::connect(menu.measureBackground, &QAction::triggered, &main_, [this] {
        if (!tellIfRefused(platform_.dialogs, QStringLiteral("Measuring the background"),
                           session_.startBackground())) {
            backgroundNotices_.measuringStarted();
        }
    });
    QObject::connect(&constantsForm_, &ConstantsForm::constantsChanged, &main_,
                     [this] { backgroundNotices_.showNoiseWarning(); });
}

// The menu items and buttons whose use the session's state decides.
void Program::followSession() {
    const MainMenu& menu = main_.menu();
    const bool fileFree = !session_.filePrepared() && !session_.recordedTestOpen();
    menu.save->setEnabled(fileFree);
    constantsWindow_.setOkEnabled(fileFree);
    menu.judgeAgain->setEnabled(session_.recordedTestOpen());
    menu.closeRecorded->setEnabled(session_.recordedTestOpen());
}

void Program::wireModes() {
    QObject::connect(&engineView_, &EngineView::passQmReady, &main_, [this] {
        const QmTracker& qm = engineView_.qn().qm();
        charts_.qn().setCounts(qm.blockPasses(), constants_.adjust);
        charts_.qn().showQm(qm.lastPass(constants_.adjust).text(),
                            qm.block(constants_.adjust).text(), qm.passesInBlock());
        charts_.qn().showNqn(nqnText(qm.lastPassNqn(constants_.adjust)),
                             nqnText(qm.blockNqn(constants_.adjust)));
    });
    QObject::connect(&engineView_.discriminator(), &Zn4Panel::menuTickChanged,
                     main_.menu().discriminator, &QAction::setChecked);
    using Setting = Session::DiscriminatorSetting;
    Zn4Window* zn4 = &discriminatorWindow_;
    QObject::connect(zn4, &Zn4Window::channelAClicked, &main_,
                     [this](int step) { session_.setDiscriminator(Setting::ChannelA, step); });
    QObject::connect(zn4, &Zn4Window::channelBClicked, &main_,
                     [this](int step) { session_.setDiscriminator(Setting::ChannelB, step); });
    QObject::connect(zn4, &Zn4Window::functionClicked, &main_, [this](int function) {
        session_.setDiscriminator(Setting::Function, function);
    });
    QObject::connect(zn4, &Zn4Window::remoteClicked, &main_,
                     [this](bool on) { session_.setDiscriminatorRemote(on); });
    main_.addCompanion(&discriminatorWindow_, [this] { return units_.discriminatorPresent(); });
}

void Program::wireTest() {
    const MainMenu& menu = main_.menu();
    QObject::connect(menu.calibrate, &QAction::triggered, &main_,
                     [this] { showWindow(calibrateWindow_); });
    calibrateWindow_.setAcceptIntent([this] { return session_.acceptCalibration().why; });
    QObject::connect(&calibration_, &Calibration::accepted, &main_,
                     [this](const CalibrationRecord& record) {
                         testMemory_.setCalibration(units_.portDigit(), record);
                     });
    wireAcceptance();
}

void Program::wireAcceptance() {
    auto* verdict = new VerdictLabel(acceptance_, main_.panelArea());
    main_.panelArea()->layout()->addWidget(verdict);
    QObject::connect(main_.menu().acceptance, &QAction::triggered, &main_, [this] {
        acceptanceForm_.load();
        showWindow(acceptanceWindow_);
    });
    QObject::connect(&background_, &BackgroundLevel::changed, &acceptance_,
                     [this] { acceptance_.setBackground(background_.level()); });
    QObject::connect(&acceptance_, &AcceptanceTest::backgroundThresholdChanged, &main_,
                     [this](double kv) { background_.setThresholdVolts(kv * 1000.0); });
    QObject::connect(&acceptanceForm_, &AcceptanceForm::accepted, &main_, [this] {
        testMemory_.setAcceptance(units_.portDigit(), acceptance_.limits());
        testMemory_.setBackgroundThresholdKv(units_.portDigit(),
                                             acceptance_.backgroundThresholdKv());
    });
    QObject::connect(&acceptance_, &AcceptanceTest::changed, &main_,
                     [this] { panelWidget_->setChargeAlarm(acceptance_.chargeAboveLimit()); });
    QObject::connect(&acceptance_, &AcceptanceTest::holdReset, &main_,
                     [this](const QString& message) { main_.statusBar()->showMessage(message); });
}

// The port's acceptance test, background threshold, calibration and test details from the last
// run.
void Program::recallTestSetup() {
    const QString port = units_.portDigit();
    if (const auto kv = testMemory_.backgroundThresholdKv(port)) {
        acceptance_.setBackgroundThresholdKv(*kv);
        background_.setThresholdVolts(*kv * 1000.0);
    }
    acceptance_.setLimits(testMemory_.acceptance(port));
    if (const auto record = testMemory_.calibration(port)) {
        calibration_.setRecord(*record);
    }
    testDetails_ = testMemory_.testDetails(port);
}

void Program::showWindow(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

void Program::showConstantsWindow() {
    showWindow(constantsWindow_);
}

void Program::saveResult() {
    kr5::saveResult(constants_, inception_, platform_.dialogs, [this](ResultSave how) {
        if (how == ResultSave::Unnamed) {
            showConstantsWindow();
        }
    });
}

void Program::applyStartSettings() {
    if (startOptions_.sampleMs >= 0) {
        settings_.sampleMs = startOptions_.sampleMs;
    }
    if (startOptions_.speedIndex >= 0 && startOptions_.speedIndex <= 2) {
        settings_.speedIndex = startOptions_.speedIndex;
        optionRequests_.speedChange = startOptions_.speedIndex != 0;
    }
}

void Program::takePort() {
    const QString digit = units_.portDigit();
    main_.setPortCaption(digit);
    charts_.setPortDigit(digit);
    constantsForm_.setPortDigit(digit);
}

std::vector<QWidget*> Program::companionWindows() {
    // The most important first: where the screen is small, the ZN-4 panel is the one that
    // covers another. The Q-N window, History and help are placed when first shown.
    std::vector<QWidget*> windows{&charts_.wave(), &charts_.vq()};
    if (units_.discriminatorPresent()) {
        windows.push_back(&discriminatorWindow_);
    }
    return windows;
}

void Program::placeLater(QWidget& window) {
    std::vector<const QWidget*> shown{&charts_.wave(), &charts_.vq(),   &discriminatorWindow_,
                                      &charts_.qn(),   &historyWindow_, &resultsWindow_};
    if (const QWidget* help = main_.helpWindow()) {
        shown.push_back(help);
    }
    kr5::placeLater(windowMemory_, units_.portDigit(), main_, window, shown, availableScreens());
}

void Program::rememberWindowPlaces() {
    for (const QWidget* window : windowsKeptOpen()) {
        windowMemory_.rememberShown(units_.portDigit(), window->objectName(), window->isVisible());
    }
    std::vector<QWidget*> windows{
        &main_,        &charts_.wave(), &charts_.vq(),  &discriminatorWindow_,
        &charts_.qn(), &historyWindow_, &resultsWindow_};
    if (QWidget* help = main_.helpWindow()) {
        windows.push_back(help);
    }
    kr5::rememberWindows(windowMemory_, units_.portDigit(), windows);
}

int Program::run() {
    // A log that cannot be written is found out before anything is started, not after
    // the run it was meant to record.
    if (!startOptions_.frameLogPath.isEmpty()) {
        if (!engine_.frameLog().open(startOptions_.frameLogPath)) {
            QTextStream(stderr) << QCoreApplication::applicationName()
                                << ": cannot write the frame log " << startOptions_.frameLogPath
                                << ": " << engine_.frameLog().errorString() << Qt::endl;
            return kExitBadOption;
        }
        engine_.link().setFrameListener(&engine_.frameLog());
    }
    loopCalibration_.start(platform_.clock,
                           [this](qint32 clockReads) { about_.setClockCalibration(clockReads); });
    fillColourTable(colours_);

    // A remote control that cannot listen where it was asked to ends the program before
    // it opens a port: a sequencer waiting for it must not find a program without it.
    if (const int failed = startRemoteControl(); failed != kExitDone) {
        return failed;
    }
    // The engine finds the units first (settleSearch, then goLive, once it has), then
    // measures. However the program ends (Exit, the window closed, SIGINT, SIGTERM), a Q-N
    // measurement under way ends and the measurement file is closed, each with its
    // markers, before the engine returns.
    platform_.runner.run([this] { engine_.run(); });
    remoteServer_.close();
    engine_.frameLog().close();
    if (session_.phase() == Session::Phase::FindingUnits) {
        return exitCode_;
    }
    rememberWindowPlaces();
    if (statusTimer_ != 0) {
        platform_.clock.stopTimer(statusTimer_);
        statusPrinter_.printSummary();
    }
    return kExitDone;
}

// What the operator is told or asked after the unit search decides whether the program
// measures at all.
void Program::settleSearch(const UnitSearch& search, const UnitsOnLine& found) {
    kr5::settleSearch(search, platform_.dialogs, [this, found](const UnitSearch& settled) {
        if (endRequested_) {
            return;  // the program is ending already
        }
        if (!settled.found()) {
            exitCode_ = exitCodeFor(settled);
            requestEnd();
            return;
        }
        units_ = found;
        goLive();
    });
}

void Program::goLive() {
    about_.setUnitIds(units_.unit(UnitKind::Detector).ident, units_.unit(UnitKind::AcUnit).ident,
                      units_.unit(UnitKind::NoiseDiscriminator).ident);
    takePort();
    recallTestSetup();
    const std::vector<QRect> screens = availableScreens();
    placeMainWindow(windowMemory_, units_.portDigit(), main_, screens);
    main_.show();
    placeCompanions(windowMemory_, units_.portDigit(), main_, companionWindows(), screens);
    // The windows shown on request, and the setup windows, which would otherwise open
    // centred over the main window, in front of the panel.
    for (QWidget* later :
         std::initializer_list<QWidget*>{&charts_.qn(), &historyWindow_, &constantsWindow_,
                                         &calibrateWindow_, &acceptanceWindow_, &testDetailsWindow_,
                                         &resultsWindow_, &about_, &charts_.colorWindow()}) {
        laterWindows_.watch(*later);
    }
    main_.setHelpPlacer([this](QWidget& window) { placeLater(window); });
    options_.setPlacer([this](QWidget& window) { placeLater(window); });
    for (QWidget* window : windowsKeptOpen()) {
        if (windowMemory_.wasShown(units_.portDigit(), window->objectName())) {
            window->show();
        }
    }
    const QString settingsIgnored = constantsForm_.loadSettings();
    if (!settingsIgnored.isEmpty()) {
        platform_.dialogs.notify(settingsIgnored);
    }
    panelWidget_->initMeters();
    applyStartSettings();
    if (startOptions_.status) {
        statusPrinter_.printHeader();
        statusTimer_ = platform_.clock.startTimer(1000, [this] { statusPrinter_.printLine(); });
    }
    showRemoteClients();
    session_.goLive();
    engineView_.post(
        [constants = constants_, settings = settings_,
         speedChange = std::exchange(optionRequests_.speedChange, false)](Engine& engine) {
            engine.constants() = constants;
            engine.settings() = settings;
            engine.requests().speedChange = speedChange;
            engine.start();
        });
}

}  // namespace kr5
