// The noise discriminator panel's model: clicks that record requests, the read-back of
// the unit's "g" reply into the right controls, the REMOTE box and the menu tick, and the
// traffic it causes when the acquisition loop runs on the simulated bench in virtual
// time. The window is left to zn4window_test, the loop's own order of sending to the
// measure tests.
#include "modes/zn4panel.h"
#include "measure/acquisition.h"
#include "measure/evaluation.h"
#include "measure/panelmodel.h"
#include "sim/bench.h"
#include "sim/simport.h"
#include "support/benchunits.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <algorithm>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

namespace kr5 {
namespace {

// Channel A, channel B, function.
using Settings = std::tuple<int, int, int>;

struct Zn4PanelTest : ::testing::Test {
    Zn4PanelTest() {
        test::defaultBenchUnits(units);
        QObject::connect(&panel, &Zn4Panel::settingsChanged, [this] { ++settingsSignals; });
        QObject::connect(&panel, &Zn4Panel::controlsChanged, [this] { ++controlsSignals; });
    }

    Settings shown() const { return {panel.channelA(), panel.channelB(), panel.function()}; }
    Settings requested() const {
        return {requests.channelA, requests.channelB, requests.discriminatorFunction};
    }

    // A normal cycle's reading whose noise discriminator reply is `text`, as the loop
    // builds it; the detector and the AC unit answered.
    Reading cycleWithReply(const QString& text, Reply::Status status = Reply::Status::Whole) {
        ReadingReplies replies;
        replies.detector = {Reply::Status::Whole, QStringLiteral("A0x1A2B00\r\n")};
        replies.ac = {Reply::Status::Whole, QStringLiteral("A1t2612\r\n")};
        replies.noise = {status, text};
        return evaluator.cycle(replies);
    }
    void report(const QString& text) { panel.takeReading(cycleWithReply(text)); }

