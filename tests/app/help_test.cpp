// The help page found, in a browser or the program's own window, and the main window's keys.
// The classic browser route and the menu's captions are in mainwindow_test.cpp.
#include "app/help/helplauncher.h"
#include "app/help/helpwindow.h"
#include "app/mainwindow.h"
#include "app/windowfakes.h"
#include "support/fakedialogs.h"
#include "support/filebytes.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

namespace kr5 {
namespace {

using namespace windowfakes;

// Two folders standing for the executable's and the installed data folder, either of
// which may hold a copy of the real page.
struct Folders {
    Folders() {
        QDir(root.path()).mkpath(QStringLiteral("bin"));
        QDir(root.path()).mkpath(QStringLiteral("share/kr5au"));
    }
    QString beside() const { return root.filePath(QStringLiteral("bin")); }
    QString data() const { return root.filePath(QStringLiteral("share/kr5au")); }
    QStringList both() const { return {beside(), data()}; }
    QString putPage(const QString& folder) const {
        const QString page = QDir(folder).filePath(kHelpPageName);
        EXPECT_TRUE(QFile::copy(QStringLiteral(KR5_HELP_PAGE_SOURCE), page));
        return page;
    }
    QTemporaryDir root;
};

struct Help : ::testing::Test {
    void open(HelpRoute route = HelpRoute::DefaultBrowser) {
        openHelp(launcher, dialogs, viewer, folders.both(), route);
    }
    Folders folders;
    RecordingLauncher launcher;
    test::FakeDialogs dialogs;
    HelpWindowViewer viewer;
};

// A page found nowhere is reported with the folders looked in.
TEST_F(Help, ThePageBesideTheExecutableComesFirstThenTheDataFolder) {
    open();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const QString& text = dialogs.shown[0].text;
    EXPECT_TRUE(text.contains(kHelpPageName) &&
                text.contains(QDir::toNativeSeparators(folders.beside())) &&
                text.contains(QDir::toNativeSeparators(folders.data())))
        << text.toStdString();
    EXPECT_EQ(dialogs.shown[0].buttons, Dialogs::Buttons::Ok);

    const QString installed = folders.putPage(folders.data());
    open();
    const QString beside = folders.putPage(folders.beside());
    open();
    EXPECT_EQ(launcher.opened, (QStringList{installed, beside}));
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(viewer.window(), nullptr);  // the browser opened it: no window of our own
}

// A browser that the opener finds missing only after starting, one that does not start, or
// neither classic browser: the page shows in the program's own window, always the same one.
TEST_F(Help, WithoutTheBrowserThePageShowsInTheProgramsOwnWindow) {
    const QString page = folders.putPage(folders.data());
    open();  // the opener started: nothing to show yet
    EXPECT_EQ(viewer.window(), nullptr);
    ASSERT_TRUE(launcher.openFailsLater);
    launcher.openFailsLater();  // ... and then it found no browser
    HelpWindow* window = viewer.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("KR-5AU help"));  // the page's title
    const QTextBrowser* text = window->browser();
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("The front panel")));
    EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("kr5au1.ini")));

    window->close();
    launcher.openSucceeds = false;
    open();
    EXPECT_EQ(launcher.opened, (QStringList{page, page}));  // the browser was tried first
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown[0].text.toStdString();
    EXPECT_TRUE(viewer.window() == window && window->isVisible());

    // So too by the classic route, after its message.
    window->close();
    launcher.failingPrograms = QStringList{
        QStringLiteral("c:\\program files\\Internet Explorer\\Iexplore.exe"),
        QStringLiteral("c:\\program files\\netscape\\communicator\\program\\netscape.exe")};
    open(HelpRoute::ClassicBrowsers);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, kNoBrowserText);
    EXPECT_TRUE(viewer.window() == window && window->isVisible());
}

// A link in the page moves within the window (Tab to the link, Enter follows it).
TEST(HelpWindowLinks, ALinkInThePageOpensItsTargetInTheWindow) {
    QTemporaryDir dir;
    ASSERT_TRUE(
        test::writeBytes(dir.filePath(QStringLiteral("first.html")),
                         "<html><body><p><a href=\"second.html\">on</a></p></body></html>"));
    ASSERT_TRUE(test::writeBytes(dir.filePath(QStringLiteral("second.html")),
                                 "<html><body><p>The second page</p></body></html>"));
    HelpWindow window;
    window.showPage(dir.filePath(QStringLiteral("first.html")));
    QTextBrowser* text = window.browser();
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Tab);
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_TRUE(text->source().toLocalFile().endsWith(QLatin1String("second.html")))
        << text->source().toString().toStdString();
    EXPECT_TRUE(text->toPlainText().contains(QLatin1String("The second page")));
}

// The keys of the main window go through its menu items: the work wired to an item is
// done by its key as well.
TEST(Keys, EachKeyDoesWhatItsItemDoes) {
    test::FakeDialogs dialogs;
    RecordingLauncher launcher;
    QWidget about;
    MainWindow window{dialogs, launcher, about};
    Folders folders;
    int ends = 0;
    int saves = 0;
    QObject::connect(&window, &MainWindow::endRequested, &window, [&] { ++ends; });
    QObject::connect(window.menu().save, &QAction::triggered, &window, [&] { ++saves; });
    folders.putPage(folders.beside());
    window.setHelpFolders(folders.both());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(std::pair(saves, ends), std::pair(1, 0));
    QTest::keyClick(&window, Qt::Key_F1);
    EXPECT_EQ(launcher.opened, QStringList{QDir(folders.beside()).filePath(kHelpPageName)});
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(window.isVisible());  // Exit only asks the loop to end
    // A disabled item's key does nothing: Save is disabled while a file is prepared.
    window.menu().save->setEnabled(false);
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saves, 1);
}

}  // namespace
}  // namespace kr5
