// The ZN-4 panel model: read-back into the right controls, stale reports, clicks out of range.
// Parsing is left to the link tests, the requests' way to the unit to the acquisition tests
// and the whole-program tour, the window to zn4window_test.
#include "modes/zn4panel.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace kr5 {
namespace {

using Settings = std::tuple<int, int, int>;  // channel A, channel B, function

TEST(Zn4Panel, ReportsLightTheirOwnControlsAndAStaleReportDoesNotUndoAClick) {
    Requests requests;
    Zn4Panel zn4{requests};
    const auto report = [&](int channelA, int channelB, int function) {
        Reading reading;
        reading.noise = NoiseFields{channelA, function, channelB};
        zn4.takeReading(reading);
    };
    // Each action, and what is then shown and requested: a setting the unit reports
    // differently is sent back to it once.
    const std::pair<std::function<void()>, Settings> steps[] = {
        {[&] { report(7, 3, 2); }, {7, 3, 2}},
        {[&] { report(0, 9, 3); }, {0, 9, 3}},
        {[&] { zn4.clickChannelA(5); }, {5, 9, 3}},
        {[&] { zn4.clickFunction(1); }, {5, 9, 1}},
        {[&] { report(0, 9, 3); }, {5, 9, 1}},  // on its way before the clicks went out
        {[&] { report(5, 9, 1); }, {5, 9, 1}},  // the unit took them
        {[&] { report(5, 4, 1); }, {5, 4, 1}},  // the operator at the unit turns channel B
        {[&] { zn4.clickChannelB(7); }, {5, 7, 1}},
        {[&] { report(5, 4, 1); }, {5, 7, 1}},  // the click stands until the unit
        {[&] { report(5, 4, 1); }, {5, 7, 1}},  // reports something new
        {[&] { report(5, 2, 1); }, {5, 2, 1}},
        {[&] { report(2, 7, 9); }, {2, 7, 1}},  // a function beyond the buttons is not followed
        {[&] { zn4.clickChannelA(10); }, {2, 7, 1}},  // nor a click beyond them
        {[&] { zn4.clickFunction(4); }, {2, 7, 1}},
        {[&] { zn4.takeReading(Reading{}); }, {2, 7, 1}},  // nor a reading without the reply
        {[&] { zn4.setQnRunning(true); }, {2, 7, 1}},
        {[&] { report(3, 7, 0); }, {3, 7, 0}},  // a Q-N measurement reads the unit back too
    };
    for (const auto& [action, after] : steps) {
        SCOPED_TRACE(::testing::Message() << "step " << &action - &steps[0].first);
        action();
        EXPECT_EQ(std::tuple(zn4.channelA(), zn4.channelB(), zn4.function()), after);
        EXPECT_EQ(std::tuple(requests.channelA, requests.channelB, requests.discriminatorFunction),
                  after);
    }
}

}  // namespace
}  // namespace kr5
