#include "diagnostics.h"

namespace kr5 {

Q_LOGGING_CATEGORY(lcLink, "kr5au.link", QtWarningMsg)
Q_LOGGING_CATEGORY(lcDiscovery, "kr5au.discovery", QtWarningMsg)

}  // namespace kr5
