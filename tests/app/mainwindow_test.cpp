// The main window: its menu bar as the operator sees it, the caption with the port digit,
// the end request from Exit and from closing, the companion windows across minimise and
// restore, the About window and the help page.
#include "app/mainwindow.h"
#include "app/help/helplauncher.h"
#include "app/windowfakes.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <memory>

namespace kr5 {
namespace {

using windowfakes::RecordingLauncher;

struct Item {
    const char* name;
    const char* caption;
    bool enabled;
};

class MainWindowTest : public ::testing::Test {
  protected:
    test::FakeDialogs dialogs;
    RecordingLauncher launcher;
    QWidget about;
    MainWindow window{dialogs, launcher, about};
    int ends = 0;

    MainWindowTest() {
        QObject::connect(&window, &MainWindow::endRequested, &window, [this] { ++ends; });
    }

    void expectItems(const QList<QAction*>& actions, const std::vector<Item>& expected) {
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i) {
            const QAction* a = actions[static_cast<qsizetype>(i)];
            SCOPED_TRACE(expected[i].name);
            EXPECT_EQ(a->objectName(), QLatin1String(expected[i].name));
            EXPECT_EQ(a->property("accessibleDescription").toString(),
                      QLatin1String(expected[i].name));
            EXPECT_EQ(a->text(), QLatin1String(expected[i].caption));
            EXPECT_EQ(a->isEnabled(), expected[i].enabled);
            EXPECT_EQ(window.action(QLatin1String(expected[i].name)), a);
        }
    }
};

TEST_F(MainWindowTest, MenuBarHasTheItemsCaptionsAndOrderOfTheProgram) {
    expectItems(window.menuBar()->actions(), {{"cfile", "File(&F)", true},
                                              {"cwin", "Window(&W)", true},
                                              {"kouseiin", "Input const.(&K)", false},
                                              {"mesqn", "QN-Mes.(&Q)", false},
                                              {"seting", "Config(&O)", false},
                                              {"dver", "Version(&V)", true},
                                              {"gohelp", "Help(&H)", true}});

    QMenu* cfile = window.action(QStringLiteral("cfile"))->menu();
    ASSERT_NE(cfile, nullptr);
    EXPECT_EQ(cfile->objectName(), QStringLiteral("cfile"));
    EXPECT_EQ(cfile->accessibleDescription(), QStringLiteral("cfile"));
    expectItems(cfile->actions(), {{"csave", "Save", false}, {"cend", "Exit", true}});

    QMenu* cwin = window.action(QStringLiteral("cwin"))->menu();
    ASSERT_NE(cwin, nullptr);
    expectItems(cwin->actions(),
                {{"dwave", "T-QVN", false}, {"dvq", "V-Q", false}, {"zn4w", "ZN-4", false}});

    // The trend and V-Q items carry their check marks from the start; ZN-4 has none.
    for (const char* shown : {"dwave", "dvq"}) {
        EXPECT_TRUE(window.action(QLatin1String(shown))->isCheckable()) << shown;
        EXPECT_TRUE(window.action(QLatin1String(shown))->isChecked()) << shown;
    }
    EXPECT_FALSE(window.action(QStringLiteral("zn4w"))->isChecked());
    window.setZn4Available(true);  // the noise discriminator was found
    EXPECT_TRUE(window.action(QStringLiteral("zn4w"))->isEnabled());

    // The top-level commands act directly; only File and Window open submenus.
    for (const char* direct : {"kouseiin", "mesqn", "seting", "dver", "gohelp"}) {
        EXPECT_EQ(window.action(QLatin1String(direct))->menu(), nullptr) << direct;
    }
    EXPECT_EQ(window.action(QStringLiteral("nosuchitem")), nullptr);
}

TEST_F(MainWindowTest, CaptionCarriesThePortDigitAndDstShowsTheCycleTime) {
    EXPECT_EQ(window.objectName(), QStringLiteral("KR5AU"));
    window.setPortCaption(QStringLiteral("2"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("KR-5AU(2)"));

    auto* label13 = window.findChild<QLabel*>(QStringLiteral("Label13"));
    auto* dst = window.findChild<QLabel*>(QStringLiteral("dst"));
    auto* label14 = window.findChild<QLabel*>(QStringLiteral("Label14"));
    ASSERT_TRUE(label13 && dst && label14);
    EXPECT_EQ(label13->text(), QStringLiteral("Sample T."));
    EXPECT_EQ(label14->text(), QStringLiteral("ms"));
    EXPECT_EQ(dst->accessibleDescription(), QStringLiteral("dst"));
    EXPECT_TRUE(dst->text().isEmpty());
    window.showCycleTime(QStringLiteral("125"));
    EXPECT_EQ(dst->text(), QStringLiteral("125"));

    ASSERT_NE(window.panelArea(), nullptr);
    EXPECT_NE(window.panelArea()->layout(), nullptr);
}

TEST_F(MainWindowTest, ExitAndClosingOnlyRequestTheEnd) {
    window.show();

    window.action(QStringLiteral("cend"))->trigger();
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(window.isVisible());

    EXPECT_FALSE(window.close());
    EXPECT_EQ(ends, 2);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainWindowTest, MinimiseHidesCompanionsAndRestoreShowsThemAgain) {
    QWidget wave;
    QWidget vq;
    QWidget zn4;
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

    window.setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(wave.isVisible());
    EXPECT_FALSE(vq.isVisible());
    EXPECT_FALSE(zn4.isVisible());

    window.setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(wave.isVisible());
    EXPECT_TRUE(vq.isVisible());
    EXPECT_FALSE(zn4.isVisible());

    // The predicate is asked at each restore.
    znok = true;
    window.setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(wave.isVisible());
    window.setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(zn4.isVisible());
    EXPECT_TRUE(wave.isVisible());
}

TEST_F(MainWindowTest, VersionShowsTheAboutWindowWithoutBlocking) {
    window.show();
    ASSERT_FALSE(about.isVisible());
    window.action(QStringLiteral("dver"))->trigger();
    EXPECT_TRUE(about.isVisible());
    EXPECT_FALSE(about.isModal());
}

TEST_F(MainWindowTest, HelpOpensThePageBesideTheExecutableOrSaysWhyNot) {
    window.show();
    window.action(QStringLiteral("gohelp"))->trigger();
    ASSERT_EQ(launcher.opened.size(), 1);
    EXPECT_EQ(QDir::cleanPath(launcher.opened.front()),
              QDir::cleanPath(QCoreApplication::applicationDirPath() +
                              QStringLiteral("/kr5auhelp.html")));
    EXPECT_TRUE(dialogs.shown.empty());

    // A failure is reported and the program goes on.
    launcher.openSucceeds = false;
    window.action(QStringLiteral("gohelp"))->trigger();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Can not Find IE"));
    EXPECT_TRUE(dialogs.shown[0].title.isEmpty());
    EXPECT_EQ(dialogs.shown[0].buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(ends, 0);
    EXPECT_TRUE(window.isVisible());
}

}  // namespace
}  // namespace kr5
