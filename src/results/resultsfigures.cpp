#include "resultsfigures.h"

#include <algorithm>
#include <cmath>

namespace kr5 {

const std::vector<ComparedFigure>& comparedFigures() {
    static const std::vector<ComparedFigure> figures{
        {"largest_charge_pc", "largest charge"},
        {"inception_v", "inception voltage"},
        {"qm_block_pc", "Qm"},
        {"nqn_block", "NQN"},
    };
    return figures;
}

std::optional<double> percentileRank(const std::vector<double>& values, double value) {
    if (values.empty()) {
        return std::nullopt;
    }
    const auto below =
        std::count_if(values.begin(), values.end(), [value](double v) { return v < value; });
    const auto equal = std::count(values.begin(), values.end(), value);
    return 100.0 * (double(below) + 0.5 * double(equal)) / double(values.size());
}

std::vector<double> columnNumbers(const TestTable& table, const QString& column) {
    std::vector<double> numbers;
    const qsizetype at = table.columns.indexOf(column);
    if (at < 0) {
        return numbers;
    }
    for (const QVariantList& row : table.rows) {
        bool isNumber = false;
        const double v = row[at].toDouble(&isNumber);
        if (isNumber && !row[at].isNull() && std::isfinite(v)) {
            numbers.push_back(v);
        }
    }
    return numbers;
}

std::vector<TrendPoint> trendOf(const TestTable& table, const QString& column) {
    std::vector<TrendPoint> points;
    const qsizetype at = table.columns.indexOf(column);
    const qsizetype started = table.columns.indexOf(QStringLiteral("started_at"));
    if (at < 0 || started < 0) {
        return points;
    }
    for (const QVariantList& row : table.rows) {
        bool isNumber = false;
        const double v = row[at].toDouble(&isNumber);
        const QDateTime when = QDateTime::fromString(row[started].toString(), Qt::ISODate);
        if (isNumber && !row[at].isNull() && std::isfinite(v) && when.isValid()) {
            points.push_back({when, v});
        }
    }
    std::stable_sort(points.begin(), points.end(),
                     [](const TrendPoint& a, const TrendPoint& b) { return a.at < b.at; });
    return points;
}

QString ordinalPercentile(double rank) {
    const int n = int(std::lround(rank));
    const char* suffix = "th";
    if (n % 100 < 11 || n % 100 > 13) {
        switch (n % 10) {
            case 1:
                suffix = "st";
                break;
            case 2:
                suffix = "nd";
                break;
            case 3:
                suffix = "rd";
                break;
            default:
                break;
        }
    }
    return QString::number(n) + QLatin1String(suffix);
}

}  // namespace kr5
