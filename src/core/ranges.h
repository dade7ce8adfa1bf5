// The detector's ranges: the input attenuator's divisions (range 0 is 1/1, range 9 is
// 1/1000) and the rate meter's multipliers (range 0 is x1, range 3 is x50). A charge is
// division x raw peak x Adjust; a pulse rate is multiplier x raw rate.
#pragma once

#include <array>
#include <cstddef>

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

}  // namespace kr5
