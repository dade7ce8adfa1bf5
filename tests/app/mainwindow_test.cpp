// The main window: its menu bar as the operator sees it, the caption with the port digit,
// the cycle-time readout, the end request from Exit and from closing, the companion
// windows across minimise and restore, the About window and the help page; the classic
// browser sequence of the help launcher and the page installed beside kr5au.
#include "app/mainwindow.h"
#include "app/help/helplauncher.h"
#include "app/windowfakes.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <memory>

namespace kr5 {
namespace {

using namespace windowfakes;

class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() {
        QObject::connect(&window, &MainWindow::endRequested, &window, [this] { ++ends; });
    }

    // The items of the menu bar ("") or of a menu in order as "name=caption", marked " >"
    // when they open a menu, " -" when disabled and " [x]" when checked; each also carries
    // its name for tools and is found by it.
    QString items(const char* menu) const {
        const QAction* owner = action(menu);
        const auto actions = *menu == 0               ? window.menuBar()->actions()
                             : owner && owner->menu() ? owner->menu()->actions()
                                                      : QList<QAction*>();
        QStringList out;
        for (const QAction* a : actions) {
            EXPECT_EQ(a->property("accessibleDescription").toString(), a->objectName());
            EXPECT_EQ(window.action(a->objectName()), a) << a->objectName().toStdString();
            out << a->objectName() + QLatin1Char('=') + a->text() + (a->menu() ? " >" : "") +
                       (a->isEnabled() ? "" : " -") + (a->isChecked() ? " [x]" : "");
        }
        return out.join(QStringLiteral(", "));
    }
    QAction* action(const char* name) const { return window.action(QLatin1String(name)); }

    test::FakeDialogs dialogs;
    RecordingLauncher launcher;
    QWidget about;
    MainWindow window{dialogs, launcher, about};
    int ends = 0;
};

TEST_F(MainWindowTest, MenuBarHasTheItemsCaptionsAndOrderOfTheProgram) {
    EXPECT_EQ(items(""),
              "cfile=File(&F) >, cwin=Window(&W) >, kouseiin=Input const.(&K) -, "
              "mesqn=QN-Mes.(&Q) -, seting=Config(&O) -, dver=Version(&V), gohelp=Help(&H)");
    EXPECT_EQ(items("cfile"), "csave=Save -, cend=Exit");
    EXPECT_EQ(items("cwin"), "dwave=T-QVN - [x], dvq=V-Q - [x], zn4w=ZN-4 -");
    window.setZn4Available(true);  // the noise discriminator was found
    EXPECT_TRUE(action("zn4w")->isEnabled());
    EXPECT_EQ(action("nosuchitem"), nullptr);
    expectNamedControls(window);
}

TEST_F(MainWindowTest, CaptionCarriesThePortDigitAndDstShowsTheCycleTime) {
    EXPECT_EQ(window.objectName(), QStringLiteral("KR5AU"));
    window.setPortCaption(QStringLiteral("2"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("KR-5AU(2)"));
    EXPECT_EQ(labelTexts(window, "Label13 dst Label14"), "Sample T.||ms");
    window.showCycleTime(QStringLiteral("125"));
    EXPECT_EQ(labelTexts(window, "dst"), "125");
    ASSERT_NE(window.panelArea(), nullptr);
    EXPECT_NE(window.panelArea()->layout(), nullptr);
}

TEST_F(MainWindowTest, ExitAndClosingOnlyRequestTheEnd) {
    window.show();
    action("cend")->trigger();
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(window.close());
    EXPECT_EQ(ends, 2);
    EXPECT_TRUE(window.isVisible());
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

TEST_F(MainWindowTest, VersionShowsAboutWithoutBlockingAndHelpOpensThePageOrSaysWhyNot) {
    window.show();
    action("dver")->trigger();
    EXPECT_TRUE(about.isVisible());
    EXPECT_FALSE(about.isModal());
    action("gohelp")->trigger();
    EXPECT_EQ(QDir::cleanPath(launcher.opened.value(0)),
              QDir::cleanPath(QCoreApplication::applicationDirPath() + "/kr5auhelp.html"));
    EXPECT_TRUE(dialogs.shown.empty());
    launcher.openSucceeds = false;  // a failure is reported and the program goes on
    action("gohelp")->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Can not Find IE"));
    EXPECT_TRUE(dialogs.shown[0].title.isEmpty());
    EXPECT_EQ(dialogs.shown[0].buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(ends, 0);
    EXPECT_TRUE(window.isVisible());
}

TEST(HelpClassicBrowsers, ExplorerThenAMessageAndNetscapeThenTheDefaultBrowser) {
    const QString page = QStringLiteral("C:/kr5au/kr5auhelp.html");
    const QString ie = QStringLiteral("c:\\program files\\Internet Explorer\\Iexplore.exe");
    const QString netscape =
        QStringLiteral("c:\\program files\\netscape\\communicator\\program\\netscape.exe");
    const struct {
        QStringList failing, started, opened;
    } cases[] = {
        {{}, {ie}, {}}, {{ie}, {ie, netscape}, {}}, {{ie, netscape}, {ie, netscape}, {page}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing.join(QStringLiteral(" and ")).toStdString());
        test::FakeDialogs dialogs;
        RecordingLauncher launcher;
        launcher.failingPrograms = c.failing;
        gohelp(launcher, dialogs, page, HelpRoute::ClassicBrowsers);
        QStringList started;
        for (const auto& s : launcher.started) {
            started << s.program;
            EXPECT_EQ(s.arguments, QStringList{QStringLiteral("C:\\kr5au\\kr5auhelp.html")});
        }
        EXPECT_EQ(started, c.started);
        EXPECT_EQ(launcher.opened, c.opened);
        ASSERT_EQ(dialogs.shown.size(), c.failing.isEmpty() ? 0u : 1u);
        if (!c.failing.isEmpty()) {
            EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Can not Find IE"));
            EXPECT_TRUE(dialogs.shown[0].title.isEmpty());
        }
    }
}

TEST(HelpPage, IsInstalledBesideTheExecutableAndStandsAlone) {
    QFile page(QStringLiteral(KR5_INSTALLED_HELP_PAGE));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << KR5_INSTALLED_HELP_PAGE;
    const QString html = QString::fromUtf8(page.readAll());
    EXPECT_TRUE(html.startsWith(QStringLiteral("<!DOCTYPE html>")));
    EXPECT_TRUE(html.trimmed().endsWith(QStringLiteral("</html>")));
    // Opened from a local folder, perhaps offline: nothing may be fetched from elsewhere.
    for (const char* external : {"http:", "https:", "src=", "<link", "@import", "url("}) {
        EXPECT_FALSE(html.contains(QLatin1String(external), Qt::CaseInsensitive)) << external;
    }
    // It describes what the operator meets: the panel, the menus and the files written.
    for (const char* topic :
         {"P.P.S.", "INPUT ATT", "RATE METER RANGE", "REMOTE", "Input const.", "QN-Mes.", "Config",
          "REC ON", "PAUSE", "CLOSE", "CSV", "CEV", "kr5au1.ini", "testCSV.csv", "qn.bmp",
          "KR5AU_PORT1", "KR5AU_PORT2", "ZN-4"}) {
        EXPECT_TRUE(html.contains(QLatin1String(topic))) << topic;
    }
}

}  // namespace
}  // namespace kr5
