// The noise discriminator panel's logic: its handlers and read-back with a fake window,
// the Window menu item's tick, and the traffic it causes when the acquisition loop runs
// on a simulated bench in virtual time.
#include "modes/zn4panel.h"
#include "measure/acquisition.h"
#include "measure/evaluation.h"
#include "measure/frontpanel.h"
#include "sim/bench.h"
#include "sim/simport.h"
#include "support/fakepanelview.h"

#include "support/benchunits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

namespace kr5 {
namespace {

// The fixture stands in for the window: it remembers what the window shows, and runs the
// panel's handlers when a button is selected from code, as the window does. It also
// stands in for the main window's part in the loop start. The loop tests wire the panel
// to the reading evaluation and the acquisition loop on the default bench, whose unit's
// local operator keeps still unless a test lets him turn the knobs.
struct Zn4Test : ::testing::Test, Zn4View, LoopWindows {
    sim::Scenario scenario = sim::Scenario::defaultBench();
    std::unique_ptr<sim::Bench> bench;
    Globals g;
    VirtualClock clock;
    VirtualPump pump{clock};
    Timing timing{g, clock, pump};
    std::unique_ptr<sim::SimPort> port;
    std::unique_ptr<Link> link;
    Requests req;
    test::FakePanelView frontView;
    FrontPanel front{g, req, frontView};
    Evaluation evaluation{g, frontView, front};
    Zn4Panel zn4{g, *this};
    std::unique_ptr<Reading> reading;
    std::unique_ptr<Acquisition> acq;

    std::vector<int> peakbSelections;  // elements selected from code, in order
    std::vector<int> ratebSelections;
    int checkedA = Zn4Panel::columnA;  // the checked element of each column
    int checkedB = 0;
    int checkedFunction = 0;
    bool framesEnabled = true;
    bool windowEnabled = true;
    bool shown = false;
    QString caption;
    std::vector<bool> ticks;  // every state given to the menu item

    Zn4Test() {
        zn4.setMenuTick = [this](bool ticked) { ticks.push_back(ticked); };
        evaluation.showNoiseSettings = [this](int at1, int at2, int rt) {
            zn4.nbtsetat1(at1);
            zn4.nbtsetat2(at2);
            zn4.nbtsetrt(rt);
        };
    }

    void selectPeakb(int element) override {
        peakbSelections.push_back(element);
        (element >= Zn4Panel::columnA ? checkedA : checkedB) = element;
        zn4.peakbClick(element);
    }
    void selectRateb(int i) override {
        ratebSelections.push_back(i);
        checkedFunction = i;
        zn4.ratebClick(i);
    }
    void setFramesEnabled(bool enabled) override { framesEnabled = enabled; }
    void setWindowEnabled(bool enabled) override { windowEnabled = enabled; }
    void setCaption(const QString& text) override { caption = text; }
    void showWindow() override { shown = true; }
    void hideWindow() override { shown = false; }

    void showZn4Panel(bool present, const QString& portstr) override {
        if (present) {
            zn4.showAtStart(portstr);
        }
    }
    void startCharts(const QString&) override {}
    void tickRemote() override {}
    void selectAttButton(int) override {}

    auto requests() const { return std::tuple(g.znatt2, g.znatt1, g.znfunc); }

    void start(bool operatorActive = false) {
        scenario.operatorActive = operatorActive;
        bench = std::make_unique<sim::Bench>(scenario);
        port = std::make_unique<sim::SimPort>(*bench, clock);
        link = std::make_unique<Link>(g, *port, clock, pump, timing);
        reading = std::make_unique<Reading>(g, *link, pump, evaluation);
        acq = std::make_unique<Acquisition>(g, req, *link, timing, pump, *reading, *this);
        ASSERT_TRUE(test::startOnDefaultBench(g, *link));
        acq->loopStart();
        acq->normalCycle();
    }

    size_t mark() const { return port->frameLog().size(); }

    // The commands the noise discriminator got from frame first on, queries included.
    QStringList znFrames(size_t first) const {
        QStringList out;
        const auto& log = port->frameLog();
        for (size_t i = first; i < log.size(); ++i) {
            if (log[i].address == 2) {
                out << QString::fromLatin1(log[i].command);
            }
        }
        return out;
    }

