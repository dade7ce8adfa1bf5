#include "qm.h"

#include <algorithm>
#include <cmath>

namespace kr5 {

namespace {

// The chart plots every rate at 0.1 or more, so a range without pulses still has a place
// on the logarithmic scale.
double plotted(double rate) {
    return std::max(rate, 0.1);
}

}  // namespace

QString Qm::text() const {
    switch (where) {
        case Where::Found:
            return QString::number(pC, 'f', pC < 10 ? 2 : 1) + QStringLiteral(" pC");
        case Where::BelowLowest:
            return QStringLiteral("below the lowest threshold");
        case Where::AboveHighest:
            return QStringLiteral("above the highest");
        case Where::NoCounts:
            break;
    }
    return QStringLiteral("no counts");
}

Qm chargeAtTenPulses(const QnRates& rates, double adjust) {
    struct Point {
        double logQ;
        double logN;
    };
    std::array<Point, kAttenuatorRanges> points{};
    int n = 0;
    for (int range = 0; range < kAttenuatorRanges; ++range) {
        if (const auto rate = rates[static_cast<size_t>(range)]) {
            points[static_cast<size_t>(n++)] = {std::log10(attenuatorDivision(range) * adjust),
                                                std::log10(plotted(*rate))};
        }
    }
    if (n == 0 || !(adjust > 0.0)) {
        return {};
    }
    const double ten = std::log10(kQmRatePps);
    const auto found = [](double logQ) { return Qm{Qm::Where::Found, std::pow(10.0, logQ)}; };
    if (points[static_cast<size_t>(n - 1)].logN > ten) {
        return {Qm::Where::AboveHighest, 0.0};
    }
    // From the highest range down to the first whose rate reaches 10.
    for (int i = n - 1; i >= 0; --i) {
        const Point& p = points[static_cast<size_t>(i)];
        if (p.logN < ten) {
            continue;
        }
        if (p.logN == ten || i == n - 1) {
            return found(p.logQ);
        }
        const Point& above = points[static_cast<size_t>(i + 1)];
        const double share = (ten - p.logN) / (above.logN - p.logN);
        return found(p.logQ + share * (above.logQ - p.logQ));
    }
    return {Qm::Where::BelowLowest, 0.0};
}

std::optional<double> normalisedQuantityNumber(const QnRates& rates, double adjust) {
    if (!(adjust > 0.0)) {
        return std::nullopt;
    }
    constexpr size_t last = kAttenuatorRanges - 1;
    double area = 0.0;
    for (size_t window = 0; window <= last; ++window) {
        if (!rates[window]) {
            return std::nullopt;
        }
        const double logRate = std::log10(std::max(*rates[window], 1.0));
        area += window == 0 || window == last ? logRate / 2.0 : logRate;
    }
    const double fullScalePc = attenuatorDivision(int(last)) * adjust;
    return fullScalePc / kAttenuatorRanges * area;
}

void QmTracker::takeStep(int range, std::optional<double> ratePps) {
    if (isAttenuatorRange(range)) {
        current_[static_cast<size_t>(range)] = ratePps;
    }
}

void QmTracker::passDone() {
    lastPass_ = current_;
    blockPasses_.push_back(current_);
    for (size_t r = 0; r < current_.size(); ++r) {
        if (current_[r]) {
            sums_[r] += *current_[r];
            ++counts_[r];
        }
    }
    current_ = {};
    ++passes_;
}

void QmTracker::startBlock() {
    // The last pass stays the last pass until another completes.
    const QnRates last = lastPass_;
    *this = QmTracker();
    lastPass_ = last;
}

QnRates QmTracker::blockMeans() const {
    QnRates means{};
    for (size_t r = 0; r < means.size(); ++r) {
        if (counts_[r] > 0) {
            means[r] = sums_[r] / counts_[r];
        }
    }
    return means;
}

Qm QmTracker::block(double adjust) const {
    return chargeAtTenPulses(blockMeans(), adjust);
}

}  // namespace kr5
