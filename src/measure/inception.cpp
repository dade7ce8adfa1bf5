#include "inception.h"

#include "core/format.h"

#include <QDateTime>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace kr5 {

namespace {

const QChar tab = QLatin1Char('\t');
const QString crlf = QStringLiteral("\r\n");
const QString tableHead = QStringLiteral("name\tno.\tCSV\tCEV\tdate time") + crlf;

// Values below 0.1, and values that are no number, count as 0.1, as they plot.
double raised(double v) {
    return v >= 0.1 ? v : 0.1;
}

// A text field in double quotes; a quote inside is doubled, as CSV readers expect.
QString quoted(QString text) {
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// The number field goes unquoted, unless it holds a character that would split or end
// the field.
QString bare(const QString& text) {
    const bool splits = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                        text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
    return splits ? quoted(text) : text;
}

}  // namespace

std::optional<InceptionDetector::Finding> InceptionDetector::judge(const Reading& r) {
    if (r.isQnStep() || !r.complete()) {
        return std::nullopt;
    }
    const double charge = raised(r.chargeUnadjusted()) * constants_.adjust;
    const double rate = raised(r.pulseRate);
    if (csvFound_) {
        followVoltageCycle(r.testVoltage);
    }
    std::optional<Finding> found;
    if (charge > constants_.setQ && rising_ && !csvFound_ && rate >= constants_.startCount) {
        found = inception(r.testVoltage);
    } else if (charge < constants_.setQ && !rising_ && csvFound_) {
        found = extinction(r.testVoltage);
    }
    const double es = *r.es;
    if (es > lastEs_) {
        rising_ = true;
    } else if (es < lastEs_) {
        rising_ = false;
    }
    lastEs_ = es;
    return found;
}

void InceptionDetector::followVoltageCycle(double tv) {
    if (!fell_) {
        peakVolts_ = std::max(peakVolts_, tv);
        if (tv <= 0.9 * peakVolts_) {
            fell_ = true;
            troughVolts_ = tv;
        }
        return;
    }
    troughVolts_ = std::min(troughVolts_, tv);
    if (tv >= troughVolts_ + 0.1 * peakVolts_) {
        roseAgain_ = true;
    }
}

InceptionDetector::Finding InceptionDetector::inception(double tv) {
    csvValue_ = plainNumber(tv);
    csvVolts_ = peakVolts_ = tv;
    fell_ = roseAgain_ = false;
    csvFound_ = true;
    pairs_.push_back({tv, std::nullopt, constants_.setQ, clock_.localTime(), {}, {}});
    const QString line = constants_.name + tab + constants_.number + tab + csvValue_ + tab;
    return {QStringLiteral("CSV=") + prefixedNumber(tv) + QLatin1Char('V'), 40, tableHead + line,
            QString()};
}

InceptionDetector::Finding InceptionDetector::extinction(double tv) {
    cevValue_ = plainNumber(tv);
    csvFound_ = false;
    const QString line =
        constants_.name + tab + constants_.number + tab + csvValue_ + tab + cevValue_ + tab + now();
    QStringList doubts;
    if (tv > csvVolts_) {
        doubts << QStringLiteral("CEV above CSV");
    }
    if (roseAgain_) {
        doubts << QStringLiteral("CSV and CEV from different voltage cycles");
    }
    const QString doubt = doubts.join(QStringLiteral("; "));
    if (!pairs_.empty()) {
        Pair& pair = pairs_.back();
        pair.extinctionV = tv;
        pair.extinctionAt = clock_.localTime();
        pair.doubt = doubt;
    }
    return {QStringLiteral("CEV=") + prefixedNumber(tv) + QLatin1Char('V'), 60, tableHead + line,
            doubt};
}

QString InceptionDetector::now() const {
    const QDateTime t = clock_.localTime();
    return t.toString(QStringLiteral("MM-dd-yyyy")) + QLatin1Char(' ') +
           t.toString(QStringLiteral("HH:mm:ss"));
}

QString InceptionDetector::resultFileText() const {
    const QString head = QStringLiteral("\"name\",\"no.\",\"CSV\",\"CEV\",\"date time\"") + crlf;
    const QChar comma = QLatin1Char(',');
    return head + quoted(constants_.name) + comma + bare(constants_.number) + comma + csvValue_ +
           comma + cevValue_ + comma + quoted(now());
}

}  // namespace kr5
