// Opening the help page kr5auhelp.html, which is installed beside the executable.
#pragma once

#include "platform/dialogs.h"
#include "platform/launcher.h"

#include <QString>

namespace kr5 {

// How the page is opened. Windows keeps the classic sequence: Internet Explorer, the
// "Can not Find IE" message when it is missing, then Netscape, and as a last resort the
// desktop's default browser. Everywhere else the default browser opens it, and the
// message is shown when that fails.
enum class HelpRoute { DefaultBrowser, ClassicBrowsers };

inline const QString kHelpPageName = QStringLiteral("kr5auhelp.html");
inline const QString kNoBrowserText = QStringLiteral("Can not Find IE");

// <folder of the executable>/kr5auhelp.html
QString helpPagePath();

HelpRoute platformHelpRoute();

// Opens the page. A failure is shown, never fatal: the program runs on.
void gohelp(Launcher& launcher, Dialogs& dialogs, const QString& page, HelpRoute route);

}  // namespace kr5
