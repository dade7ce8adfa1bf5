// The pulse rates a Q-N measurement counted: for each pass, the rate in pulses a second
// above each attenuator range's charge threshold, none where the count did not come.
// The measurement, a recorded file read back, Qm, the Q-N window's CSV export and the
// report all take them in this form.
#pragma once

#include "core/ranges.h"

#include <array>
#include <optional>
#include <vector>

namespace kr5 {

using QnRates = std::array<std::optional<double>, kAttenuatorRanges>;

// The passes of one block (a measurement, or a Non Stop block), in order.
using QnPasses = std::vector<QnRates>;

}  // namespace kr5