    sim::Discriminator::Settings unitNow() {
        return bench->discriminator()->settingsAt(static_cast<double>(clock.nowUs()));
    }
};

TEST_F(Zn4Test, ClicksWriteOnlyTheRequestOfTheirChannel) {
    // The element clicked, then the requests of channel A and channel B.
    const int clicks[][3] = {{15, 5, 0}, {3, 5, 3},  {10, 0, 3}, {19, 9, 3}, {0, 9, 0},
                             {9, 9, 9},  {-1, 9, 9}, {20, 9, 9}, {99, 9, 9}};
    for (const auto& c : clicks) {
        zn4.peakbClick(c[0]);
        EXPECT_EQ(requests(), std::tuple(c[1], c[2], 0)) << c[0];
    }
    for (int function : {2, -1, 4}) {
        zn4.ratebClick(function);
    }
    EXPECT_EQ(g.znfunc, 2);
    // Nothing is sent from a handler: the requests only.
    EXPECT_EQ(g.znatt2sent, 0);
    EXPECT_FALSE(g.znremreq);
}

TEST_F(Zn4Test, ReadBackSelectsOnlyChangedSettingsInRangeAndWritesThemIntoTheRequests) {
    const auto report = [this](int a, int b, int function) {
        zn4.nbtsetat1(a);
        zn4.nbtsetat2(b);
        zn4.nbtsetrt(function);
    };
    report(0, 0, 0);  // what is shown already
    report(7, 3, 1);  // channel A: element 17; channel B: element 3
    report(7, 3, 1);  // the same report again
    report(-1, 10, 4);
    report(57, -1, -1);
    EXPECT_EQ(peakbSelections, (std::vector<int>{17, 3}));
    EXPECT_EQ(ratebSelections, (std::vector<int>{1}));
    EXPECT_EQ(requests(), std::tuple(7, 3, 1));
    EXPECT_EQ(std::tuple(zn4.lastat1, zn4.lastat2, zn4.lastrt), std::tuple(7, 3, 1));
}

TEST_F(Zn4Test, MenuItemTicksFirstThenHidesAndClosingHidesAndUnticks) {
    // Each action, then whether the window is shown and the item ticked.
    const std::pair<std::function<void()>, std::pair<bool, bool>> steps[] = {
        {[&] { zn4.showAtStart(QStringLiteral("2")); }, {true, false}},
        {[&] { zn4.zn4wClick(); }, {true, true}},    // the window is up already: only the tick
        {[&] { zn4.zn4wClick(); }, {false, false}},  // now it goes
        {[&] { zn4.zn4wClick(); }, {true, true}},    // and comes back ticked
        {[&] { zn4.nclsClick(); }, {false, false}},  // Close(&X) or the title bar
        {[&] { zn4.zn4wClick(); }, {true, true}},
        {[&] { zn4.clzn(); }, {false, false}},
    };
    for (const auto& [action, state] : steps) {
        action();
        EXPECT_EQ(std::pair(shown, zn4.menuTicked()), state) << ticks.size();
    }
    EXPECT_EQ(caption, QStringLiteral("ZN-4(2)"));
    EXPECT_EQ(ticks, (std::vector<bool>{false, true, false, true, false, true, false}));
}

TEST_F(Zn4Test, StartShowsThePanelAndARepliedStateEqualToTheShownOneSendsNothing) {
    start();
    EXPECT_EQ(caption, QStringLiteral("ZN-4(1)"));
    EXPECT_TRUE(unitNow().remote);
    for (int i = 0; i < 5; ++i) {
        acq->normalCycle();
    }
    EXPECT_EQ(znFrames(0), (QStringList{"m1", "a0", "c0", "f0"} + QStringList(6, "g")));
    EXPECT_TRUE(peakbSelections.empty());
    EXPECT_TRUE(ratebSelections.empty());
}

TEST_F(Zn4Test, ColumnAStepFiftySentOnceThenASecondClickSendsNothing) {
    start();
    const size_t before = mark();
    zn4.peakbClick(15);  // A 1/50
    acq->normalCycle();  // the reply still says 1/1, the step last shown: the click stands
    EXPECT_EQ(unitNow().stepA, 5);
    zn4.peakbClick(15);
    acq->normalCycle();  // the unit now reports A at 1/50: shown once, nothing to send
    acq->normalCycle();
    EXPECT_EQ(znFrames(before), (QStringList{"g", "a5", "g", "g"}));
    EXPECT_EQ(zn4.lastat1, 5);
    EXPECT_EQ(peakbSelections, (std::vector<int>{15}));
}

TEST_F(Zn4Test, ChannelBChangedAtTheUnitIsShownAndSentBackOnce) {
    start();
    link->zncommand(QStringLiteral("c3"));  // the knob of channel B turned to 1/10
    const size_t before = mark();
    for (int i = 0; i < 3; ++i) {
        acq->normalCycle();
    }
    EXPECT_EQ(peakbSelections, (std::vector<int>{3}));
    EXPECT_EQ(znFrames(before), (QStringList{"g", "c3", "g", "g"}));
    EXPECT_EQ(unitNow().stepB, 3);
}

TEST_F(Zn4Test, RemoteOffSendsLocalAndGreysTheButtonsTickingSendsRemote) {
    start();
    const size_t before = mark();
    zn4.remoteClick(false);
    EXPECT_FALSE(framesEnabled);
    acq->normalCycle();
    EXPECT_FALSE(unitNow().remote);
    zn4.remoteClick(true);
    EXPECT_TRUE(framesEnabled);
    acq->normalCycle();
    acq->normalCycle();
    EXPECT_EQ(znFrames(before), (QStringList{"g", "m0", "g", "m1", "g"}));
    EXPECT_TRUE(unitNow().remote);
}

TEST_F(Zn4Test, InLocalOperationThePanelFollowsTheKnobsAndSendsEachChangeBackOnce) {
    start(true);
    g.samplems = 500;
    zn4.remoteClick(false);
    const size_t before = mark();
    for (int i = 0; i < 120; ++i) {  // a minute of cycles
        acq->normalCycle();
    }
    const auto& log = port->frameLog();
    const auto lastQuery = std::find_if(
        log.rbegin(), log.rend(), [](const auto& f) { return f.address == 2 && f.command == "g"; });
    const auto reported = bench->discriminator()->settingsAt(lastQuery->atUs);
    EXPECT_EQ(std::tuple(zn4.lastat1, zn4.lastat2, zn4.lastrt),
              std::tuple(reported.stepA, reported.stepB, reported.function));
    EXPECT_EQ(std::tuple(checkedA, checkedB, checkedFunction),
              std::tuple(Zn4Panel::columnA + reported.stepA, reported.stepB, reported.function));

    // Every change shown went back once; the first cycle sent "m0" besides.
    QStringList sent = znFrames(before);
    sent.removeAll(QStringLiteral("g"));
    ASSERT_FALSE(sent.isEmpty());
    EXPECT_EQ(sent.front(), QStringLiteral("m0"));
    const size_t changes = peakbSelections.size() + ratebSelections.size();
    EXPECT_GE(changes, 3u);
    EXPECT_EQ(static_cast<size_t>(sent.size() - 1), changes);
}

TEST_F(Zn4Test, DuringAQnPassTheWindowIsOffAndTheReadBackWaitsToBeSent) {
    start();
    g.gatetime = 100;
    zn4.qnRunning(true);
    g.qnmode = true;
    EXPECT_FALSE(windowEnabled);
    EXPECT_TRUE(framesEnabled);             // the frames keep their own state
    link->zncommand(QStringLiteral("f2"));  // FUNCTION turned to PD ON at the unit
    const size_t before = mark();
    acq->qnscan();
    EXPECT_EQ(znFrames(before), QStringList(10, QStringLiteral("g")));  // every step asks
    EXPECT_EQ(ratebSelections, (std::vector<int>{2}));
    EXPECT_EQ(g.znfunc, 2);

    g.qnmode = false;
    zn4.qnRunning(false);
    EXPECT_TRUE(windowEnabled);
    const size_t after = mark();
    acq->normalCycle();
    EXPECT_EQ(znFrames(after), (QStringList{"g", "f2"}));
}

}  // namespace
}  // namespace kr5
