// The ZN-4 panel model: read-back into the right controls, stale reports, commands on the bench
// loop. Parsing and sending are left to the link and measure tests, the window to zn4window_test.
#include "modes/zn4panel.h"
#include "measure/acquisition.h"
#include "measure/evaluation.h"
#include "measure/panelmodel.h"
#include "sim/bench.h"
#include "sim/simport.h"
#include "support/benchunits.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <functional>
#include <tuple>

namespace kr5 {
namespace {

using Settings = std::tuple<int, int, int>;  // channel A, channel B, function

Settings shownBy(const Zn4Panel& panel) {
    return {panel.channelA(), panel.channelB(), panel.function()};
}

// The panel, alone or on the acquisition loop with the default bench, where it is shown at
// the loop's start as the program's windows do.
struct Zn4PanelTest : ::testing::Test, LoopWindows, QnControl {
    void SetUp() override {
        ASSERT_TRUE(test::startOnDefaultBench(units, link));
        loop.addListener(frontPanel);
        loop.addListener(zn4);
    }
    void portLost(const PortProblem&) override {}
    void portBack() override {}
    void showDiscriminatorPanel(bool present) override {
        if (present) {
            zn4.showAtStart(units.portDigit());
        }
    }
    void startCharts() override {}
    bool passesRunning() const override { return false; }
    bool endAfterPass() const override { return false; }
    void recordStart() override {}
    void finish() override {}

    Settings requested() const {
        return {requests.channelA, requests.channelB, requests.discriminatorFunction};
    }
    void report(int channelA, int channelB, int function) {
        Reading reading;
        reading.noise = NoiseFields{channelA, function, channelB};
        zn4.takeReading(reading);
    }
    // The commands the noise discriminator got from frame `first` on.
    QStringList discriminatorFrames(size_t first = 0) const {
        QStringList out;
        const auto& log = port.frameLog();
        for (size_t i = first; i < log.size(); ++i) {
            if (log[i].address == 2) {
                out << QString::fromLatin1(log[i].command);
            }
        }
        return out;
    }
    Settings unitNow() const {
        const auto s = bench.discriminator()->settingsAt(static_cast<double>(clock.nowUs()));
        return {s.stepA, s.stepB, s.function};
    }

    sim::Bench bench{sim::Scenario::defaultBench()};  // its local operator keeps still
    VirtualClock clock;
    VirtualPump pump{clock};
    Timing timing{clock, pump};
    sim::SimPort port{bench, clock};
    UnitsOnLine units;
    Link link{units, port, clock, pump, timing};
    Requests requests;
    OperatingSettings settings;
    InputConstants constants;
    PanelModel frontPanel{requests, settings};
    ReadingEvaluator evaluator{constants, units};
    Zn4Panel zn4{requests};
    Acquisition loop{{requests, settings, units, link, clock, timing, pump, evaluator, frontPanel,
                      *this, *this}};
};

TEST_F(Zn4PanelTest, ReportsLightTheirOwnControlsAndAStaleReportDoesNotUndoAClick) {
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
        {[&] { zn4.takeReading(Reading{}); }, {2, 7, 1}},  // nor a reading without the reply
        {[&] { zn4.setQnRunning(true); }, {2, 7, 1}},
        {[&] { report(3, 7, 0); }, {3, 7, 0}},  // a Q-N measurement reads the unit back too
    };
    for (const auto& [action, after] : steps) {
        SCOPED_TRACE(::testing::Message() << "step " << &action - &steps[0].first);
        action();
        EXPECT_EQ(shownBy(zn4), after);
        EXPECT_EQ(requested(), after);
    }
}

TEST_F(Zn4PanelTest, ClicksAndTheUnitsOwnChangesReachTheUnitAsTheCommandOfTheirControl) {
    QString caption;
    QObject::connect(&zn4, &Zn4Panel::captionChanged, [&](const QString& c) { caption = c; });
    loop.loopStart();
    EXPECT_EQ(caption, QStringLiteral("ZN-4(1)"));
    EXPECT_EQ(discriminatorFrames(), (QStringList{"m1", "a0", "c0", "f0"}));
    const auto atUnit = [this](const char* command) {
        link.command(UnitKind::NoiseDiscriminator, QLatin1String(command));
    };
    // A click, or a command given at the unit as its knob would; the command the unit gets
    // from the program (none for a value beyond the buttons); the settings it and the panel
    // end with. The first reply after a click still reports the setting before it.
    const struct {
        std::function<void()> action;
        const char* command;
        Settings after;
    } steps[] = {
        {[&] { zn4.clickChannelA(5); }, "a5", {5, 0, 0}},
        {[&] { zn4.clickChannelB(3); }, "c3", {5, 3, 0}},
        {[&] { zn4.clickFunction(2); }, "f2", {5, 3, 2}},
        {[&] { zn4.clickChannelA(10); }, "", {5, 3, 2}},
        {[&] { atUnit("c7"); }, "c7", {5, 7, 2}},
        {[&] { atUnit("a9"); }, "a9", {9, 7, 2}},
        {[&] { atUnit("f1"); }, "f1", {9, 7, 1}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(::testing::Message() << "step " << &step - steps);
        step.action();
        const size_t before = port.frameLog().size();
        for (int i = 0; i < 3; ++i) {
            loop.normalCycle();
        }
        QStringList sent{"g", step.command, "g", "g"};
        sent.removeAll(QString());
        EXPECT_EQ(discriminatorFrames(before), sent);
        EXPECT_EQ(unitNow(), step.after);
        EXPECT_EQ(shownBy(zn4), step.after);
    }
}

}  // namespace
}  // namespace kr5
