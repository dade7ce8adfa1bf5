// Opening the help page kr5auhelp.html: found beside the executable or in the installed
// data folder and shown in a window of the program's own, which can hand it on to a
// browser. Help never fails silently: either the page shows, or a message says why not.
#pragma once

#include "platform/dialogs.h"
#include "platform/launcher.h"

#include <QString>
#include <QStringList>

namespace kr5 {

// How the page is opened in a browser. Windows keeps the classic sequence: Internet
// Explorer, the "Can not Find IE" message when it is missing, then Netscape, and as a last
// resort the desktop's default browser. Everywhere else the default browser opens it.
enum class HelpRoute { DefaultBrowser, ClassicBrowsers };

inline const QString kHelpPageName = QStringLiteral("kr5auhelp.html");
inline const QString kNoBrowserText = QStringLiteral("Can not Find IE");

// Shows a page without a browser (HelpWindow in the program).
class HelpViewer {
  public:
    virtual ~HelpViewer() = default;
    virtual void showPage(const QString& path) = 0;
};

// The folder of the executable, where the page lies in the build folder.
QStringList defaultHelpFolders();

// <folder>/kr5auhelp.html of the first folder that has it; empty when none does.
QString findHelpPage(const QStringList& folders);

// The message when the page is in none of the folders; it names them.
QString noHelpPageText(const QStringList& folders);

HelpRoute platformHelpRoute();

// Opens the page in a browser by the route; when the route's last browser fails, in
// viewer (without one, the failure is only reported on the default route).
void openHelpPage(Launcher& launcher, Dialogs& dialogs, const QString& page, HelpRoute route,
                  HelpViewer* viewer = nullptr);

// Help(&H): finds the page in folders and shows it in viewer, or says where it looked.
void openHelp(Dialogs& dialogs, HelpViewer& viewer, const QStringList& folders);

}  // namespace kr5
