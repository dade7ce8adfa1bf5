// The detector's ranges: the input attenuator's divisions (range 0 is 1/1, range 9 is
// 1/1000) and the rate meter's multipliers (range 0 is x1, range 3 is x50). A charge is
// division x raw peak x Adjust; a pulse rate is multiplier x raw rate.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <optional>

namespace kr5 {

inline constexpr int kAttenuatorRanges = 10;
inline constexpr int kRateRanges = 4;

inline constexpr std::array<int, kAttenuatorRanges> kAttenuatorDivisions{1,  2,   5,   10,  20,
                                                                         50, 100, 200, 500, 1000};
inline constexpr std::array<int, kRateRanges> kRateMultipliers{1, 5, 10, 50};

inline constexpr bool isAttenuatorRange(int range) {
    return range >= 0 && range < kAttenuatorRanges;
}
inline constexpr bool isRateRange(int range) {
    return range >= 0 && range < kRateRanges;
}

// The division of an attenuator range; 0 for a number that is no range, so that a
// value out of the table can never index past it.
inline constexpr int attenuatorDivision(int range) {
    return isAttenuatorRange(range) ? kAttenuatorDivisions[static_cast<std::size_t>(range)] : 0;
}

// The multiplier of a rate range; 0 for a number that is no range.
inline constexpr int rateMultiplier(int range) {
    return isRateRange(range) ? kRateMultipliers[static_cast<std::size_t>(range)] : 0;
}

// The attenuator range whose division x Adjust is Set Q, allowing for the rounding of the
// 15 digits Set Q is stored with; none when Set Q is no step of the scale.
inline std::optional<int> setQStep(double setQ, double adjust) {
    for (int r = 0; r < kAttenuatorRanges; ++r) {
        const double q = attenuatorDivision(r) * adjust;
        if (q != 0.0 && std::fabs(setQ - q) <= 1e-9 * std::fabs(q)) {
            return r;
        }
    }
    return std::nullopt;
}

// The step nearest Set Q on the scale's logarithmic spacing (range 0 where either is not
// positive).
inline int nearestSetQStep(double setQ, double adjust) {
    if (!(setQ > 0.0) || !(adjust > 0.0)) {
        return 0;
    }
    int nearest = 0;
    double nearestDistance = HUGE_VAL;
    for (int r = 0; r < kAttenuatorRanges; ++r) {
        const double distance = std::fabs(std::log(setQ / (attenuatorDivision(r) * adjust)));
        if (distance < nearestDistance) {
            nearest = r;
            nearestDistance = distance;
        }
    }
    return nearest;
}

}  // namespace kr5
