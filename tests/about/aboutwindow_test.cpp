// The About window: its fixed texts and version, the unit identifications and loopcal it
// is given, hiding by OK and by the title bar, and the system-information button.
#include "about/aboutwindow.h"
#include "app/windowfakes.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace kr5 {
namespace {

using windowfakes::RecordingLauncher;

SysInfoPlaces toolList() {
    SysInfoPlaces places;
    places.programs = {QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
                       QStringLiteral("gnome-system-monitor")};
    return places;
}

// The program's title as the platform reports it; set before the window is built.
struct ProgramTitle {
    ProgramTitle() { QCoreApplication::setApplicationName(QStringLiteral("KR5AU")); }
};

class AboutWindowTest : public ::testing::Test {
  protected:
    QString textOf(const char* name) const {
        const auto* label = about.findChild<QLabel*>(QLatin1String(name));
        return label == nullptr ? QStringLiteral("<missing>") : label->text();
    }
    QPushButton* button(const char* name) const {
        return about.findChild<QPushButton*>(QLatin1String(name));
    }

    ProgramTitle title;
    test::FakeDialogs dialogs;
    RecordingLauncher launcher;
    AboutWindow about{dialogs, launcher, toolList()};
};

TEST_F(AboutWindowTest, ShowsTitleVersionAndFixedTexts) {
    EXPECT_EQ(about.objectName(), QStringLiteral("About"));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("KR5AUのﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(textOf("lblTitle"), QStringLiteral("KR5AU"));
    EXPECT_EQ(textOf("lblVersion"), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.5.46"));
    EXPECT_EQ(textOf("lblDescription"), QStringLiteral("Partial discharge detector system"));
    EXPECT_EQ(textOf("Label1"), QStringLiteral("Units"));
    ASSERT_NE(about.findChild<QLabel*>(QStringLiteral("picIcon")), nullptr);
    EXPECT_FALSE(about.findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap().isNull());
    ASSERT_TRUE(button("cmdOK") && button("cmdSysInfo"));
    EXPECT_EQ(button("cmdOK")->text(), QStringLiteral("OK"));
    EXPECT_EQ(button("cmdSysInfo")->text(), QStringLiteral("system info.(&S)..."));

    for (const QWidget* control : about.findChildren<QWidget*>()) {
        EXPECT_FALSE(control->objectName().isEmpty());
        EXPECT_EQ(control->accessibleDescription(), control->objectName());
    }
}

TEST_F(AboutWindowTest, ShowsTheUnitsAndLoopcalItIsGiven) {
    about.setUnitIds(QStringLiteral("KR-5 V1.20   "), QStringLiteral("AU-1 V2.00   "),
                     QStringLiteral("ZN-4 V1.00   "));
    about.setLoopcal(48213);
    EXPECT_EQ(textOf("Label2"), QStringLiteral("KR-5 V1.20   "));
    EXPECT_EQ(textOf("Label3"), QStringLiteral("AU-1 V2.00   "));
    EXPECT_EQ(textOf("Label4"), QStringLiteral("ZN-4 V1.00   "));
    EXPECT_EQ(textOf("Label5"), QStringLiteral("48213"));

    // Units that were not found leave their lines empty.
    about.setUnitIds(QStringLiteral("KR-5 V1.20   "), QString(), QString());
    EXPECT_TRUE(textOf("Label3").isEmpty());
    EXPECT_TRUE(textOf("Label4").isEmpty());
}

TEST_F(AboutWindowTest, OkAndTheTitleBarOnlyHideTheWindow) {
    about.show();
    button("cmdOK")->click();
    EXPECT_FALSE(about.isVisible());

    about.show();
    EXPECT_FALSE(about.close());
    EXPECT_FALSE(about.isVisible());

    // It is still there to be shown again.
    about.show();
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(AboutWindowTest, SystemInfoWithoutAnyToolShowsTheMessage) {
    button("cmdSysInfo")->click();
    EXPECT_EQ(launcher.searched, toolList().programs);
    EXPECT_TRUE(launcher.started.empty());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"));
    EXPECT_EQ(dialogs.shown[0].buttons, Dialogs::Buttons::Ok);
}

TEST_F(AboutWindowTest, SystemInfoStartsTheFirstInstalledTool) {
    launcher.installed = {
        {QStringLiteral("kinfocenter"), QStringLiteral("/usr/bin/kinfocenter")},
        {QStringLiteral("gnome-system-monitor"), QStringLiteral("/usr/bin/gnome-system-monitor")}};
    button("cmdSysInfo")->click();
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, QStringLiteral("/usr/bin/kinfocenter"));
    EXPECT_TRUE(dialogs.shown.empty());

    // A tool that will not start ends the attempt without a message.
    launcher.failingPrograms = {QStringLiteral("/usr/bin/kinfocenter")};
    button("cmdSysInfo")->click();
    EXPECT_EQ(launcher.started.size(), 2u);
    EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace kr5
