// The main window, its status bar and the status line printed with --status, the discovery
// progress window, the help launcher's classic browser route and the installed help page. What
// the menu items set off is left to the whole-program test, the scan to the link tests.
#include "app/mainwindow.h"
#include "app/commtestwindow.h"
#include "app/help/helplauncher.h"
#include "app/statusline.h"
#include "app/windowfakes.h"
#include "measure/panelmodel.h"
#include "measure/panelwidget.h"
#include "platform/virtualclock.h"
#include "support/benchunits.h"
#include "support/fakedialogs.h"
#include "support/filebytes.h"
#include "support/readings.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <memory>

namespace kr5 {
namespace {

using namespace windowfakes;

struct MainWindowTest : ::testing::Test {
    MainWindowTest() {
        QObject::connect(&window, &MainWindow::endRequested, &window, [this] { ++ends; });
    }

    // The items of the menu bar (owner null) or of a submenu in order as "name=caption",
    // marked " >" when they open a menu, " -" when disabled, " [x]" when checked and " [ ]"
    // when they can be.
    QString items(const QAction* owner = nullptr) const {
        const auto actions = owner == nullptr ? window.menuBar()->actions()
                             : owner->menu()  ? owner->menu()->actions()
                                              : QList<QAction*>();
        QStringList out;
        for (const QAction* a : actions) {
            out << a->objectName() + QLatin1Char('=') + a->text() + (a->menu() ? " >" : "") +
                       (a->isEnabled() ? "" : " -") +
                       (a->isChecked()     ? " [x]"
                        : a->isCheckable() ? " [ ]"
                                           : "");
        }
        return out.join(QStringLiteral(", "));
    }
    const MainMenu& menu() const { return window.menu(); }
    // The status bar's label of that name, or null while it has none.
    QLabel* statusLabel(const char* name) const {
        return window.statusBar()->findChild<QLabel*>(QLatin1String(name));
    }

