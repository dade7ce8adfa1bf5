#include "recordlines.h"

#include "core/format.h"
#include "records/measurementlayout.h"

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
    using namespace layout;
    std::array<QString, HeaderFields> texts;
    std::array<double, HeaderFields> numbers{};
    texts[Name] = c.name;
    texts[Date] = date.toString(QStringLiteral("MM-dd-yyyy"));
    texts[Number] = c.number;
    texts[Temperature] = c.temperature;
    texts[Humidity] = c.humidity;
    numbers[PtRatio] = c.ptRatio;
    numbers[Adjust] = c.adjust;
    numbers[SetQ] = c.setQ;
    numbers[StartCount] = c.startCount;
    texts[ProgramName] = QLatin1String(kProgramName);
    texts[Version] = versionText();
    texts[DetectorUnit] = units.unit(UnitKind::Detector).ident;
    texts[AcUnit] = units.unit(UnitKind::AcUnit).ident;

    QStringList lines;
    for (int i = 0; i < HeaderFields; ++i) {
        const HeaderField& field = kHeader[static_cast<size_t>(i)];
        const QString key = QLatin1String(field.key);
        const bool number = field.value == Value::Number || field.value == Value::Count;
        lines << (number ? numberLine(key, numbers[static_cast<size_t>(i)])
                         : textLine(key, texts[static_cast<size_t>(i)]));
    }
    QStringList titles;
    for (const char* title : kColumns) {
        titles << csvText(QLatin1String(title));
    }
    lines << titles.join(comma);
    return lines;
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
