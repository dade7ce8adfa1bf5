#include "recordlines.h"

#include "core/format.h"

namespace kr5 {

namespace {

const QString comma = QStringLiteral(",");
// The filler of two-value lines: ,"dummy" three times.
const QString dummyColumns = QStringLiteral(",\"dummy\",\"dummy\",\"dummy\"");

QString textLine(const QString& key, const QString& value) {
    return csvText(key) + comma + csvText(value) + dummyColumns;
}

QString numberLine(const QString& key, double value) {
    return csvText(key) + comma + numberForm(value) + dummyColumns;
}

}  // namespace

QString csvText(const QString& text) {
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

QString versionText() {
    return numberForm(KR5_VERSION_MAJOR) + QLatin1Char('.') + numberForm(KR5_VERSION_MINOR) +
           QLatin1Char('.') + numberForm(KR5_VERSION_PATCH);
}

QStringList headerLines(const InputConstants& c, const UnitsOnLine& units, const QDate& date) {
    return {
        textLine(QStringLiteral("Name"), c.name),
        textLine(QStringLiteral("Date"), date.toString(QStringLiteral("MM-dd-yyyy"))),
        textLine(QStringLiteral("No."), c.number),
        textLine(QStringLiteral("Temp."), c.temperature),
        textLine(QStringLiteral("RH"), c.humidity),
        numberLine(QStringLiteral("PT ratio"), c.ptRatio),
        numberLine(QStringLiteral("Adjust"), c.adjust),
        numberLine(QStringLiteral("Set Q"), c.setQ),
        numberLine(QStringLiteral("Start"), c.startCount),
        textLine(QStringLiteral("Mes. Program"), QStringLiteral("KR-5au")),
        textLine(QStringLiteral("Version"), versionText()),
        textLine(QStringLiteral("PD Unit"), units.unit(UnitKind::Detector).ident),
        textLine(QStringLiteral("AC Unit"), units.unit(UnitKind::AcUnit).ident),
        QStringLiteral("\"ATT.R\",\"pC\",\"RATE.R\",\"P.P.S\",\"TV\""),
    };
}

QString timeText(const QDateTime& t) {
    return t.time().toString(QStringLiteral("HH:mm:ss"));
}

QString markerLine(const QString& tag, const QDateTime& t) {
    return csvText(tag) + comma + csvText(timeText(t)) + dummyColumns;
}

QString qnStartLine(const QString& condition, const QString& testVoltage, qint32 passes,
                    const QDateTime& t) {
    return csvText(QStringLiteral("QNstartD")) + comma + csvText(timeText(t)) + comma +
           csvText(condition) + comma + csvText(testVoltage) + comma + numberForm(passes);
}

QString dataRowLine(qint32 att, double q, qint32 rateIndex, double pps, double tv) {
    const QString oneDecimal = QStringLiteral(".0");
    return numberForm(att) + comma + formatPattern(q, oneDecimal) + comma + numberForm(rateIndex) +
           comma + formatPattern(pps, oneDecimal) + comma + formatPattern(tv, oneDecimal);
}

}  // namespace kr5