    test::FakeDialogs dialogs;
    RecordingLauncher launcher;
    QWidget about;
    MainWindow window{dialogs, launcher, about};
    int ends = 0;
};

TEST_F(MainWindowTest, MenuBarHasTheItemsOfTheProgram) {
    EXPECT_EQ(items(),
              "cfile=File(&F) >, cwin=Window(&W) >, kouseiin=Input const.(&K), "
              "mesqn=QN-Mes.(&Q), seting=Config(&O), ctest=Test(&T) >, dver=Version(&V), "
              "gohelp=Help(&H)");
    EXPECT_EQ(items(menu().file),
              "csave=Save, copen=Open...(&O), cjudge=Judge again...(&J) -, "
              "cshut=Close recorded test(&L) -, creport=Report...(&R), cend=Exit");
    EXPECT_EQ(items(menu().test),
              "calib=Calibrate(&C)..., measbg=Measure background(&B), "
              "acctest=Acceptance test(&A)..., testdet=Test details(&D)..., "
              "testres=Results(&R)...");
    // Window > ZN-4 waits until the noise discriminator is found.
    EXPECT_EQ(items(menu().windows),
              "dwave=T-QVN [x], dvq=V-Q [x], zn4w=ZN-4 - [ ], dhist=History(&H) [ ], dqn=Q-N [ ]");
    window.setDiscriminatorAvailable(true);
    EXPECT_EQ(items(menu().windows),
              "dwave=T-QVN [x], dvq=V-Q [x], zn4w=ZN-4 [ ], dhist=History(&H) [ ], dqn=Q-N [ ]");
    window.setDiscriminatorAvailable(false);
    EXPECT_FALSE(menu().discriminator->isEnabled());
}

TEST_F(MainWindowTest, CaptionCycleTimeWarningAndUnitStatus) {
    window.setPortCaption(QStringLiteral("2"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("KR-5AU(2)"));
    window.showCycleTime(QStringLiteral("125"));
    EXPECT_EQ(labelTexts(window, "dst"), "125");

    // The warning and the unit status show side by side and go with an empty text.
    window.show();
    window.showUnitStatus(QString());  // all units answer: nothing is added
    EXPECT_EQ(statusLabel("unitStatus"), nullptr);
    window.showUnitStatus(QStringLiteral("KR-5: no reply (3)"));
    window.showWarning(QStringLiteral("test.csv cannot be written"));
    QLabel* status = statusLabel("unitStatus");
    QLabel* warning = statusLabel("warning");
    ASSERT_TRUE(status && warning && status != warning);
    EXPECT_EQ(labelTexts(window, "unitStatus warning"),
              "KR-5: no reply (3)|test.csv cannot be written");
    EXPECT_EQ(status->accessibleName(), status->text());  // read out by screen readers
    const auto seen = [&] {  // once the window has laid out its status bar
        QCoreApplication::processEvents();
        return std::pair(status->isVisible(), warning->isVisible());
    };
    EXPECT_EQ(seen(), std::pair(true, true));
    window.showUnitStatus(QString());
    EXPECT_EQ(seen(), std::pair(false, true));  // each goes on its own
    window.showUnitStatus(QStringLiteral("ZN-4: no reply (1)"));
    EXPECT_EQ(statusLabel("unitStatus"), status);  // the same label again
    EXPECT_EQ(seen(), std::pair(true, true));
    window.showWarning(QString());
    EXPECT_EQ(seen(), std::pair(true, false));
}

TEST_F(MainWindowTest, MinimiseHidesCompanionsAndRestoreShowsThemAgain) {
    QWidget wave, vq, zn4;
    bool znok = false;
    auto gone = std::make_unique<QWidget>();
    window.addCompanion(&wave);
    window.addCompanion(&vq);
    window.addCompanion(&zn4, [&znok] { return znok; });
    window.addCompanion(gone.get());
    gone.reset();  // a companion that no longer exists is skipped
    window.show();
    wave.show();
    vq.show();
    vq.close();  // the operator closed the V-Q window
    const auto shown = [&] {
        return std::tuple(wave.isVisible(), vq.isVisible(), zn4.isVisible());
    };
    window.setWindowState(Qt::WindowMinimized);
    EXPECT_EQ(shown(), std::tuple(false, false, false));
    window.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(shown(), std::tuple(true, true, false));
    znok = true;  // the predicate is asked at each restore
    window.setWindowState(Qt::WindowMinimized);
    window.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(shown(), std::tuple(true, true, true));
}

// Help, and F1 and Ctrl+Q through the items, are in help_test.cpp.
TEST_F(MainWindowTest, VersionShowsAboutCloseAsksToEnd) {
    window.show();
    menu().version->trigger();
    EXPECT_TRUE(about.isVisible());
    EXPECT_FALSE(about.isModal());
    // Closing only requests the end.
    EXPECT_FALSE(window.close());
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(window.isVisible());
}

TEST(HelpClassicBrowsers, ExplorerThenAMessageAndNetscapeThenTheDefaultBrowser) {
    const QString page = QStringLiteral("C:/kr5au/kr5auhelp.html");
    const QString ie = QStringLiteral("c:\\program files\\Internet Explorer\\Iexplore.exe");
    const QString netscape =
        QStringLiteral("c:\\program files\\netscape\\communicator\\program\\netscape.exe");
    // The browsers that fail to start, and the programs started and pages opened.
    const std::tuple<QStringList, QStringList, QStringList> cases[] = {
        {{}, {ie}, {}}, {{ie}, {ie, netscape}, {}}, {{ie, netscape}, {ie, netscape}, {page}}};
    for (const auto& [failing, startedPrograms, opened] : cases) {
        SCOPED_TRACE(failing.join(QStringLiteral(" and ")).toStdString());
        test::FakeDialogs dialogs;
        RecordingLauncher launcher;
        launcher.failingPrograms = failing;
        openHelpPage(launcher, dialogs, page, HelpRoute::ClassicBrowsers);
        QStringList started;
        for (const auto& s : launcher.started) {
            started << s.program;
            EXPECT_EQ(s.arguments, QStringList{QStringLiteral("C:\\kr5au\\kr5auhelp.html")});
        }
        EXPECT_EQ(started, startedPrograms);
        EXPECT_EQ(launcher.opened, opened);
        ASSERT_EQ(dialogs.shown.size(), failing.isEmpty() ? 0u : 1u);
        if (!failing.isEmpty()) {
            EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Can not Find IE"));
            EXPECT_TRUE(dialogs.shown[0].title.isEmpty());
        }
    }
}

TEST_F(MainWindowTest, HelpPageIsInstalledBesideTheExecutableAndStandsAlone) {
    const QString html =
        QString::fromUtf8(test::readBytes(QStringLiteral(KR5_INSTALLED_HELP_PAGE)));
    ASSERT_FALSE(html.isEmpty()) << KR5_INSTALLED_HELP_PAGE;
    EXPECT_TRUE(html.startsWith(QStringLiteral("<!DOCTYPE html>")));
    EXPECT_TRUE(html.trimmed().endsWith(QStringLiteral("</html>")));
    // Opened from a local folder, perhaps offline: nothing may be fetched from elsewhere.
    for (const char* external : {"http:", "https:", "src=", "<link", "@import", "url("}) {
        EXPECT_FALSE(html.contains(QLatin1String(external), Qt::CaseInsensitive)) << external;
    }
    // Each section is in the contents, and each link there leads to a section.
    const auto matches = [&html](const char* pattern, qsizetype from = 0, qsizetype to = -1) {
        QStringList found;
        auto it = QRegularExpression(QLatin1String(pattern)).globalMatch(html.mid(from, to));
        while (it.hasNext()) {
            found << it.next().captured(1);
        }
        found.sort();
        return found;
    };
    const qsizetype contents = html.indexOf(QLatin1String("id=\"contents\""));
    const qsizetype contentsEnd = html.indexOf(QLatin1String("<h2"), contents + 1);
    ASSERT_TRUE(contents > 0 && contentsEnd > contents);
    const QStringList links = matches("href=\"#([^\"]+)\"", contents, contentsEnd - contents);
    QStringList sections = matches("<h[23] id=\"([^\"]+)\"");
    sections.removeOne(QStringLiteral("contents"));
    EXPECT_GE(links.size(), 20);
    EXPECT_EQ(links, sections);
    sections << QStringLiteral("contents");
    for (const QString& target : matches("href=\"#([^\"]+)\"")) {
        EXPECT_TRUE(sections.contains(target)) << "a link to #" << target.toStdString();
    }
    // Every item of the main window's menus is described, under its menu's name.
    const auto caption = [](const QAction* a) {
        return a->text()
            .remove(QRegularExpression(QStringLiteral("\\(&.\\)")))
            .remove(QLatin1Char('&'));
    };
    QStringList undescribed;
    for (const QAction* item : window.menuBar()->actions()) {
        const QList<QAction*> inside = item->menu() ? item->menu()->actions() : QList<QAction*>();
        if (inside.isEmpty() && !html.contains(QStringLiteral("<b>") + caption(item))) {
            undescribed << caption(item);
        }
        for (const QAction* sub : inside) {
            const QString where = caption(item) + QStringLiteral(" &gt; ") + caption(sub);
            if (!html.contains(QStringLiteral("<b>") + where)) {
                undescribed << where;
            }
        }
    }
    EXPECT_TRUE(undescribed.isEmpty()) << undescribed.join(QStringLiteral(", ")).toStdString();
}

UnitsOnLine unitsOn(int port, bool ac, bool discriminator) {
    UnitsOnLine units;
    test::defaultBenchUnits(units, ac, discriminator);
    units.port = port;
    return units;
}

TEST(StatusLine, NamesThePortTheUnitsThePanelsTextsAndTheUnitsNotAnswering) {
    Requests requests;
    OperatingSettings settings;
    PanelModel panel(requests, settings);
    panel.takeReading(test::cycleReading(2, 5.0, 40.0, 61.25));  // 25 pC at 1/5
    const QString values =
        QStringLiteral("Q 25.00 pC | N 40.0 P.P.S. | Es 61.2 V | TV  6.12kV | cycle 38 ms");
    // The units, the line before the values, and the units not answering after them.
    const std::tuple<UnitsOnLine, const char*, QString> cases[] = {
        {unitsOn(1, false, false), "port 1 | KR | ", ""},
        {unitsOn(1, false, true), "port 1 | KR ZN | ", ""},
        {unitsOn(2, true, true), "port 2 | KR AU ZN | ", "ACU: no reply (1); ZN-4: no reply (12)"},
    };
    for (const auto& [units, start, unitStatus] : cases) {
        EXPECT_EQ(statusLine(units, panel.readouts(), QStringLiteral("38"), unitStatus),
                  QLatin1String(start) + values +
                      (unitStatus.isEmpty() ? QString() : QStringLiteral(" | ") + unitStatus));
    }
    // The verdict comes last, after a unit's trouble.
    const QString verdict = QStringLiteral("Acceptance: PASS, largest 4.1 pC ≤ 10 pC over 60 s");
    EXPECT_EQ(statusLine(unitsOn(1, true, false), panel.readouts(), QStringLiteral("38"),
                         QStringLiteral("ACU: no reply (1)"), verdict),
              QStringLiteral("port 1 | KR AU | ") + values +
                  QStringLiteral(" | ACU: no reply (1) | ") + verdict);
    // Lines waiting for the measurement file come before it.
    EXPECT_EQ(statusLine(unitsOn(1, true, false), panel.readouts(), QStringLiteral("38"), QString(),
                         verdict, 12),
              QStringLiteral("port 1 | KR AU | ") + values +
                  QStringLiteral(" | file: 12 lines waiting | ") + verdict);
}

// A long write warning wraps in the status bar of the main window with its front panel,
// which grows in height, instead of being cut at the window's width.
TEST_F(MainWindowTest, AWriteProblemShowsWholeInTheWindowOfNormalSize) {
    Requests requests;
    OperatingSettings settings;
    PanelModel panel(requests, settings);
    VirtualClock clock;
    ScreenPacer pacer(clock);
    window.panelArea()->layout()->addWidget(new PanelWidget(panel, pacer, window.panelArea()));
    window.show();
    const int normalWidth = window.width();

    const QString message = QStringLiteral(
        "The measurement file /home/operator/measurements/2026-12-07 transformer T3 bushing "
        "H2/test.csv cannot be written (No space left on device). 1234 lines are kept and "
        "will be written as soon as the file can be written again.");
    window.showWarning(message);
    // The new label shows, and the window lays it out, once the posted events are handled.
    QCoreApplication::processEvents();
    window.layout()->activate();
    QLabel* warning = statusLabel("warning");
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(window.width(), normalWidth);

    // The text laid out in the label's own room needs no more than that room.
    const QRect room = warning->contentsRect();
    const QRect needed = warning->fontMetrics().boundingRect(
        room, static_cast<int>(warning->alignment()) | (warning->wordWrap() ? Qt::TextWordWrap : 0),
        message);
    EXPECT_LE(needed.width(), room.width());
    EXPECT_LE(needed.height(), room.height());
    // And all of the label lies in the status bar, which lies in the window.
    EXPECT_TRUE(window.statusBar()->rect().contains(warning->geometry()));
    EXPECT_TRUE(window.rect().contains(window.statusBar()->geometry()));
}

TEST(CommTestWindow, FindsLandInTheFieldsOfTheirPortAndUnit) {
    CommTestWindow window;
    window.showProgress();
    EXPECT_TRUE(window.isVisible() && window.isWindow());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    window.probing(1, 7);
    EXPECT_EQ(labelTexts(window, "scanAddress"), "7");
    window.found(1, UnitKind::Detector, 3, QStringLiteral("KR-5 V1.20   "));
    window.found(1, UnitKind::NoiseDiscriminator, 0, QStringLiteral("ZN-4 V1.00   "));
    window.found(2, UnitKind::AcUnit, 15, QStringLiteral("AU-1 V2.00   "));
    window.found(1, UnitKind::Detector, 9, QStringLiteral("KR-5 V1.30   "));  // replaces the 3
    EXPECT_EQ(labelTexts(window,
                         "com1KrAddress com1KrIdent com1ZnAddress com1ZnIdent "
                         "com2AcuAddress com2AcuIdent com1AcuAddress com1AcuIdent "
                         "com2KrAddress com2KrIdent com2ZnAddress com2ZnIdent"),
              "9|KR-5 V1.30   |0|ZN-4 V1.00   |15|AU-1 V2.00   ||||||");
    window.hideProgress();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace kr5
