#include "statusline.h"

#include <QStringList>

namespace kr5 {

QString statusLine(const Globals& g, const PanelTexts& panel, const QString& cycleMs) {
    QStringList units{QStringLiteral("KR")};
    if (g.acuok) {
        units << QStringLiteral("AU");
    }
    if (g.znok) {
        units << QStringLiteral("ZN");
    }
    return QStringLiteral("port %1 | %2 | Q %3 pC | N %4 P.P.S. | Es %5 V | TV %6 | cycle %7 ms")
        .arg(g.portstr, units.join(QLatin1Char(' ')), panel.vpeak, panel.vpps, panel.des, panel.dtv,
             cycleMs);
}

}  // namespace kr5
