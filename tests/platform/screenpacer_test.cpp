// The pacer of the windows that follow the readings, in virtual time: at most one frame a view
// with what is current then.
#include "platform/screenpacer.h"
#include "platform/virtualclock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace kr5 {
namespace {

struct ScreenPacerTest : ::testing::Test {
    VirtualClock clock;
    ScreenPacer pacer{clock};
    std::vector<std::pair<char, int>> shown;  // view, value shown, in order

    void ask(char view, int value) {
        pacer.show(&views[view - 'a'], [this, view, value] { shown.emplace_back(view, value); });
    }
    char views[2] = {};
};

TEST_F(ScreenPacerTest, ReadingsFasterThanFramesAreShownOncePerFrameWithTheLatest) {
    ask('a', 1);  // the first is shown at once
    EXPECT_EQ(shown, (std::vector<std::pair<char, int>>{{'a', 1}}));
    // Sixty readings a second for a quarter of a second: each view is shown at most once
    // a frame, always with the value it last asked to show.
    for (int i = 2; i <= 16; ++i) {
        clock.advanceMs(16);
        ask('a', i);
        ask('b', 100 + i);
    }
    clock.advanceMs(ScreenPacer::kFrameMs);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), std::make_pair('b', 116));
    const auto frames =
        std::count_if(shown.begin(), shown.end(), [](auto s) { return s.first == 'a'; });
    EXPECT_LE(frames, 1 + (15 * 16 + ScreenPacer::kFrameMs) / ScreenPacer::kFrameMs);
    EXPECT_GE(frames, 5);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), std::make_pair('a', 16)), 1);
    EXPECT_EQ(pacer.waiting(), 0);
}

TEST_F(ScreenPacerTest, SlowReadingsAreShownAtOnceAndTheFrameTimerStops) {
    for (int i = 0; i < 5; ++i) {
        ask('a', i);
        EXPECT_EQ(shown.size(), static_cast<size_t>(i + 1));  // at once, no timer needed
        clock.advanceMs(500);
    }
    // A burst: the second waits for the frame, then the timer finds nothing and stops,
    // so the next slow reading is again shown at once.
    ask('a', 10);
    ask('a', 11);
    EXPECT_EQ(pacer.waiting(), 1);
    clock.advanceMs(ScreenPacer::kFrameMs);
    EXPECT_EQ(shown.back(), std::make_pair('a', 11));
    clock.advanceMs(3 * ScreenPacer::kFrameMs);
    const size_t before = shown.size();
    clock.advanceMs(500);
    EXPECT_EQ(shown.size(), before);  // nothing shown without a request
    ask('a', 12);
    EXPECT_EQ(shown.back(), std::make_pair('a', 12));
}

TEST_F(ScreenPacerTest, FlushShowsWhatWaitsInTheOrderFirstAsked) {
    ask('b', 1);
    ask('a', 1);
    ask('b', 2);
    ask('a', 2);
    pacer.flush();
    EXPECT_EQ(shown, (std::vector<std::pair<char, int>>{{'b', 1}, {'a', 1}, {'b', 2}, {'a', 2}}));
    EXPECT_EQ(pacer.waiting(), 0);
}

}  // namespace
}  // namespace kr5
