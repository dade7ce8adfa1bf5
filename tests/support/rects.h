// Window frames in failure messages, and the first two of a set that overlap.
#pragma once

#include <gtest/gtest.h>

#include <QPoint>
#include <QRect>
#include <ostream>
#include <string>
#include <vector>

// Found beside the Qt types: "640x480+10+20" and "(10,20)".
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << r.width() << 'x' << r.height() << '+' << r.x() << '+' << r.y();
}
inline void PrintTo(const QPoint& p, std::ostream* os) {
    *os << '(' << p.x() << ',' << p.y() << ')';
}

namespace kr5::test {

// "i frame, j frame" of the first pair that overlaps; empty when none does.
inline std::string overlapping(const std::vector<QRect>& frames) {
    for (size_t i = 0; i < frames.size(); ++i) {
        for (size_t j = i + 1; j < frames.size(); ++j) {
            if (frames[i].intersects(frames[j])) {
                return std::to_string(i) + ' ' + ::testing::PrintToString(frames[i]) + ", " +
                       std::to_string(j) + ' ' + ::testing::PrintToString(frames[j]);
            }
        }
    }
    return {};
}

}  // namespace kr5::test
