#include "helplauncher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace kr5 {

namespace {

const QString kIexplore = QStringLiteral("c:\\program files\\Internet Explorer\\Iexplore.exe");
const QString kNetscape =
    QStringLiteral("c:\\program files\\netscape\\communicator\\program\\netscape.exe");

// The last resort of both routes: the desktop's browser, then the program's own window.
void showWithoutBrowser(Dialogs& dialogs, const QString& page, HelpRoute route,
                        HelpViewer* viewer) {
    if (viewer != nullptr) {
        viewer->showPage(page);
    } else if (route == HelpRoute::DefaultBrowser) {
        dialogs.notify(kNoBrowserText);
    }
}

void openAnyhow(Launcher& launcher, Dialogs& dialogs, const QString& page, HelpRoute route,
                HelpViewer* viewer) {
    // The viewer and the dialogs belong to the main window, which outlives any opener it
    // starts while the program runs.
    const auto failedLater = [&dialogs, page, route, viewer] {
        showWithoutBrowser(dialogs, page, route, viewer);
    };
    if (!launcher.openDocument(page, failedLater)) {
        showWithoutBrowser(dialogs, page, route, viewer);
    }
}

}  // namespace

QStringList defaultHelpFolders() {
    return {QCoreApplication::applicationDirPath()};
}

QString findHelpPage(const QStringList& folders) {
    for (const QString& folder : folders) {
        const QString page = QDir(folder).filePath(kHelpPageName);
        if (QFileInfo(page).isFile()) {
            return page;
        }
    }
    return {};
}

QString noHelpPageText(const QStringList& folders) {
    QString text = QStringLiteral("The help page %1 was not found. Looked in:").arg(kHelpPageName);
    for (const QString& folder : folders) {
        text += QLatin1Char('\n') + QDir::toNativeSeparators(folder);
    }
    return text;
}

HelpRoute platformHelpRoute() {
#ifdef Q_OS_WIN
    return HelpRoute::ClassicBrowsers;
#else
    return HelpRoute::DefaultBrowser;
#endif
}

void openHelpPage(Launcher& launcher, Dialogs& dialogs, const QString& page, HelpRoute route,
                  HelpViewer* viewer) {
    if (route == HelpRoute::DefaultBrowser) {
        openAnyhow(launcher, dialogs, page, route, viewer);
        return;
    }
    // The classic browsers take a Windows path on their command line.
    const QString nativePage = QString(page).replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (launcher.startProgram(kIexplore, {nativePage})) {
        return;
    }
    dialogs.notify(kNoBrowserText);
    if (launcher.startProgram(kNetscape, {nativePage})) {
        return;
    }
    // Neither classic browser is installed on a current system; the page should still
    // open somewhere.
    openAnyhow(launcher, dialogs, page, route, viewer);
}

void openHelp(Dialogs& dialogs, HelpViewer& viewer, const QStringList& folders) {
    const QString page = findHelpPage(folders);
    if (page.isEmpty()) {
        dialogs.notify(noHelpPageText(folders));
        return;
    }
    viewer.showPage(page);
}

}  // namespace kr5
