#include "answertimes.h"

#include <algorithm>

namespace kr5 {

void AnswerTimes::record(UnitKind unit, int len, int timeout, qint64 ms) {
    Recent& r = recent_[{static_cast<int>(unit), len, timeout}];
    r.ms[static_cast<size_t>(r.next)] = ms;
    r.next = (r.next + 1) % kept;
    r.count = std::min(r.count + 1, kept);
}

std::optional<qint64> AnswerTimes::promptLimit(UnitKind unit, int len, int timeout) const {
    const auto found = recent_.find({static_cast<int>(unit), len, timeout});
    if (found == recent_.end() || found->second.count == 0) {
        return std::nullopt;
    }
    const Recent& r = found->second;
    const qint64 slowest = *std::max_element(r.ms.begin(), r.ms.begin() + r.count);
    return slowest + std::max<qint64>(2, slowest / 2);
}

}  // namespace kr5
