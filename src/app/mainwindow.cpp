#include "mainwindow.h"

#include "platform/controlnames.h"

#include "app/help/helplauncher.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>

namespace kr5 {

MainWindow::MainWindow(Dialogs& dialogs, Launcher& launcher, QWidget& about, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), about_(about), helpViewer_(launcher, dialogs) {
    nameControl(this, QStringLiteral("KR5AU"));
    setWindowTitle(QStringLiteral("KR-5AU"));
    buildMenus();
    buildCentral();
}

QMenu* MainWindow::addMenu(const QString& name, const QString& caption, QAction*& item) {
    QMenu* menu = menuBar()->addMenu(caption);
    nameControl(menu, name);
    nameControl(menu->menuAction(), name);
    item = menu->menuAction();
    return menu;
}

QAction* MainWindow::addItem(QMenu* menu, const QString& name, const QString& caption) {
    auto* item = new QAction(caption, this);
    nameControl(item, name);
    if (menu != nullptr) {
        menu->addAction(item);
    } else {
        menuBar()->addAction(item);
    }
    return item;
}

void MainWindow::buildMenus() {
    nameControl(menuBar(), QStringLiteral("menuBar"));

    MainMenu& m = menu_;
    QMenu* fileMenu = addMenu(QStringLiteral("cfile"), QStringLiteral("File(&F)"), m.file);
    m.save = addItem(fileMenu, QStringLiteral("csave"), QStringLiteral("Save"));
    m.open = addItem(fileMenu, QStringLiteral("copen"), QStringLiteral("Open...(&O)"));
    m.judgeAgain =
        addItem(fileMenu, QStringLiteral("cjudge"), QStringLiteral("Judge again...(&J)"));
    m.closeRecorded =
        addItem(fileMenu, QStringLiteral("cshut"), QStringLiteral("Close recorded test(&L)"));
    m.report = addItem(fileMenu, QStringLiteral("creport"), QStringLiteral("Report...(&R)"));
    m.exit = addItem(fileMenu, QStringLiteral("cend"), QStringLiteral("Exit"));
    m.judgeAgain->setEnabled(false);  // until a recorded test is open
    m.closeRecorded->setEnabled(false);

    QMenu* windowMenu = addMenu(QStringLiteral("cwin"), QStringLiteral("Window(&W)"), m.windows);
    m.trend = addItem(windowMenu, QStringLiteral("dwave"), QStringLiteral("T-QVN"));
    m.vq = addItem(windowMenu, QStringLiteral("dvq"), QStringLiteral("V-Q"));
    m.discriminator = addItem(windowMenu, QStringLiteral("zn4w"), QStringLiteral("ZN-4"));
    m.history = addItem(windowMenu, QStringLiteral("dhist"), QStringLiteral("History(&H)"));
    m.history->setCheckable(true);
    // The Q-N window opens by itself when a measurement ends; a Non Stop one may run for
    // hours before that, and the Qm of each pass is there to see all the while.
    m.qn = addItem(windowMenu, QStringLiteral("dqn"), QStringLiteral("Q-N"));
    m.qn->setCheckable(true);
    for (QAction* shown : {m.trend, m.vq}) {
        shown->setCheckable(true);
        shown->setChecked(true);
    }
    m.discriminator->setCheckable(true);
    m.discriminator->setEnabled(false);  // until the noise discriminator is found

    m.inputConstants =
        addItem(nullptr, QStringLiteral("kouseiin"), QStringLiteral("Input const.(&K)"));
    m.qnMeasurement = addItem(nullptr, QStringLiteral("mesqn"), QStringLiteral("QN-Mes.(&Q)"));
    m.options = addItem(nullptr, QStringLiteral("seting"), QStringLiteral("Config(&O)"));
    QMenu* testMenu = addMenu(QStringLiteral("ctest"), QStringLiteral("Test(&T)"), m.test);
    m.calibrate = addItem(testMenu, QStringLiteral("calib"), QStringLiteral("Calibrate(&C)..."));
    m.measureBackground =
        addItem(testMenu, QStringLiteral("measbg"), QStringLiteral("Measure background(&B)"));
    m.acceptance =
        addItem(testMenu, QStringLiteral("acctest"), QStringLiteral("Acceptance test(&A)..."));
    m.testDetails =
        addItem(testMenu, QStringLiteral("testdet"), QStringLiteral("Test details(&D)..."));
    m.results = addItem(testMenu, QStringLiteral("testres"), QStringLiteral("Results(&R)..."));
    m.version = addItem(nullptr, QStringLiteral("dver"), QStringLiteral("Version(&V)"));
    m.help = addItem(nullptr, QStringLiteral("gohelp"), QStringLiteral("Help(&H)"));
    // Besides the mnemonics, the keys every desktop program answers to.
    m.save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m.exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    m.help->setShortcut(QKeySequence(Qt::Key_F1));
    m.open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));

    // Every item of the bar stays in view, none behind the bar's button for what does not
    // fit: the window is never narrower than the bar, measured with the longer caption the
    // Q-N item has while a measurement runs.
    const QString qnCaption = m.qnMeasurement->text();
    m.qnMeasurement->setText(QStringLiteral("T-QNV Mes.(&Q)"));
    setMinimumWidth(menuBar()->sizeHint().width());
    m.qnMeasurement->setText(qnCaption);

    connect(m.exit, &QAction::triggered, this, &MainWindow::askToEnd);
    connect(m.version, &QAction::triggered, this, &MainWindow::showAbout);
    connect(m.help, &QAction::triggered, this, &MainWindow::openHelp);
}

