// How long an exchange usually takes, as the link learns it: the prompt limit from the
// slowest recent good exchanges of one kind. How receive uses it is in link_test.cpp.
#include "link/answertimes.h"

#include <gtest/gtest.h>

#include <vector>

namespace kr5 {
namespace {

TEST(AnswerTimes, ThePromptLimitIsHalfAsLongAgainAsTheSlowestOfTheLastEight) {
    const std::pair<std::vector<qint64>, std::optional<qint64>> cases[] = {
        {{}, std::nullopt},
        {{4, 10, 7}, 15},
        {{1}, 3},  // at least 2 ms more
        {{5}, 7},  // half of 5 is 2
        {{100, 10, 10, 10, 10, 10, 10, 10}, 150},
        {{100, 10, 10, 10, 10, 10, 10, 10, 10}, 15}};
    for (const auto& [recordedMs, limitMs] : cases) {
        AnswerTimes times;
        for (const qint64 ms : recordedMs) {
            times.record(UnitKind::AcUnit, 9, 200, ms);
        }
        EXPECT_EQ(times.promptLimit(UnitKind::AcUnit, 9, 200), limitMs)
            << recordedMs.size() << " exchanges";
    }
    // Each kind of exchange is learned on its own, until reset.
    AnswerTimes times;
    times.record(UnitKind::AcUnit, 9, 200, 10);
    times.record(UnitKind::Detector, 9, 4000, 2010);  // a gate count
    EXPECT_EQ(times.promptLimit(UnitKind::AcUnit, 9, 200), 15);
    EXPECT_EQ(times.promptLimit(UnitKind::Detector, 9, 4000), 3015);
    EXPECT_FALSE(times.promptLimit(UnitKind::Detector, 9, 200));
    EXPECT_FALSE(times.promptLimit(UnitKind::AcUnit, 3, 200));
    EXPECT_FALSE(times.promptLimit(UnitKind::NoiseDiscriminator, 9, 200));
    times.reset();
    EXPECT_FALSE(times.promptLimit(UnitKind::AcUnit, 9, 200));
}

}  // namespace
}  // namespace kr5
