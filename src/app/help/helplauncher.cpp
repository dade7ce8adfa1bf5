#include "helplauncher.h"

#include <QCoreApplication>
#include <QDir>

namespace kr5 {

namespace {

const QString kIexplore = QStringLiteral("c:\\program files\\Internet Explorer\\Iexplore.exe");
const QString kNetscape =
    QStringLiteral("c:\\program files\\netscape\\communicator\\program\\netscape.exe");

}  // namespace

QString helpPagePath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(kHelpPageName);
}

HelpRoute platformHelpRoute() {
#ifdef Q_OS_WIN
    return HelpRoute::ClassicBrowsers;
#else
    return HelpRoute::DefaultBrowser;
#endif
}

void gohelp(Launcher& launcher, Dialogs& dialogs, const QString& page, HelpRoute route) {
    if (route == HelpRoute::DefaultBrowser) {
        if (!launcher.openDocument(page)) {
            dialogs.message(kNoBrowserText, QString(), Dialogs::Buttons::Ok);
        }
        return;
    }
    // The classic browsers take a Windows path on their command line.
    const QString nativePage = QString(page).replace(QLatin1Char('/'), QLatin1Char('\\'));
    if (launcher.startProgram(kIexplore, {nativePage})) {
        return;
    }
    dialogs.message(kNoBrowserText, QString(), Dialogs::Buttons::Ok);
    if (launcher.startProgram(kNetscape, {nativePage})) {
        return;
    }
    // Neither classic browser is installed on a current system; the page should still
    // open somewhere.
    launcher.openDocument(page);
}

}  // namespace kr5
