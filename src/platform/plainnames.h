// The plain words a screen reader says for each of the program's controls ("Charge, pC"
// for Vpeak), beside the program's own short name, which stays the object name and the
// accessible description. The same short name means different controls in different
// windows (Label4, Command1, peakb(3)), so the words are looked up by the window or panel
// the control belongs to.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace kr5 {

// The words for a control, and whether they are said with what the control shows: a
// readout is "Charge, pC: 12.35", a caption or a button its words alone.
struct PlainName {
    QString words;
    bool withText = false;
};

// The words for the control `name` on the form named `form` (a window's or a panel's
// object name); a member of a control array ("peakb(3)") takes its array's words with
// its index or caption filled in. Empty words when the table has none.
PlainName plainName(const QString& form, const QString& name);

// The words for `control`, named `name`: the nearest of its ancestors that the table
// knows as a form decides, then the words any form shares ("GRA", named before its
// window has its name). Empty words when the table has none.
PlainName plainNameOf(const QObject* control, const QString& name);

}  // namespace kr5
