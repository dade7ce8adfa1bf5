// The About window and the route to the system-information tool. Where the identifications and
// loopcal come from is left to the whole-program test.
#include "about/aboutwindow.h"
#include "about/sysinfo.h"
#include "app/windowfakes.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>

namespace kr5 {
namespace {

using namespace windowfakes;

const QStringList kTools{"hardinfo", "kinfocenter", "gnome-system-monitor"};

struct AboutWindowTest : ::testing::Test {
    QPushButton* button(const char* name) const {
        return about.findChild<QPushButton*>(QLatin1String(name));
    }

    test::FakeDialogs dialogs;
    RecordingLauncher launcher;
    AboutWindow about{dialogs, launcher, SysInfoPlaces{{}, {}, kTools}};
};

// Units not found are left empty; OK and the title bar only hide the window, never modal.
TEST_F(AboutWindowTest, ShowsWhatItIsGivenAndOnlyHides) {
    EXPECT_TRUE(labelTexts(about, "lblVersion").endsWith(QLatin1String(KR5_PROJECT_VERSION)));
    about.setUnitIds(QStringLiteral("KR-5 V1.20   "), QStringLiteral("AU-1 V2.00   "),
                     QStringLiteral("ZN-4 V1.00   "));
    about.setClockCalibration(48213);
    EXPECT_EQ(labelTexts(about, "Label2 Label3 Label4 Label5"),
              "KR-5 V1.20   |AU-1 V2.00   |ZN-4 V1.00   |48213");
    about.setUnitIds(QStringLiteral("KR-5 V1.20   "), QString(), QString());
    EXPECT_EQ(labelTexts(about, "Label2 Label3 Label4"), "KR-5 V1.20   ||");
    ASSERT_TRUE(button("cmdOK") && button("cmdSysInfo"));
    about.show();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    button("cmdOK")->click();
    EXPECT_FALSE(about.isVisible());
    about.show();
    EXPECT_FALSE(about.close());
    EXPECT_FALSE(about.isVisible());
}

TEST_F(AboutWindowTest, SystemInfoStartsTheFirstInstalledToolOrShowsTheMessage) {
    button("cmdSysInfo")->click();
    EXPECT_EQ(launcher.searched, kTools);
    EXPECT_TRUE(launcher.started.empty());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text == kNoSysInfoText &&
                dialogs.shown[0].buttons == Dialogs::Buttons::Ok);

    launcher.installed = {
        {QStringLiteral("kinfocenter"), QStringLiteral("/usr/bin/kinfocenter")},
        {QStringLiteral("gnome-system-monitor"), QStringLiteral("/usr/bin/gnome-system-monitor")}};
    button("cmdSysInfo")->click();
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, QStringLiteral("/usr/bin/kinfocenter"));
    // A tool that will not start ends the attempt without a message.
    launcher.failingPrograms = {QStringLiteral("/usr/bin/kinfocenter")};
    button("cmdSysInfo")->click();
    EXPECT_EQ(launcher.started.size(), 2u);
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST(SysInfoRegistry, PathEntryFirstThenTheSharedToolsFolderWhenTheProgramIsThere) {
    const QString pathEntry = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH");
    const QString folderEntry = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO");
    const QString sharedExe = QStringLiteral("C:\\Shared\\MSINFO\\MSINFO32.EXE");
    QMap<QString, QString> values{{pathEntry, QStringLiteral("C:\\Tools\\msinfo32.exe")},
                                  {folderEntry, QStringLiteral("C:\\Shared\\MSINFO")}};
    QStringList existing{sharedExe};
    QStringList asked;
    test::FakeDialogs dialogs;
    RecordingLauncher launcher;
    SysInfoPlaces places;
    places.machineValue = [&](const QString& key, const QString& value) {
        asked << key + QLatin1Char('|') + value;
        return values.value(key + QLatin1Char('|') + value);
    };
    places.fileExists = [&](const QString& path) { return existing.contains(path); };

    startSysInfo(launcher, dialogs, places);
    EXPECT_EQ(asked, QStringList{pathEntry});
    values.remove(pathEntry);
    startSysInfo(launcher, dialogs, places);
    ASSERT_EQ(launcher.started.size(), 2u);
    EXPECT_EQ(QStringList({launcher.started[0].program, launcher.started[1].program}),
              QStringList({"C:\\Tools\\msinfo32.exe", sharedExe}));
    EXPECT_TRUE(dialogs.shown.empty());
    existing.clear();  // the folder counts only when the program is there
    asked.clear();
    startSysInfo(launcher, dialogs, places);
    EXPECT_EQ(asked, (QStringList{pathEntry, folderEntry}));
    EXPECT_EQ(launcher.started.size(), 2u);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, kNoSysInfoText);
}

}  // namespace
}  // namespace kr5
