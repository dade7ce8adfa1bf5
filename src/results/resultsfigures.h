// The figures the Results window compares tests by, and how one test stands among others:
// its percentile rank for each figure, and each figure over time.
#pragma once

#include "results/resultsstore.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace kr5 {

// A figure of a stored test: its column in a listing, and how the window names it.
struct ComparedFigure {
    const char* column;
    const char* name;  // "largest charge"
};

// Largest charge, inception voltage, Qm and NQN of the block, in that order; the trend
// charts the first three.
const std::vector<ComparedFigure>& comparedFigures();

// The mid-rank percentile of value among values (which hold it): the share below it, those
// equal counting half, in percent. None when values is empty.
std::optional<double> percentileRank(const std::vector<double>& values, double value);

// The numbers of a listing's column (nulls and text left out).
std::vector<double> columnNumbers(const TestTable& table, const QString& column);

struct TrendPoint {
    QDateTime at;
    double value = 0.0;
};

// A figure of each test that has it and a start time, oldest first.
std::vector<TrendPoint> trendOf(const TestTable& table, const QString& column);

// "3rd", "11th", "62nd": a percentile rank, rounded, as the window says it.
QString ordinalPercentile(double rank);

}  // namespace kr5