    UnitsOnLine units;
    InputConstants constants;
    ReadingEvaluator evaluator{constants, units};
    Requests requests;
    Zn4Panel panel{requests};
    int settingsSignals = 0;
    int controlsSignals = 0;
};

TEST_F(Zn4PanelTest, EachClickRecordsTheRequestOfItsOwnControl) {
    // The control clicked, the value, then what is shown and requested afterwards.
    enum Control { A, B, Function };
    const struct {
        Control control;
        int value;
        Settings after;
    } clicks[] = {
        {A, 5, {5, 0, 0}},
        {B, 3, {5, 3, 0}},
        {Function, 2, {5, 3, 2}},
        {A, 9, {9, 3, 2}},
        {B, 0, {9, 0, 2}},
        {A, 0, {0, 0, 2}},
        {Function, 3, {0, 0, 3}},
        // Values beyond the buttons change nothing.
        {A, -1, {0, 0, 3}},
        {A, 10, {0, 0, 3}},
        {B, 10, {0, 0, 3}},
        {Function, 4, {0, 0, 3}},
        {Function, -1, {0, 0, 3}},
    };
    int changes = 0;
    for (const auto& c : clicks) {
        SCOPED_TRACE(::testing::Message() << "control " << c.control << " value " << c.value);
        const Settings before = shown();
        switch (c.control) {
            case A:
                panel.clickChannelA(c.value);
                break;
            case B:
                panel.clickChannelB(c.value);
                break;
            case Function:
                panel.clickFunction(c.value);
                break;
        }
        EXPECT_EQ(shown(), c.after);
        EXPECT_EQ(requested(), c.after);
        changes += shown() != before ? 1 : 0;
        EXPECT_EQ(settingsSignals, changes);
    }
    // A click only records: no remote request comes with it.
    EXPECT_FALSE(requests.discriminatorRemote.has_value());
}

TEST_F(Zn4PanelTest, TheReplyLightsChannelAFromCharacterFourFunctionFromFiveAndBFromSeven) {
    // The reply of "g": "A2g" + channel A, function, remote, channel B + CR LF.
    const struct {
        const char* reply;
        Settings lit;
    } replies[] = {
        {"A2g7213\r\n", {7, 3, 2}}, {"A2g0309\r\n", {0, 9, 3}}, {"A2g9100\r\n", {9, 0, 1}},
        {"A2g4016\r\n", {4, 6, 0}}, {"A2g1328\r\n", {1, 8, 3}},
    };
    for (const auto& r : replies) {
        SCOPED_TRACE(r.reply);
        report(QLatin1String(r.reply));
        EXPECT_EQ(shown(), r.lit);
        // What the unit reports differently is requested, to be sent back once.
        EXPECT_EQ(requested(), r.lit);
    }
}

TEST_F(Zn4PanelTest, AClickIsNotUndoneByTheOldSettingReportedAfterIt) {
    panel.clickChannelA(5);
    panel.clickFunction(1);
    report(QStringLiteral("A2g0010\r\n"));  // on its way before the click went out
    EXPECT_EQ(shown(), Settings(5, 0, 1));
    EXPECT_EQ(requested(), Settings(5, 0, 1));
    report(QStringLiteral("A2g5110\r\n"));  // the unit took the click
    EXPECT_EQ(shown(), Settings(5, 0, 1));

    // The operator at the unit turns channel B: it is followed, and requested back.
    report(QStringLiteral("A2g5114\r\n"));
    EXPECT_EQ(shown(), Settings(5, 4, 1));
    EXPECT_EQ(requested(), Settings(5, 4, 1));

    // A click followed by a reply that still reports the old setting, again and again:
    // the click stands until the unit reports something new.
    panel.clickChannelB(7);
    for (int i = 0; i < 3; ++i) {
        report(QStringLiteral("A2g5114\r\n"));
    }
    EXPECT_EQ(shown(), Settings(5, 7, 1));
    EXPECT_EQ(requested(), Settings(5, 7, 1));
    report(QStringLiteral("A2g5112\r\n"));
    EXPECT_EQ(shown(), Settings(5, 2, 1));
}

TEST_F(Zn4PanelTest, AReadingWithoutTheUnitsReplyChangesNothing) {
    panel.clickChannelA(3);
    panel.clickChannelB(6);
    settingsSignals = 0;
    const struct {
        const char* text;
        Reply::Status status;
    } spoiled[] = {
        {"", Reply::Status::Missing},
        {"A2g72", Reply::Status::Short},
        {"A2g7213\r\nA0", Reply::Status::Overlong},
        {"A2g7213\r\n", Reply::Status::Late},   // an answer to an earlier command
        {"A2gx213\r\n", Reply::Status::Whole},  // garbled channel A
        {"A2g7?13\r\n", Reply::Status::Whole},  // garbled function
        {"A2g721-\r\n", Reply::Status::Whole},  // garbled channel B
    };
    for (const auto& s : spoiled) {
        SCOPED_TRACE(s.text);
        panel.takeReading(cycleWithReply(QLatin1String(s.text), s.status));
        EXPECT_EQ(shown(), Settings(3, 6, 0));
        EXPECT_EQ(requested(), Settings(3, 6, 0));
    }
    // Without the unit on the line the reading carries no settings at all.
    test::defaultBenchUnits(units, true, false);
    report(QStringLiteral("A2g7213\r\n"));
    EXPECT_EQ(shown(), Settings(3, 6, 0));
    EXPECT_EQ(settingsSignals, 0);

    // A function digit beyond the buttons is not followed; the channels still are.
    test::defaultBenchUnits(units);
    report(QStringLiteral("A2g2917\r\n"));
    EXPECT_EQ(shown(), Settings(2, 7, 0));
    EXPECT_EQ(requested(), Settings(2, 7, 0));
}

TEST_F(Zn4PanelTest, RemoteOffGreysTheButtonsWhileTheLampsStillFollowTheUnit) {
    EXPECT_TRUE(panel.remote());
    EXPECT_TRUE(panel.buttonsEnabled());
    panel.clickRemote(false);
    EXPECT_FALSE(panel.buttonsEnabled());
    EXPECT_EQ(requests.discriminatorRemote, std::optional<bool>(false));
    report(QStringLiteral("A2g6002\r\n"));  // the knobs are the unit's now
    EXPECT_EQ(shown(), Settings(6, 2, 0));
    panel.clickRemote(true);
    EXPECT_TRUE(panel.buttonsEnabled());
    EXPECT_EQ(requests.discriminatorRemote, std::optional<bool>(true));
    EXPECT_EQ(controlsSignals, 2);

    // A Q-N measurement disables the whole window, not the buttons' own state.
    panel.setQnRunning(true);
    EXPECT_FALSE(panel.windowEnabled());
    EXPECT_TRUE(panel.buttonsEnabled());
    panel.setQnRunning(false);
    EXPECT_TRUE(panel.windowEnabled());
    EXPECT_EQ(controlsSignals, 4);
}

TEST_F(Zn4PanelTest, MenuItemTicksFirstThenHidesAndClosingHidesAndUnticks) {
    bool visible = false;
    QString caption;
    std::vector<bool> ticks;  // every state given to the menu item
    QObject::connect(&panel, &Zn4Panel::shown, [&] { visible = true; });
    QObject::connect(&panel, &Zn4Panel::hidden, [&] { visible = false; });
    QObject::connect(&panel, &Zn4Panel::captionChanged, [&](const QString& c) { caption = c; });
    QObject::connect(&panel, &Zn4Panel::menuTickChanged, [&](bool t) { ticks.push_back(t); });
    // Each action, then whether the window is shown and the item ticked.
    const std::pair<std::function<void()>, std::pair<bool, bool>> steps[] = {
        {[&] { panel.showAtStart(QStringLiteral("2")); }, {true, false}},
        {[&] { panel.menuClick(); }, {true, true}},    // the window is up already: only the tick
        {[&] { panel.menuClick(); }, {false, false}},  // now it goes
        {[&] { panel.menuClick(); }, {true, true}},    // and comes back ticked
        {[&] { panel.close(); }, {false, false}},      // Close(&X) or the title bar
        {[&] { panel.menuClick(); }, {true, true}},
    };
    for (const auto& [action, state] : steps) {
        action();
        EXPECT_EQ(std::pair(visible, panel.menuTicked()), state) << ticks.size();
    }
    EXPECT_EQ(caption, QStringLiteral("ZN-4(2)"));
    EXPECT_EQ(ticks, (std::vector<bool>{false, true, false, true, false, true}));
}

// The panel on the acquisition loop with the default bench, whose local operator keeps
// still unless a test lets him turn the knobs. The fixture shows the panel at the loop's
// start as the program's windows do, and never runs Q-N passes by itself.
struct Zn4OnBench : ::testing::Test, LoopWindows, QnControl {
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

