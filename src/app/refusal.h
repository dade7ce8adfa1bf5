// A request from a window that the session refuses is explained in a message box: the
// operator clicked something and must learn why nothing happened.
#pragma once

#include "platform/dialogs.h"
#include "session/session.h"

#include <QString>

namespace kr5 {

// Tells the operator that `what` cannot be done, and why, when the outcome says so; true
// when it was refused.
inline bool tellIfRefused(Dialogs& dialogs, const QString& what, const Outcome& outcome) {
    if (outcome) {
        return false;
    }
    dialogs.notify(QStringLiteral("%1 is not possible: %2").arg(what, outcome.why));
    return true;
}

}  // namespace kr5
