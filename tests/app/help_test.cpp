// The help page found and shown in the program's own window, handed to a browser on request,
// and the main window's keys.
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
#include <QPushButton>
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
    void open() { openHelp(dialogs, viewer, folders.both()); }
    QString shownPage() const {
        return viewer.window() ? viewer.window()->browser()->source().toLocalFile() : QString();
    }
    Folders folders;
    RecordingLauncher launcher;
    test::FakeDialogs dialogs;
    HelpWindowViewer viewer{launcher, dialogs};
};

// F1 shows the page in the program's own window at once, the copy beside the executable
// before the installed one; a page found nowhere is reported with the folders looked in.
TEST_F(Help, ThePageShowsAtOnceTheOneBesideTheExecutableFirst) {
    open();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const QString& text = dialogs.shown[0].text;
    EXPECT_TRUE(text.contains(kHelpPageName) &&
                text.contains(QDir::toNativeSeparators(folders.beside())) &&
                text.contains(QDir::toNativeSeparators(folders.data())))
        << text.toStdString();
    EXPECT_EQ(viewer.window(), nullptr);

    const QString installed = folders.putPage(folders.data());
    open();
    HelpWindow* window = viewer.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(shownPage(), installed);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("KR-5AU help"));  // the page's title
    EXPECT_TRUE(window->browser()->isReadOnly());
    EXPECT_TRUE(window->browser()->toPlainText().contains(QStringLiteral("The front panel")));

    window->close();
    const QString beside = folders.putPage(folders.beside());
    open();
    EXPECT_TRUE(viewer.window() == window && window->isVisible());  // always the same one
    EXPECT_EQ(shownPage(), beside);
    EXPECT_TRUE(launcher.opened.isEmpty() && launcher.started.empty());  // no browser waited for
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

// Open in browser hands the page shown to the desktop's browser; one that does not start
// is reported, and the page stays in the window.
TEST_F(Help, OpenInBrowserHandsThePageOnAndABrowserThatFailsIsReported) {
    const QString page = folders.putPage(folders.data());
    open();
    auto* inBrowser = viewer.window()->findChild<QPushButton*>(QStringLiteral("helpbrowser"));
    ASSERT_NE(inBrowser, nullptr);
    inBrowser->click();
    EXPECT_EQ(launcher.opened, QStringList{page});
    EXPECT_TRUE(dialogs.shown.empty());
    ASSERT_TRUE(launcher.openFailsLater);
    launcher.openFailsLater();  // the opener started, then found no browser
    launcher.openSucceeds = false;
    inBrowser->click();  // one that does not start at all
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].text, kNoBrowserText);
    EXPECT_TRUE(viewer.window()->isVisible());
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
TEST_F(Help, EachKeyDoesWhatItsItemDoes) {
    QWidget about;
    MainWindow window{dialogs, launcher, about};
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
    QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(window.isVisible());  // Exit only asks the loop to end
    // A disabled item's key does nothing: Save is disabled while a file is prepared.
    window.menu().save->setEnabled(false);
    QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saves, 1);
    QTest::keyClick(&window, Qt::Key_F1);
    ASSERT_NE(window.helpWindow(), nullptr);
    EXPECT_EQ(window.helpWindow()->browser()->source().toLocalFile(),
              QDir(folders.beside()).filePath(kHelpPageName));
}

}  // namespace
}  // namespace kr5
