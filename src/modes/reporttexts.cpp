#include "reporttexts.h"

#include "core/format.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace kr5::reporttext {

namespace {

QString withUnit(const QString& number, const QString& unit) {
    return unit.isEmpty() ? number : number + QLatin1Char(' ') + unit;
}

// Rounded to the places, all of them shown: "8.00 kV" says the reading's step is 10 V.
QString roundedTo(double x, int places) {
    const QString pattern =
        places > 0 ? QStringLiteral("0.") + QString(places, QLatin1Char('0')) : QStringLiteral("0");
    return formatPattern(x, pattern);
}

// The places that show a value of this resolution: 0.025 needs 2 (a 25 V step in kV).
int placesFor(double resolution) {
    if (!(resolution > 0.0) || !std::isfinite(resolution)) {
        return 3;
    }
    return std::clamp(static_cast<int>(std::ceil(-std::log10(resolution) - 1e-9)), 0, 6);
}

}  // namespace

QString dash() {
    return QStringLiteral("—");
}

QString text(const QJsonValue& v) {
    if (v.isDouble()) {
        return plainNumber(v.toDouble());
    }
    const QString t = v.toString().trimmed();
    return t.isEmpty() ? dash() : t;
}

QString typed(const QJsonValue& v, const QString& unit) {
    return v.isDouble() ? withUnit(plainNumber(v.toDouble()), unit) : dash();
}

QString typedWithUnit(const QJsonValue& v, const QString& unit) {
    const QString t = text(v);
    bool number = false;
    t.toDouble(&number);
    return number ? withUnit(t, unit) : t;
}

QString charge(const QJsonValue& pc) {
    return pc.isDouble() ? withUnit(roundedTo(pc.toDouble(), chargePlaces(pc.toDouble())),
                                    QStringLiteral("pC"))
                         : dash();
}

QString rate(const QJsonValue& pps) {
    return pps.isDouble() ? withUnit(roundedTo(pps.toDouble(), 1), QStringLiteral("pps")) : dash();
}

QString measuredKv(const QJsonValue& volts, double ptRatio) {
    if (!volts.isDouble()) {
        return dash();
    }
    const double stepKv = 0.1 * ptRatio / 1000.0;
    return withUnit(roundedTo(volts.toDouble() / 1000.0, placesFor(stepKv)), QStringLiteral("kV"));
}

QString testLevel(const QJsonValue& kv) {
    return kv.isDouble() ? withUnit(testLevelText(kv.toDouble()), QStringLiteral("kV")) : dash();
}

QString seconds(const QJsonValue& s) {
    return s.isDouble() ? withUnit(roundedTo(s.toDouble(), 0), QStringLiteral("s")) : dash();
}

QString adjust(const QJsonValue& pcPerV) {
    if (!pcPerV.isDouble()) {
        return dash();
    }
    return withUnit(plainNumber(QString::number(pcPerV.toDouble(), 'g', 4).toDouble()),
                    QStringLiteral("pC/V"));
}

QString rawPeak(const QJsonValue& volts) {
    return volts.isDouble() ? withUnit(roundedTo(volts.toDouble(), 3), QStringLiteral("V"))
                            : dash();
}

QString nqn(const QJsonValue& v) {
    return v.isDouble() ? roundedTo(v.toDouble(), 1) : QStringLiteral("none");
}

QString percent(const QJsonValue& v) {
    return v.isDouble() ? withUnit(roundedTo(v.toDouble(), 1), QStringLiteral("%")) : dash();
}

QString dateTime(const QJsonValue& v) {
    const QDateTime t = QDateTime::fromString(v.toString(), Qt::ISODate);
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : text(v);
}

QString timeOfDay(const QJsonValue& v) {
    const QDateTime t = QDateTime::fromString(v.toString(), Qt::ISODate);
    return t.isValid() ? t.toString(QStringLiteral("HH:mm:ss")) : text(v);
}

}  // namespace kr5::reporttext
