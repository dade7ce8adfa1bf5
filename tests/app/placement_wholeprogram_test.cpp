// The whole program's windows on the laptop screen of placement.cmake, and their places kept
// from one run to the next. The placement on many more screens is in windowplacement_test.cpp.
#include "support/rects.h"
#include "wholeprogram.h"

#include <QFileInfo>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QToolButton>

#include <algorithm>

namespace kr5::test {
namespace {

const QStringList kWindows{QStringLiteral("KR5AU"), QStringLiteral("wave"), QStringLiteral("VQ"),
                           QStringLiteral("ZN4"), QStringLiteral("QN")};

bool shown(const QString& name) {
    QWidget* w = window(name);
    return w != nullptr && w->isVisible();
}

std::string text(const QRect& r) {
    return ::testing::PrintToString(r);
}

// On the laptop's screen of 1366x768.
struct SmallScreen : WholeProgram {
    void SetUp() override {
        WholeProgram::SetUp();
        const QScreen* screen = QGuiApplication::primaryScreen();
        ASSERT_NE(screen, nullptr);
        ASSERT_EQ(screen->availableGeometry(), QRect(0, 0, 1366, 768))
            << "the test runs on the screen of its configuration file (placement.cmake)";
    }

    // Runs the program until the main window, the charts and the ZN-4 panel are shown;
    // shows the Q-N window as a finished Q-N measurement does, then calls act and ends the
    // program a moment later. The windows stay until the program is built again.
    void runUntilShown(const std::function<void()>& act = {}) {
        step(
            "the windows shown",
            [] {
                return shown(QStringLiteral("wave")) && shown(QStringLiteral("VQ")) &&
                       shown(QStringLiteral("ZN4"));
            },
            [this, act] {
                window(QStringLiteral("QN"))->show();
                if (act) {
                    act();
                }
                at(now() + 1000, "exit", [this] { menu("cend")->trigger(); });
            });
        runProgram(now() + 120'000);
    }

    // A second run of the program with the same settings file, as the next start.
    void buildAgain() {
        program.reset();
        port.reset();
        bench.reset();
        build();
    }

    static QRect frame(const QString& name) { return window(name)->frameGeometry(); }

    void expectOnTheScreen(const QStringList& more = {}) {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        for (const QString& name : kWindows + more) {
            EXPECT_TRUE(screen.contains(frame(name)))
                << name.toStdString() << ' ' << text(frame(name));
        }
    }

    void expectClearOfTheMainWindow(const QStringList& more = {}) {
        const QRect main = frame(QStringLiteral("KR5AU"));
        for (const QString& name : kWindows.mid(1) + more) {
            EXPECT_FALSE(frame(name).intersects(main))
                << name.toStdString() << ' ' << text(frame(name)) << " over the main window "
                << text(main);
        }
    }

    // No item of the window's menu bar is left to the bar's button for those that do not fit.
    static void expectEveryMenuItemInView(const QString& name) {
        const auto* bar = window(name)->findChild<QMenuBar*>();
        ASSERT_NE(bar, nullptr) << name.toStdString();
        const auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_menubar_ext_button"));
        EXPECT_TRUE(more == nullptr || more->isHidden()) << name.toStdString();
        for (QAction* item : bar->actions()) {
            EXPECT_TRUE(bar->rect().contains(bar->actionGeometry(item)))
                << name.toStdString() << ' ' << item->text().toStdString();
        }
    }
};

// The places kept from an earlier run: the main window's on a second monitor to the right and
// the trend window's above the screen are not used; the V-Q window's, on this screen, is, moved
// left as far as the window, wider now than it was then, needs to stay on the screen. The
// units answer on port 2 only: after the search every frame goes there, and the places are
// kept for that port.
TEST_F(SmallScreen, NoWindowOpensOverTheMainWindowAndWhereTheOperatorLeftThemTheyOpenAgain) {
    for (sim::UnitConfig& unit : scenario.units) {
        unit.port = 2;
    }
    scenario.emptyPorts = {1};
    {
        QSettings file(windowMemoryPath(), QSettings::IniFormat);
        file.setValue(QStringLiteral("port2/windows/KR5AU/pos"), QPoint(1500, 100));
        file.setValue(QStringLiteral("port2/windows/KR5AU/size"), QSize(560, 589));
        file.setValue(QStringLiteral("port2/windows/wave/pos"), QPoint(100, -1200));
        file.setValue(QStringLiteral("port2/windows/wave/size"), QSize(625, 340));
        file.setValue(QStringLiteral("port2/windows/VQ/pos"), QPoint(900, 400));
        file.setValue(QStringLiteral("port2/windows/VQ/size"), QSize(385, 364));
    }
    runUntilShown([this] {
        EXPECT_EQ(frame(QStringLiteral("KR5AU")).topLeft(), QPoint(0, 0));
        EXPECT_EQ(frame(QStringLiteral("VQ")).top(), 400);
        EXPECT_EQ(frame(QStringLiteral("VQ")).right(), 1365);
        expectOnTheScreen();
        expectClearOfTheMainWindow();
        EXPECT_FALSE(frame(QStringLiteral("wave")).intersects(frame(QStringLiteral("VQ"))));
        window(QStringLiteral("KR5AU"))->move(40, 30);
        window(QStringLiteral("wave"))->move(650, 360);
        window(QStringLiteral("wave"))->resize(700, 400);
    });
    const QRect vq = frame(QStringLiteral("VQ"));
    const QRect qn = frame(QStringLiteral("QN"));
    EXPECT_EQ(program->units().port, 2);
    EXPECT_TRUE(program->mainWindow().windowTitle().contains(QLatin1String("(2)")))
        << program->mainWindow().windowTitle().toStdString();
    const auto& log = port->frameLog();
    const auto firstReading = std::find_if(
        log.begin(), log.end(), [](const sim::FrameRecord& f) { return f.command == "x"; });
    ASSERT_NE(firstReading, log.end());
    EXPECT_TRUE(std::all_of(firstReading, log.end(),
                            [](const sim::FrameRecord& f) { return f.port == 2; }));
    {
        const QSettings file(windowMemoryPath(), QSettings::IniFormat);
        EXPECT_EQ(file.value(QStringLiteral("port2/windows/KR5AU/pos")).toPoint(), QPoint(40, 30));
        EXPECT_EQ(file.value(QStringLiteral("port2/windows/wave/size")).toSize(), QSize(700, 400));
    }

    buildAgain();
    runUntilShown();
    EXPECT_EQ(frame(QStringLiteral("KR5AU")).topLeft(), QPoint(40, 30));
    EXPECT_EQ(frame(QStringLiteral("wave")).topLeft(), QPoint(650, 360));
    EXPECT_EQ(window(QStringLiteral("wave"))->size(), QSize(700, 400));
    // Where they had been put, though the main window moved since.
    EXPECT_EQ(frame(QStringLiteral("VQ")), vq);
    EXPECT_EQ(frame(QStringLiteral("QN")), qn);
}

// What a test engineer opens on the laptop's screen: the recording controls and the
// acceptance test's line on the main window, Window > Q-N in the default Non Stop mode,
// History, help, Results and the setup windows. Every window stays on the screen and off the main
// window, and every item of the main window's and the Q-N window's menu bars is in view, also while
// a Q-N measurement runs; the Window menu's checks follow the windows.
TEST_F(SmallScreen, EveryWindowOnTheScreenOffTheMainWindowAndEveryMenuItemInView) {
    const QStringList later{QStringLiteral("QN"), QStringLiteral("history"),
                            QStringLiteral("help")};
    QStringList checks;
    const auto checked = [this] {
        return QStringLiteral("%1%2").arg(menu("dqn")->isChecked()).arg(menu("dhist")->isChecked());
    };
    QRect mainAtStart;
    step(
        "the windows shown",
        [] { return shown(QStringLiteral("wave")) && shown(QStringLiteral("ZN4")); },
        [&] {
            mainAtStart = frame(QStringLiteral("KR5AU"));
            checks << checked();
            menu("dqn")->trigger();
            checks << checked();
            trigger(QStringLiteral("QN"), QStringLiteral("qclose"));
            checks << checked();
            menu("dqn")->trigger();
            menu("dhist")->trigger();
            checks << checked();
            program->mainWindow().setHelpFolders(
                {QFileInfo(QStringLiteral(KR5_HELP_PAGE_SOURCE)).path()});
            menu("gohelp")->trigger();
            record(QStringLiteral("laptop"));
            setUpAcceptance("10", "3", "100");
            click(QStringLiteral("acceptance"), QStringLiteral("accclose"));
            for (const char* setup :
                 {"kouseiin", "seting", "calib", "dver", "acctest", "testdet", "testres"}) {
                menu(setup)->trigger();
            }
            menu("mesqn")->trigger();
        });
    // While the recording controls show, the acceptance test waits and a Q-N measurement runs.
    step(
        "the Q-N measurement under way", [this] { return program->qnRunning(); },
        [&] {
            for (const QString& name : later) {
                EXPECT_TRUE(shown(name)) << name.toStdString();
            }
            EXPECT_TRUE(
                control<QWidget>(QStringLiteral("KR5AU"), QStringLiteral("Frec"))->isVisible());
            EXPECT_TRUE(
                control<QWidget>(QStringLiteral("KR5AU"), QStringLiteral("verdict"))->isVisible());
            EXPECT_EQ(frame(QStringLiteral("KR5AU")), mainAtStart) << "the main window grew";
            // Every window open, the setup windows with them.
            QStringList open;
            for (const QWidget* w : QApplication::topLevelWidgets()) {
                if (w->isVisible() && w->objectName() != QLatin1String("KR5AU")) {
                    open << w->objectName();
                }
            }
            EXPECT_GE(open.size(), 13) << open.join(QLatin1Char(' ')).toStdString();
            expectOnTheScreen(open);
            expectClearOfTheMainWindow(open);
            expectEveryMenuItemInView(QStringLiteral("KR5AU"));
            expectEveryMenuItemInView(QStringLiteral("QN"));
            // The Qm line of a block of full passes, whole on one line.
            auto& qn = static_cast<QnWindow&>(*window(QStringLiteral("QN")));
            qn.showQm(QStringLiteral("1234.5 pC"), QStringLiteral("1234.5 pC"), 31);
            const auto* qm = control<QLabel>(QStringLiteral("QN"), QStringLiteral("qm"));
            EXPECT_LE(qm->fontMetrics().horizontalAdvance(qm->text()), qm->contentsRect().width())
                << qm->text().toStdString();
            at(now() + 500, "exit", [this] { menu("cend")->trigger(); });
        });
    runProgram(now() + 120'000);
    EXPECT_EQ(checks, QStringList({"00", "10", "00", "11"}));
}

}  // namespace
}  // namespace kr5::test
