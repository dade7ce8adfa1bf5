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
const QString tableHead = QStringLiteral("name\tno.\tCSV\tCEV\tdate time");

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
    peakVolts_ = tv;
    fell_ = roseAgain_ = false;
    csvFound_ = true;
    pairs_.push_back({tv, std::nullopt, constants_.setQ, clock_.localTime(), {}, {}});
    pairCells_.push_back(plainNumber(tv) + tab);
    return {QStringLiteral("CSV=") + prefixedNumber(tv) + QLatin1Char('V'), kInceptionLabelY,
            tableText(), QString()};
}

InceptionDetector::Finding InceptionDetector::extinction(double tv) {
    csvFound_ = false;
    Pair& pair = pairs_.back();  // an extinction ends the inception standing
    QStringList doubts;
    if (tv > pair.inceptionV) {
        doubts << QStringLiteral("CEV above CSV");
    }
    if (roseAgain_) {
        doubts << QStringLiteral("CSV and CEV from different voltage cycles");
    }
    pair.extinctionV = tv;
    pair.extinctionAt = clock_.localTime();
    pair.doubt = doubts.join(QStringLiteral("; "));
    pairCells_.back() += plainNumber(tv) + tab + dateTime(pair.extinctionAt);
    return {QStringLiteral("CEV=") + prefixedNumber(tv) + QLatin1Char('V'), kExtinctionLabelY,
            tableText(), pair.doubt};
}

void InceptionDetector::startNewTable() {
    // An inception that stands stays in the table: its extinction is still to come.
    tableFrom_ = csvFound_ ? pairs_.size() - 1 : pairs_.size();
}

QString InceptionDetector::tableText() const {
    QStringList lines{tableHead};
    const QString nameCells = constants_.name + tab + constants_.number + tab;
    for (size_t i = tableFrom_; i < pairCells_.size(); ++i) {
        lines << nameCells + pairCells_[i];
    }
    return lines.join(crlf);
}

QString InceptionDetector::dateTime(const QDateTime& t) {
    return t.toString(QStringLiteral("MM-dd-yyyy")) + QLatin1Char(' ') +
           t.toString(QStringLiteral("HH:mm:ss"));
}

QString InceptionDetector::resultFileText() const {
    // The last pair: an inception that stands has no extinction yet.
    const QString head = QStringLiteral("\"name\",\"no.\",\"CSV\",\"CEV\",\"date time\"") + crlf;
    const QChar comma = QLatin1Char(',');
    const QString csv = pairs_.empty() ? QString() : plainNumber(pairs_.back().inceptionV);
    const auto cev = extinctionVolts();
    return head + quoted(constants_.name) + comma + bare(constants_.number) + comma + csv + comma +
           (cev ? plainNumber(*cev) : QString()) + comma + quoted(dateTime(clock_.localTime()));
}

}  // namespace kr5
