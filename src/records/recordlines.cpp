#include "recordlines.h"

#include "app/format.h"

namespace kr5 {

namespace {

const QString comma = QStringLiteral(",");
// The filler of two-value lines: ,"dummy" three times.
const QString dmy3 = QStringLiteral(",\"dummy\",\"dummy\",\"dummy\"");

QString textLine(const QString& key, const QString& value) {
    return csvText(key) + comma + csvText(value) + dmy3;
}

QString numberLine(const QString& key, double value) {
    return csvText(key) + comma + numberForm(value) + dmy3;
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

QStringList headerLines(const Globals& g, const QDate& date) {
    return {
        textLine(QStringLiteral("Name"), g.kname),
        textLine(QStringLiteral("Date"), date.toString(QStringLiteral("MM-dd-yyyy"))),
        textLine(QStringLiteral("No."), g.knum),
        textLine(QStringLiteral("Temp."), g.ktemp),
        textLine(QStringLiteral("RH"), g.krh),
        numberLine(QStringLiteral("PT ratio"), g.kpt),
        numberLine(QStringLiteral("Adjust"), g.kadj),
        numberLine(QStringLiteral("Set Q"), g.ksetq),
        numberLine(QStringLiteral("Start"), g.kstart),
        textLine(QStringLiteral("Mes. Program"), QStringLiteral("KR-5au")),
        textLine(QStringLiteral("Version"), versionText()),
        textLine(QStringLiteral("PD Unit"), g.krid),
        textLine(QStringLiteral("AC Unit"), g.acuid),
        QStringLiteral("\"ATT.R\",\"pC\",\"RATE.R\",\"P.P.S\",\"TV\""),
    };
}

QString timeText(const QDateTime& t) {
    return t.time().toString(QStringLiteral("HH:mm:ss"));
}

QString markerLine(const QString& tag, const QDateTime& t) {
    return csvText(tag) + comma + csvText(timeText(t)) + dmy3;
}

QString qnStartLine(const Globals& g, const QDateTime& t) {
    return csvText(QStringLiteral("QNstartD")) + comma + csvText(timeText(t)) + comma +
           csvText(g.qncond) + comma + csvText(g.qntv) + comma + numberForm(g.qnloops);
}

QString dataRowLine(qint32 att, double q, qint32 rateIndex, double pps, double tv) {
    const QString oneDecimal = QStringLiteral(".0");
    return numberForm(att) + comma + formatPattern(q, oneDecimal) + comma + numberForm(rateIndex) +
           comma + formatPattern(pps, oneDecimal) + comma + formatPattern(tv, oneDecimal);
}

}  // namespace kr5
