// The registry route to the system-information tool, as Windows takes it: the tool's own
// PATH entry first, then MSINFO32.EXE in the shared-tools folder when that file exists,
// else the message.
#include "about/sysinfo.h"
#include "app/windowfakes.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QMap>

namespace kr5 {
namespace {

using windowfakes::RecordingLauncher;

const QString kPathEntry = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH");
const QString kFolderEntry = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO");

struct Registry {
    QMap<QString, QString> values;  // "key|value" -> data
    QStringList existing;           // files that exist
    QStringList asked;
    test::FakeDialogs dialogs;
    RecordingLauncher launcher;

    void startSysInfo() {
        SysInfoPlaces places;
        places.machineValue = [this](const QString& key, const QString& value) {
            asked << key + QLatin1Char('|') + value;
            return values.value(key + QLatin1Char('|') + value);
        };
        places.fileExists = [this](const QString& path) { return existing.contains(path); };
        kr5::startSysInfo(launcher, dialogs, places);
    }
};

TEST(SysInfoRegistry, ThePathEntryWinsOverTheSharedToolsFolder) {
    Registry reg;
    reg.values[kPathEntry] = QStringLiteral("C:\\Tools\\msinfo32.exe");
    reg.values[kFolderEntry] = QStringLiteral("C:\\Other");
    reg.startSysInfo();
    ASSERT_EQ(reg.launcher.started.size(), 1u);
    EXPECT_EQ(reg.launcher.started[0].program, QStringLiteral("C:\\Tools\\msinfo32.exe"));
    EXPECT_EQ(reg.asked, QStringList{kPathEntry});
    EXPECT_TRUE(reg.dialogs.shown.empty());
}

TEST(SysInfoRegistry, SharedToolsFolderCountsOnlyWhenTheProgramIsThere) {
    Registry reg;
    reg.values[kFolderEntry] = QStringLiteral("C:\\Shared\\MSINFO");
    reg.startSysInfo();
    EXPECT_EQ(reg.asked, (QStringList{kPathEntry, kFolderEntry}));
    EXPECT_TRUE(reg.launcher.started.empty());
    ASSERT_EQ(reg.dialogs.shown.size(), 1u);
    EXPECT_EQ(reg.dialogs.shown[0].text, kNoSysInfoText);
    EXPECT_EQ(reg.dialogs.shown[0].buttons, Dialogs::Buttons::Ok);

    reg.existing = {QStringLiteral("C:\\Shared\\MSINFO\\MSINFO32.EXE")};
    reg.startSysInfo();
    ASSERT_EQ(reg.launcher.started.size(), 1u);
    EXPECT_EQ(reg.launcher.started[0].program, QStringLiteral("C:\\Shared\\MSINFO\\MSINFO32.EXE"));
    EXPECT_EQ(reg.dialogs.shown.size(), 1u);
}

}  // namespace
}  // namespace kr5
