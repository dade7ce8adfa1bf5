// The logging categories of the link and of discovery. They are quiet unless asked for:
// debug and info messages show only when QT_LOGGING_RULES turns them on, for example
//   QT_LOGGING_RULES="kr5au.link.debug=true;kr5au.discovery.info=true" kr5au
// What the operator must see goes to the windows or the terminal instead.
#pragma once

#include <QLoggingCategory>

namespace kr5 {

Q_DECLARE_LOGGING_CATEGORY(lcLink)       // kr5au.link: replies not taken, stalls, the port
Q_DECLARE_LOGGING_CATEGORY(lcDiscovery)  // kr5au.discovery: the ports scanned, what answered

}  // namespace kr5
