// The help page: the classic browser sequence and the page installed beside kr5au.
#include "app/help/helplauncher.h"
#include "app/windowfakes.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QFile>

namespace kr5 {
namespace {

using windowfakes::RecordingLauncher;

const QString kPage = QStringLiteral("C:/kr5au/kr5auhelp.html");
const QString kNativePage = QStringLiteral("C:\\kr5au\\kr5auhelp.html");
const QString kIe = QStringLiteral("c:\\program files\\Internet Explorer\\Iexplore.exe");
const QString kNetscape =
    QStringLiteral("c:\\program files\\netscape\\communicator\\program\\netscape.exe");

TEST(HelpClassicBrowsers, InternetExplorerOpensThePageAndNothingElseHappens) {
    test::FakeDialogs dialogs;
    RecordingLauncher launcher;
    gohelp(launcher, dialogs, kPage, HelpRoute::ClassicBrowsers);

    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, kIe);
    EXPECT_EQ(launcher.started[0].arguments, QStringList{kNativePage});
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(launcher.opened.isEmpty());
}

TEST(HelpClassicBrowsers, MissingExplorerIsReportedThenNetscapeThenTheDefaultBrowser) {
    test::FakeDialogs dialogs;
    RecordingLauncher launcher;
    launcher.failingPrograms = {kIe};
    gohelp(launcher, dialogs, kPage, HelpRoute::ClassicBrowsers);

    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Can not Find IE"));
    EXPECT_TRUE(dialogs.shown[0].title.isEmpty());
    ASSERT_EQ(launcher.started.size(), 2u);
    EXPECT_EQ(launcher.started[1].program, kNetscape);
    EXPECT_EQ(launcher.started[1].arguments, QStringList{kNativePage});
    EXPECT_TRUE(launcher.opened.isEmpty());

    // With neither classic browser the desktop's default one gets the page.
    test::FakeDialogs dialogs2;
    RecordingLauncher launcher2;
    launcher2.failingPrograms = {kIe, kNetscape};
    gohelp(launcher2, dialogs2, kPage, HelpRoute::ClassicBrowsers);
    EXPECT_EQ(dialogs2.shown.size(), 1u);
    EXPECT_EQ(launcher2.opened, QStringList{kPage});
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