    void start(bool operatorActive = false) {
        scenario.operatorActive = operatorActive;
        bench = std::make_unique<sim::Bench>(scenario);
        port = std::make_unique<sim::SimPort>(*bench, clock);
        link = std::make_unique<Link>(units, *port, clock, pump, timing);
        ASSERT_TRUE(test::startOnDefaultBench(units, *link));
        loop = std::make_unique<Acquisition>(Acquisition::Parts{requests, settings, units, *link,
                                                                clock, timing, pump, evaluator,
                                                                frontPanel, *this, *this});
        loop->addListener(frontPanel);
        loop->addListener(zn4);
        loop->loopStart();
        loop->normalCycle();
    }

    void cycles(int n) {
        for (int i = 0; i < n; ++i) {
            loop->normalCycle();
        }
    }

    size_t mark() const { return port->frameLog().size(); }

    // The commands the noise discriminator got from frame `first` on, queries included.
    QStringList discriminatorFrames(size_t first) const {
        QStringList out;
        const auto& log = port->frameLog();
        for (size_t i = first; i < log.size(); ++i) {
            if (log[i].address == 2) {
                out << QString::fromLatin1(log[i].command);
            }
        }
        return out;
    }

    Settings shown() const { return {zn4.channelA(), zn4.channelB(), zn4.function()}; }
    Settings unitNow() {
        const auto s = bench->discriminator()->settingsAt(static_cast<double>(clock.nowUs()));
        return {s.stepA, s.stepB, s.function};
    }

