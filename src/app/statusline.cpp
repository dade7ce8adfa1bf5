#include "statusline.h"

#include <QStringList>

namespace kr5 {

QString statusLine(const UnitsOnLine& units, const PanelReadouts& panel, const QString& cycleMs,
                   const QString& unitStatus, const QString& acceptance, qsizetype linesWaiting,
                   int testsWaiting) {
    QStringList present{QStringLiteral("KR")};
    if (units.acUnitPresent()) {
        present << QStringLiteral("AU");
    }
    if (units.discriminatorPresent()) {
        present << QStringLiteral("ZN");
    }
    QString line =
        QStringLiteral("port %1 | %2 | Q %3 pC | N %4 P.P.S. | Es %5 V | TV %6 | cycle %7 ms")
            .arg(units.portDigit(), present.join(QLatin1Char(' ')), panel.charge, panel.pulseRate,
                 panel.es, panel.testVoltage, cycleMs);
    if (!unitStatus.isEmpty()) {
        line += QStringLiteral(" | ") + unitStatus;
    }
    if (linesWaiting > 0) {
        line += QStringLiteral(" | file: %1 lines waiting").arg(linesWaiting);
    }
    if (testsWaiting > 0) {
        line += QStringLiteral(" | results: %1 tests waiting").arg(testsWaiting);
    }
    if (!acceptance.isEmpty()) {
        line += QStringLiteral(" | ") + acceptance;
    }
    return line;
}

}  // namespace kr5