void MainWindow::buildCentral() {
    auto* central = new QWidget(this);
    nameControl(central, QStringLiteral("central"));
    auto* layout = new QVBoxLayout(central);

    panelArea_ = new QWidget(central);
    nameControl(panelArea_, QStringLiteral("panelArea"));
    auto* panelLayout = new QVBoxLayout(panelArea_);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panelArea_, 1);

    auto* cycleRow = new QHBoxLayout;
    cycleRow->addStretch(1);
    cycleRow->addWidget(
        namedLabel(QStringLiteral("Label13"), QStringLiteral("Sample T."), central));
    cycleTimeReadout_ = namedLabel(QStringLiteral("dst"), QString(), central);
    cycleTimeReadout_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    cycleTimeReadout_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Wide enough for the four digits of the readout in the font actually used.
    cycleTimeReadout_->setMinimumWidth(
        cycleTimeReadout_->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
    cycleRow->addWidget(cycleTimeReadout_);
    cycleRow->addWidget(namedLabel(QStringLiteral("Label14"), QStringLiteral("ms"), central));
    layout->addLayout(cycleRow);

    setCentralWidget(central);
}

void MainWindow::setPortCaption(const QString& portDigit) {
    setWindowTitle(QStringLiteral("KR-5AU(") + portDigit + QLatin1Char(')'));
}

void MainWindow::setDiscriminatorAvailable(bool available) {
    menu_.discriminator->setEnabled(available);
}

void MainWindow::showCycleTime(const QString& text) {
    cycleTimeReadout_->setText(text);
}

QLabel* MainWindow::statusLabel(QLabel*& label, const QString& name) {
    if (!label) {
        label = new QLabel(this);
        nameControl(label, name);
        label->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
        // A long warning (a file's whole path) wraps and the status bar grows in height,
        // rather than being cut at the window's width.
        label->setWordWrap(true);
        statusBar()->addWidget(label, 1);
    }
    return label;
}

void MainWindow::showWarning(const QString& text) {
    QLabel* warning = statusLabel(warning_, QStringLiteral("warning"));
    warning->setText(text);
    warning->setAccessibleName(text);
    warning->setVisible(!text.isEmpty());
}

void MainWindow::showStatusText(QLabel*& label, const QString& name, const QString& text) {
    if (text.isEmpty() && !label) {
        return;
    }
    QLabel* status = statusLabel(label, name);
    status->setText(text);
    status->setAccessibleName(text);
    status->setVisible(!text.isEmpty());
}

void MainWindow::showUnitStatus(const QString& text) {
    showStatusText(unitStatus_, QStringLiteral("unitStatus"), text);
}

void MainWindow::showPortStatus(const QString& text) {
    showStatusText(portStatus_, QStringLiteral("portStatus"), text);
}

void MainWindow::showResultsWaiting(const QString& text) {
    showStatusText(resultsWaiting_, QStringLiteral("resultsWaiting"), text);
}

void MainWindow::addCompanion(QWidget* window, std::function<bool()> showOnRestore) {
    companions_.push_back({window, std::move(showOnRestore)});
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window never closes by itself: the acquisition loop ends the program in order
    // (remote off, 9600 baud, port closed) and only then do the windows go.
    event->ignore();
    askToEnd();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        followMinimised(change->oldState().testFlag(Qt::WindowMinimized));
    }
}

void MainWindow::followMinimised(bool leftMinimised) {
    const bool minimised = isMinimized();
    if (!minimised && !leftMinimised) {
        return;
    }
    for (const Companion& companion : companions_) {
        if (companion.window.isNull()) {
            continue;
        }
        if (minimised) {
            companion.window->hide();
        } else if (!companion.showOnRestore || companion.showOnRestore()) {
            companion.window->show();
        }
    }
}

void MainWindow::askToEnd() {
    emit endRequested();
}

void MainWindow::showAbout() {
    about_.show();
    about_.raise();
    about_.activateWindow();
}

void MainWindow::openHelp() {
    kr5::openHelp(dialogs_, helpViewer_, helpFolders_);
}

}  // namespace kr5