    sim::Scenario scenario = sim::Scenario::defaultBench();
    std::unique_ptr<sim::Bench> bench;
    VirtualClock clock;
    VirtualPump pump{clock};
    Timing timing{clock, pump};
    std::unique_ptr<sim::SimPort> port;
    UnitsOnLine units;
    std::unique_ptr<Link> link;
    Requests requests;
    OperatingSettings settings;
    InputConstants constants;
    PanelModel frontPanel{requests, settings};
    ReadingEvaluator evaluator{constants, units};
    Zn4Panel zn4{requests};
    std::unique_ptr<Acquisition> loop;
};

TEST_F(Zn4OnBench, AtStartTheUnitIsSetUpAndASettingReportedAsShownSendsNothing) {
    QString caption;
    QObject::connect(&zn4, &Zn4Panel::captionChanged, [&](const QString& c) { caption = c; });
    start();
    EXPECT_EQ(caption, QStringLiteral("ZN-4(1)"));
    EXPECT_TRUE(bench->discriminator()->settingsAt(static_cast<double>(clock.nowUs())).remote);
    cycles(4);
    EXPECT_EQ(discriminatorFrames(0), (QStringList{"m1", "a0", "c0", "f0"} + QStringList(5, "g")));
    EXPECT_EQ(shown(), Settings(0, 0, 0));
}

TEST_F(Zn4OnBench, EachClickGoesOutOnceAsTheCommandOfItsControl) {
    start();
    // The click, the command the unit gets, and the unit's settings after it.
    const struct {
        std::function<void(Zn4Panel&)> click;
        const char* command;
        Settings unit;
    } clicks[] = {
        {[](Zn4Panel& p) { p.clickChannelA(5); }, "a5", {5, 0, 0}},
        {[](Zn4Panel& p) { p.clickChannelB(3); }, "c3", {5, 3, 0}},
        {[](Zn4Panel& p) { p.clickFunction(2); }, "f2", {5, 3, 2}},
        {[](Zn4Panel& p) { p.clickChannelA(9); }, "a9", {9, 3, 2}},
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.command);
        const size_t before = mark();
        c.click(zn4);
        c.click(zn4);  // a second click on the lit button sends nothing more
        // The first reply still reports the setting before the click; the click stands.
        cycles(3);
        EXPECT_EQ(discriminatorFrames(before), (QStringList{"g", c.command, "g", "g"}));
        EXPECT_EQ(unitNow(), c.unit);
        EXPECT_EQ(shown(), c.unit);
    }
}

TEST_F(Zn4OnBench, ASettingChangedAtTheUnitLightsItsOwnControlAndIsSentBackOnce) {
    start();
    // The command given at the unit (as its knob would), and what the panel lights.
    const struct {
        const char* atUnit;
        Settings lit;
    } knobs[] = {{"c3", {0, 3, 0}}, {"a7", {7, 3, 0}}, {"f1", {7, 3, 1}}, {"c9", {7, 9, 1}}};
    for (const auto& k : knobs) {
        SCOPED_TRACE(k.atUnit);
        link->command(UnitKind::NoiseDiscriminator, QLatin1String(k.atUnit));
        const size_t before = mark();
        cycles(3);
        EXPECT_EQ(shown(), k.lit);
        EXPECT_EQ(discriminatorFrames(before), (QStringList{"g", k.atUnit, "g", "g"}));
        EXPECT_EQ(unitNow(), k.lit);
    }
}

TEST_F(Zn4OnBench, RemoteOffSendsLocalAndTickingSendsRemote) {
    start();
    const size_t before = mark();
    zn4.clickRemote(false);
    loop->normalCycle();
    EXPECT_FALSE(bench->discriminator()->settingsAt(static_cast<double>(clock.nowUs())).remote);
    zn4.clickRemote(true);
    cycles(2);
    EXPECT_EQ(discriminatorFrames(before), (QStringList{"g", "m0", "g", "m1", "g"}));
    EXPECT_TRUE(bench->discriminator()->settingsAt(static_cast<double>(clock.nowUs())).remote);
}

TEST_F(Zn4OnBench, InLocalOperationThePanelFollowsTheKnobsAndSendsEachChangeBackOnce) {
    start(true);
    settings.sampleMs = 500;
    zn4.clickRemote(false);
    const size_t before = mark();
    // Settings changed in a cycle: the operator turns one knob every few seconds, so no
    // more than one per cycle of 500 ms.
    int changes = 0;
    for (int i = 0; i < 120; ++i) {  // a minute of cycles
        const Settings was = shown();
        loop->normalCycle();
        const Settings now = shown();
        changes += (std::get<0>(was) != std::get<0>(now) ? 1 : 0) +
                   (std::get<1>(was) != std::get<1>(now) ? 1 : 0) +
                   (std::get<2>(was) != std::get<2>(now) ? 1 : 0);
    }
    // The panel shows what the unit reported last.
    const auto& log = port->frameLog();
    const auto lastQuery = std::find_if(
        log.rbegin(), log.rend(), [](const auto& f) { return f.address == 2 && f.command == "g"; });
    const auto reported = bench->discriminator()->settingsAt(lastQuery->atUs);
    EXPECT_EQ(shown(), Settings(reported.stepA, reported.stepB, reported.function));

    // Every change shown went back once; the first cycle sent "m0" besides.
    QStringList sent = discriminatorFrames(before);
    sent.removeAll(QStringLiteral("g"));
    ASSERT_FALSE(sent.isEmpty());
    EXPECT_EQ(sent.takeFirst(), QStringLiteral("m0"));
    EXPECT_GE(changes, 3);
    EXPECT_EQ(sent.size(), changes) << sent.join(' ').toStdString();
}

TEST_F(Zn4OnBench, DuringAQnPassTheReadBackIsFollowedAndSentBackAfterIt) {
    start();
    settings.gateTimeMs = 100;
    zn4.setQnRunning(true);
    link->command(UnitKind::NoiseDiscriminator, QStringLiteral("f2"));  // PD ON at the unit
    const size_t before = mark();
    loop->runQnPass();
    EXPECT_EQ(discriminatorFrames(before), QStringList(10, QStringLiteral("g")));  // each step
    EXPECT_EQ(shown(), Settings(0, 0, 2));

    zn4.setQnRunning(false);
    const size_t after = mark();
    loop->normalCycle();
    EXPECT_EQ(discriminatorFrames(after), (QStringList{"g", "f2"}));
}

}  // namespace
}  // namespace kr5
