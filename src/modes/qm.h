// Qm, the charge at which the pulse rate of a Q-N pass falls to 10 pulses a second: read
// off the pulse rates above each range's charge threshold as the Q-N chart plots them
// (rates held at 0.1 or more, thresholds the range's division times Adjust), between the
// two neighbouring ranges where the rate crosses 10, on logarithmic scales of both. With
// rates that rise again above a crossing, the highest crossing counts: the largest charge
// that still comes 10 times a second.
#pragma once

#include "core/qncounts.h"
#include "core/ranges.h"

#include <QString>
#include <array>
#include <optional>

namespace kr5 {

struct Qm {
    enum class Where { Found, BelowLowest, AboveHighest, NoCounts };
    Where where = Where::NoCounts;
    double pC = 0.0;  // when found

    // "123.4 pC", "below the lowest threshold", "above the highest", "no counts".
    QString text() const;
};

inline constexpr double kQmRatePps = 10.0;

Qm chargeAtTenPulses(const QnRates& rates, double adjust);

// NQN, the normalised quantity number: the area under the curve of log pulse rates over the
// N = 10 threshold windows (the attenuator ranges), by the trapezoid rule,
//   NQN = (FS / N) * [ (log10 n_1 + log10 n_N) / 2 + sum over i = 2..N-1 of log10 n_i ]
// with n_i the rate above window i's threshold in pulses a second (a rate below 1, no
// pulses among them, counts as 1: log10 1 = 0) and FS the full-scale charge, the highest
// window's threshold (its division times Adjust) in pC. None while a window lacks its count.
std::optional<double> normalisedQuantityNumber(const QnRates& rates, double adjust);

// The passes of a Q-N measurement as they complete: the rates of the last pass, and the
// mean rate of each range over the passes of the current block (the measurement, or a
// Non Stop block).
class QmTracker {
  public:
    void takeStep(int range, std::optional<double> ratePps);
    // The pass's last range was read.
    void passDone();
    // A new measurement or Non Stop block: the means start again (the last pass stays).
    void startBlock();

    Qm lastPass(double adjust) const { return chargeAtTenPulses(lastPass_, adjust); }
    // The rates of the last complete pass; none at all before the first.
    const QnRates& lastPassRates() const { return lastPass_; }
    Qm block(double adjust) const;
    std::optional<double> lastPassNqn(double adjust) const {
        return normalisedQuantityNumber(lastPass_, adjust);
    }
    std::optional<double> blockNqn(double adjust) const {
        return normalisedQuantityNumber(blockMeans(), adjust);
    }
    int passesInBlock() const { return passes_; }
    // Every pass of the block, in order.
    const QnPasses& blockPasses() const { return blockPasses_; }

  private:
    // Each range's mean rate over the block's passes that counted it.
    QnRates blockMeans() const;

    QnRates current_{};
    QnRates lastPass_{};
    std::array<double, kAttenuatorRanges> sums_{};
    std::array<int, kAttenuatorRanges> counts_{};
    int passes_ = 0;
    QnPasses blockPasses_;
};

}  // namespace kr5
