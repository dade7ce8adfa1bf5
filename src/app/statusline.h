// The one-line status the program prints each second when started with --status, so
// that it can be watched on a machine without a display.
#pragma once

#include "app/globals.h"

#include <QString>

namespace kr5 {

// What the panel shows, as shown.
struct PanelTexts {
    QString vpeak;  // charge, pC
    QString vpps;   // pulse rate, P.P.S.
    QString des;    // Es, V
    QString dtv;    // TV
};

// "port 1 | KR AU ZN | Q .00 pC | N .0 P.P.S. | Es 00.0 V | TV  0V | cycle 37 ms"
QString statusLine(const Globals& g, const PanelTexts& panel, const QString& cycleMs);

}  // namespace kr5
