#include "program.h"

#include "app/statusline.h"
#include "charts/scalewidget.h"
#include "link/discovery.h"

#include <QAction>
#include <QLabel>
#include <QLayout>

namespace kr5 {

namespace {

QString labelText(const QWidget& root, const char* name) {
    const auto* label = root.findChild<QLabel*>(QLatin1String(name));
    return label ? label->text() : QString();
}

}  // namespace

Program::Program(const Platform& platform, ProgramOptions options)
    : startOptions_(options),
      clock_(platform.clock),
      pump_(platform.pump),
      port_(platform.port),
      dialogs_(platform.dialogs),
      launcher_(platform.launcher),
      clipboard_(platform.clipboard),
      out_(stdout) {
    panelWidget_ = new PanelWidget(main_.panelArea());
    main_.panelArea()->layout()->addWidget(panelWidget_);
    frec_ = new RecordControls(recorder_, main_.panelArea());
    main_.panelArea()->layout()->addWidget(frec_);

    loopWindows_ = std::make_unique<ProgramWindows>(
        ProgramWindows::Parts{main_, *panelWidget_, charts_, *frec_, zn4_, zn4Window_});
    panel_ = std::make_unique<FrontPanel>(g_, requests_, *panelWidget_);
    evaluation_ = std::make_unique<Evaluation>(g_, *panelWidget_, *panel_);
    reading_ = std::make_unique<Reading>(g_, link_, pump_, *evaluation_);
    acquisition_ = std::make_unique<Acquisition>(g_, requests_, link_, timing_, pump_, *reading_,
                                                 *loopWindows_);
    qn_ = std::make_unique<QnSequence>(g_, requests_, pump_, *loopWindows_, *loopWindows_);
    wirePanel();
    wireRecords();
    wireCharts();
    wireModes();
    wireWindows();
}

Program::~Program() = default;

void Program::wirePanel() {
    panelWidget_->onPeakbClick = [this](int i) { panel_->peakbClick(i); };
    panelWidget_->onRatebClick = [this](int i) { panel_->ratebClick(i); };
    panelWidget_->onRemoteClick = [this](bool on) { panel_->remoteClick(on); };
    panelWidget_->onLabel4Click = [this] { panel_->label4Click(); };
    panelWidget_->onLabel7Click = [this] { panel_->label7Click(); };
}

void Program::wireRecords() {
    QAction* save = main_.action(QStringLiteral("csave"));
    QAction* constants = main_.action(QStringLiteral("kouseiin"));
    QAction* options = main_.action(QStringLiteral("seting"));
    for (QAction* a : {save, constants, options}) {
        a->setEnabled(true);
    }
    QObject::connect(save, &QAction::triggered, &main_, [this] { csave_.csaveClick(); });
    QObject::connect(constants, &QAction::triggered, &main_, [this] { showKousei(); });
    QObject::connect(options, &QAction::triggered, &main_,
                     [this] { optionsWindow_.showOptions(); });
    QObject::connect(&recorder_, &Recorder::preparedChanged, &main_, [this, save](bool prepared) {
        save->setEnabled(!prepared);
        kousei_.setOkEnabled(!prepared);
    });
    csave_.showInputConst = [this] { showKousei(); };
    csave_.setCaption = [this](const QString& caption) { main_.setWindowTitle(caption); };
    // A file that cannot be written is reported without stopping anything: the rows wait
    // in memory and go out at the next write that succeeds.
    recorder_.onWriteProblem = [this](const QString& text) { main_.showWarning(text); };
    recorder_.onWriteRecovered = [this] { main_.showWarning(QString()); };
    evaluation_->dataRow = [this](int att, double q, int rateIndex, double pps, double tv) {
        recorder_.dataRow(att, q, rateIndex, pps, tv);
    };
    evaluation_->showTv = [this](const QString& text) { optionsWindow_.setTvReadout(text); };
    optionsWindow_.form().autocolor = [this] { panel_->autocolor(); };
    panel_->setauto = [this] { optionsWindow_.setauto(); };
}

void Program::wireCharts() {
    evaluation_->gplot = [this](double q0, double n, double v, int att) {
        charts_.gplot(q0, n, v, att);
    };
    panel_->chmcol = [this](int att) { charts_.chmcol(att); };
    QAction* wave = main_.action(QStringLiteral("dwave"));
    QAction* vq = main_.action(QStringLiteral("dvq"));
    wave->setEnabled(true);
    vq->setEnabled(true);
    QObject::connect(wave, &QAction::triggered, &main_, [this] { charts_.dwaveClick(); });
    QObject::connect(vq, &QAction::triggered, &main_, [this] { charts_.dvqClick(); });
    charts_.setWaveCheckMark([wave](bool on) { wave->setChecked(on); });
    charts_.setVqCheckMark([vq](bool on) { vq->setChecked(on); });
    main_.addCompanion(&charts_.wave());
    main_.addCompanion(&charts_.vq(), [this] { return charts_.prepareVqRestore(); });

    // The charts' scales follow the constants and the TV multiplier.
    const auto clearCharts = [this] {
        charts_.clrvq();
        charts_.clrwave();
    };
    constants_.constantsChanged = clearCharts;
    optionsWindow_.form().clearTvCharts = clearCharts;

    VqSaveHooks& hooks = charts_.saveHooks();
    hooks.inputName = [this] { return constants_.fields.name; };
    hooks.showInputConst = [this] { showKousei(); };
    hooks.setMainCaption = [this](const QString& caption) { main_.setWindowTitle(caption); };
}

void Program::wireModes() {
    QAction* mesqn = main_.action(QStringLiteral("mesqn"));
    mesqn->setEnabled(true);
    QObject::connect(mesqn, &QAction::triggered, &main_, [this] { qn_->mesqnClick(); });
    charts_.setQnPassEnd([this] { qn_->passEnd(); });
    acquisition_->qnstart = [this] { qn_->qnstart(); };
    acquisition_->qnend = [this] { qn_->qnend(); };
    qn_->writeStartMarker = [this] { recorder_.appendQnStart(); };
    qn_->writeEndMarker = [this] { recorder_.appendQnEnd(); };

    zn4Window_.forwardTo(zn4_);
    QAction* zn4w = main_.action(QStringLiteral("zn4w"));
    zn4w->setCheckable(true);
    zn4_.setMenuTick = [zn4w](bool ticked) { zn4w->setChecked(ticked); };
    QObject::connect(zn4w, &QAction::triggered, &main_, [this] { zn4_.zn4wClick(); });
    evaluation_->showNoiseSettings = [this](int at1, int at2, int rt) {
        zn4_.nbtsetat1(at1);
        zn4_.nbtsetat2(at2);
        zn4_.nbtsetrt(rt);
    };
    main_.addCompanion(&zn4Window_, [this] { return g_.znok; });
}

void Program::showKousei() {
    kousei_.show();
    kousei_.raise();
    kousei_.activateWindow();
}

void Program::wireWindows() {
    QObject::connect(&main_, &MainWindow::endRequested, &main_, [this] { g_.endreq = true; });
    timing_.showCycleTime = [this](const QString& text) { main_.showCycleTime(text); };
}

void Program::applyStartSettings() {
    if (startOptions_.sampleMs >= 0) {
        g_.samplems = startOptions_.sampleMs;
    }
    if (startOptions_.speedIndex >= 0 && startOptions_.speedIndex <= 2) {
        g_.comspeed = startOptions_.speedIndex;
        g_.speedreq = startOptions_.speedIndex != 0;
    }
}

void Program::printStatus() {
    const PanelTexts texts{labelText(main_, "Vpeak"), labelText(main_, "Vpps"),
                           labelText(main_, "des"), labelText(main_, "dtv")};
    out_ << statusLine(g_, texts, labelText(main_, "dst")) << Qt::endl;
}

int Program::run() {
    // The global defaults were set when the state was made; the reply-wait calibration
    // follows them.
    g_.loopcal = calibrateLoop(clock_);
    coldef(colours_);

    if (!findunits(g_, link_, commtest_, dialogs_)) {
        return 0;
    }
    about_.setUnitIds(g_.krid, g_.acuid, g_.znid);
    about_.setLoopcal(g_.loopcal);

    g_.portstr = QString::number(g_.comport).right(1);
    main_.setPortCaption(g_.portstr);
    main_.show();
    panel_->autocolor();
    constants_.ksetv();
    panelWidget_->scal(Meter::Scal1).init(100, 100, QStringLiteral("P.P.S."));
    panelWidget_->scal(Meter::Scal1).setdata(0);
    panelWidget_->scal(Meter::Scal2).init(10, 10, QStringLiteral("Vp"));
    panelWidget_->scal(Meter::Scal2).setdata(0);
    link_.openport(g_.comport);
    applyStartSettings();

    int statusTimer = 0;
    if (startOptions_.status) {
        out_ << "KR-5AU(" << g_.portstr << ") " << g_.krid << ' ' << g_.acuid << ' ' << g_.znid
             << Qt::endl;
        statusTimer = clock_.startTimer(1000, [this] { printStatus(); });
    }
    acquisition_->mesloop();
    if (statusTimer != 0) {
        clock_.stopTimer(statusTimer);
    }
    return 0;
}

}  // namespace kr5
