#include "program.h"

#include "app/exitcodes.h"
#include "app/statusline.h"
#include "link/discovery.h"
#include "records/resultfile.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLayout>
#include <QStatusBar>

namespace kr5 {

namespace {

RecordControls* addRecordControls(MainWindow& main, Recorder& recorder) {
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
      panelWidget_(addPanel(main_, engine_.panel(), screenPacer_)),
      recordControls_(addRecordControls(main_, engine_.recorder())),
      loopWindows_({main_, charts_, *recordControls_, engine_.discriminator(), units_}),
      out_(stdout) {
    engine_.setWindows(loopWindows_, loopWindows_);
    // First of all that follow the constants, so that the charts scale by the new ones.
    const auto followConstants = [this] {
        if (!openedTest_.isOpen()) {
            chartConstants_ = constants_;
        }
    };
    QObject::connect(&constantsForm_, &ConstantsForm::fieldsLoaded, &main_, followConstants);
    QObject::connect(&constantsForm_, &ConstantsForm::constantsChanged, &main_, followConstants);
    wireMenu();
    wirePanel();
    wireRecords();
    wireCharts();
    wireModes();
    wireTest();
    wireRecordedTests();
    addListeners();
}

Program::~Program() = default;

void Program::addListeners() {
    // The order matters where two listeners meet: the panel moves the trend's rate scale
    // before the reading is drawn, and a data row is written before the marker of a Q-N
    // block the same step completes.
    engine_.addListener(engine_.panel());
    engine_.addListener(engine_.recorder());
    engine_.addListener(engine_.recordingTally());
    engine_.addListener(chartFeed_);
    engine_.addListener(history_);
    engine_.addListener(background_);
    engine_.addListener(calibration_);
    engine_.addListener(acceptance_);
    engine_.addListener(engine_.qn());
    engine_.addListener(engine_.discriminator());
    engine_.addListener(unitStatus_);
    engine_.addListener(remoteCommands_);
}

void Program::wireMenu() {
    const MainMenu& menu = main_.menu();
    if (!startOptions_.helpFolders.isEmpty()) {
        main_.setHelpFolders(startOptions_.helpFolders);
    }
    QObject::connect(&main_, &MainWindow::endRequested, &main_, [this] { requestEnd(); });
    QObject::connect(menu.save, &QAction::triggered, &main_, [this] {
        if (!refused(QStringLiteral("A new measurement file"), session_.mayPrepareFile())) {
            measurementFile_.prepareFile();
        }
    });
    QObject::connect(menu.inputConstants, &QAction::triggered, &main_,
                     [this] { showConstantsWindow(); });
    QObject::connect(menu.options, &QAction::triggered, &main_, [this] { options_.showOptions(); });
    QObject::connect(menu.trend, &QAction::triggered, &charts_, &Charts::toggleTrendWindow);
    QObject::connect(menu.vq, &QAction::triggered, &charts_, &Charts::toggleVqWindow);
    // The menu's second click asks the measurement to end after its pass.
    QObject::connect(menu.qnMeasurement, &QAction::triggered, &main_, [this] {
        if (session_.qnRunning()) {
            session_.stopQn();
        } else {
            refused(QStringLiteral("A Q-N measurement"), session_.startQn());
        }
    });
    QObject::connect(menu.discriminator, &QAction::triggered, &engine_.discriminator(),
                     &Zn4Panel::menuClick);
    QObject::connect(&engine_.timing(), &Timing::cycleTimeChanged, &main_,
                     [this](const QString& text) {
                         cycleTime_ = text;
                         main_.showCycleTime(text);
                     });
    QObject::connect(&unitStatus_, &UnitStatus::changed, &main_, &MainWindow::showUnitStatus);
}

void Program::wirePanel() {
    QObject::connect(&engine_.panel(), &PanelModel::followedAttenuatorChanged, &charts_,
                     &Charts::recolourRateScale);
    QObject::connect(&engine_.panel(), &PanelModel::autoRangingToggled, &main_,
                     [this] { options_.showAutoRanging(); });
    QObject::connect(&options_.form(), &OptionsForm::autoRangingSet, &engine_.panel(),
                     &PanelModel::autoRangingSet);
    // The Options window's read-out follows every reading, shown or not.
    QObject::connect(&engine_.panel(), &PanelModel::readoutsChanged, &main_,
                     [this] { options_.setTvReadout(engine_.panel().readouts().testVoltage); });
}

void Program::wireRecords() {
    const MainMenu& menu = main_.menu();
    QObject::connect(recordControls_, &RecordControls::recordOnClicked, &main_,
                     [this] { session_.recordOn(); });
    QObject::connect(recordControls_, &RecordControls::pauseClicked, &main_,
                     [this] { session_.pauseRecording(); });
    QObject::connect(recordControls_, &RecordControls::closeClicked, &main_,
                     [this] { session_.closeFile(); });
    QObject::connect(&session_, &Session::changed, &main_, [this] { followSession(); });
    QObject::connect(&session_, &Session::chartsClearingAsked, &charts_, &Charts::clearBoth);
    QObject::connect(&engine_.recorder(), &Recorder::preparedChanged, &main_,
                     [this, menu](bool prepared) {
                         if (prepared) {
                             engine_.recordingTally().fileOpened(platform_.clock.localTime());
                         } else {
                             writeSummaryNow();
                         }
                     });
    QObject::connect(&measurementFile_, &MeasurementFile::nameNeeded, &main_,
                     [this] { showConstantsWindow(); });
    QObject::connect(&measurementFile_, &MeasurementFile::captionChanged, &main_,
                     &MainWindow::setWindowTitle);
    // A file that cannot be written is reported without stopping anything: the rows wait
    // in memory and go out at the next write that succeeds.
    QObject::connect(&engine_.recorder(), &Recorder::writeProblem, &main_,
                     &MainWindow::showWarning);
    QObject::connect(&engine_.recorder(), &Recorder::writeRecovered, &main_,
                     [this] { main_.showWarning(QString()); });
}

void Program::wireCharts() {
    const MainMenu& menu = main_.menu();
    QObject::connect(&charts_.wave(), &WaveWindow::shownChanged, menu.trend, &QAction::setChecked);
    QObject::connect(&charts_.vq(), &VqWindow::shownChanged, menu.vq, &QAction::setChecked);
    menu.trend->setChecked(charts_.wave().isVisible());
    menu.vq->setChecked(charts_.vq().isVisible());
    main_.addCompanion(&charts_.wave());
    main_.addCompanion(&charts_.vq(), [this] { return charts_.prepareVqRestore(); });

    // The charts' scales follow the constants and the TV multiplier.
    QObject::connect(&constantsForm_, &ConstantsForm::constantsChanged, &charts_,
                     &Charts::clearBoth);
    QObject::connect(&options_.form(), &OptionsForm::tvMultiplierSet, &charts_, &Charts::clearBoth);
    QObject::connect(&charts_.vq(), &VqWindow::saveRequested, &main_, [this] { saveResult(); });

    // Set Q against the background: again with every new level and new constants.
    QObject::connect(&background_, &BackgroundLevel::changed, &main_, [this] {
        showNoiseWarning();
        if (measuringBackground_ && !background_.measuring()) {
            measuringBackground_ = false;
            main_.statusBar()->showMessage(QStringLiteral("Background: %1 pC")
                                               .arg(background_.level().value_or(0.0), 0, 'f', 2));
        }
    });
    QObject::connect(menu.measureBackground, &QAction::triggered, &main_, [this] {
        if (refused(QStringLiteral("Measuring the background"), session_.startBackground())) {
            return;
        }
        measuringBackground_ = true;
        main_.statusBar()->showMessage(
            QStringLiteral("Measuring the background for %1 s, at any test voltage")
                .arg(BackgroundLevel::kWindowMs / 1000));
    });
    QObject::connect(&constantsForm_, &ConstantsForm::constantsChanged, &main_,
                     [this] { showNoiseWarning(); });
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

void Program::showNoiseWarning() {
    if (!background_.setQWithinNoise()) {
        charts_.vq().setNoiseWarning(QString());
        return;
    }
    charts_.vq().setNoiseWarning(
        QStringLiteral("Set Q %1 pC is not above twice the background of %2 pC: CSV and CEV "
                       "would be noise. Raise Set Q in Input const.")
            .arg(constants_.setQ)
            .arg(*background_.level(), 0, 'f', 2));
}

void Program::wireModes() {
    QObject::connect(&engine_.qn(), &QnSequence::passQmReady, &main_, [this] {
        const QmTracker& qm = engine_.qn().qm();
        charts_.qn().setCounts(qm.blockPasses(), constants_.adjust);
        charts_.qn().showQm(qm.lastPass(constants_.adjust).text(),
                            qm.block(constants_.adjust).text(), qm.passesInBlock());
    });
    QObject::connect(&engine_.qn(), &QnSequence::startMarkerDue, &engine_.recorder(), [this] {
        engine_.recorder().appendQnStart(
            settings_.qnCondition, engine_.panel().readouts().testVoltage, settings_.qnPasses);
    });
    QObject::connect(&engine_.qn(), &QnSequence::endMarkerDue, &engine_.recorder(),
                     &Recorder::appendQnEnd);
    QObject::connect(&engine_.discriminator(), &Zn4Panel::menuTickChanged,
                     main_.menu().discriminator, &QAction::setChecked);
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

// The port's acceptance test, background threshold and calibration from the last run.
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
        engine_.requests().speedChange = startOptions_.speedIndex != 0;
    }
}

void Program::printStatus() {
    const QString trouble = loopWindows_.portGone() ? QStringLiteral("LOST") : unitStatus_.text();
    const bool testSet = acceptance_.state() != AcceptanceTest::State::NoTest;
    out_ << statusLine(units_, engine_.panel().readouts(), cycleTime_, trouble,
                       testSet ? acceptance_.statusText() : QString())
         << Qt::endl;
}

void Program::takePort() {
    const QString digit = units_.portDigit();
    main_.setPortCaption(digit);
    charts_.setPortDigit(digit);
    engine_.qn().setPortDigit(digit);
    constantsForm_.setPortDigit(digit);
}

std::vector<QWidget*> Program::companionWindows() {
    // The most important first: where the screen is small, the Q-N window and the ZN-4
    // panel are the ones that cover another.
    std::vector<QWidget*> windows{&charts_.wave(), &charts_.vq()};
    if (units_.discriminatorPresent()) {
        windows.push_back(&discriminatorWindow_);
    }
    windows.push_back(&charts_.qn());
    return windows;
}

void Program::rememberWindowPlaces() {
    windowMemory_.rememberShown(units_.portDigit(), historyWindow_.objectName(),
                                historyWindow_.isVisible());
    kr5::rememberWindows(
        windowMemory_, units_.portDigit(),
        {&main_, &charts_.wave(), &charts_.vq(), &discriminatorWindow_, &charts_.qn()});
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
    const UnitSearch search = findUnits(units_, engine_.link(), commtest_, platform_.dialogs);
    if (!search.found()) {
        return exitCodeFor(search);
    }
    about_.setUnitIds(units_.unit(UnitKind::Detector).ident, units_.unit(UnitKind::AcUnit).ident,
                      units_.unit(UnitKind::NoiseDiscriminator).ident);

    takePort();
    recallTestSetup();
    const std::vector<QRect> screens = availableScreens();
    placeMainWindow(windowMemory_, units_.portDigit(), main_, screens);
    main_.show();
    placeCompanions(windowMemory_, units_.portDigit(), main_, companionWindows(), screens);
    if (windowMemory_.wasShown(units_.portDigit(), historyWindow_.objectName())) {
        historyWindow_.show();
    }
    const QString settingsIgnored = constantsForm_.loadSettings();
    if (!settingsIgnored.isEmpty()) {
        platform_.dialogs.notify(settingsIgnored);
    }
    panelWidget_->initMeters();
    engine_.link().openPort(units_.port);
    applyStartSettings();

    int statusTimer = 0;
    if (startOptions_.status) {
        out_ << "KR-5AU(" << units_.portDigit() << ") " << units_.unit(UnitKind::Detector).ident
             << ' ' << units_.unit(UnitKind::AcUnit).ident << ' '
             << units_.unit(UnitKind::NoiseDiscriminator).ident << Qt::endl;
        statusTimer = platform_.clock.startTimer(1000, [this] { printStatus(); });
    }
    showRemoteClients();
    session_.goLive();
    engine_.run();
    // No command may arrive while the program winds down.
    remoteServer_.close();
    // However the program ends (Exit, the window closed, SIGINT, SIGTERM), a Q-N
    // measurement under way ends and the measurement file is closed, each with its
    // markers.
    if (engine_.qn().passesRunning()) {
        engine_.qn().finish();
    }
    engine_.recorder().closeFile();
    rememberWindowPlaces();
    engine_.frameLog().close();
    if (statusTimer != 0) {
        platform_.clock.stopTimer(statusTimer);
        out_ << unitStatus_.summary() << Qt::endl;
    }
    return 0;
}

}  // namespace kr5
