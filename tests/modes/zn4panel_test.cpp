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

#include <memory>
#include <vector>

namespace kr5 {
namespace {

// Stands in for the window: remembers what it shows, and runs the panel's handlers when a
// button is selected from code, as the window does.
class FakeZn4View : public Zn4View {
  public:
    Zn4Panel* panel = nullptr;
    std::vector<int> peakbSelections;  // elements selected from code, in order
    std::vector<int> ratebSelections;
    int checkedA = Zn4Panel::columnA;  // the checked element of each column
    int checkedB = 0;
    int checkedFunction = 0;
    bool framesEnabled = true;
    bool windowEnabled = true;
    bool shown = false;
    QString caption = QStringLiteral("ZN-4");

    void selectPeakb(int element) override {
        peakbSelections.push_back(element);
        clickPeakb(element);
    }
    void selectRateb(int i) override {
        ratebSelections.push_back(i);
        clickRateb(i);
    }
    void setFramesEnabled(bool enabled) override { framesEnabled = enabled; }
    void setWindowEnabled(bool enabled) override { windowEnabled = enabled; }
    void setCaption(const QString& text) override { caption = text; }
    void showWindow() override { shown = true; }
    void hideWindow() override { shown = false; }

    // The operator's clicks.
    void clickPeakb(int element) {
        (element >= Zn4Panel::columnA ? checkedA : checkedB) = element;
        panel->peakbClick(element);
    }
    void clickRateb(int i) {
        checkedFunction = i;
        panel->ratebClick(i);
    }
};

struct Zn4Logic : ::testing::Test {
    Globals g;
    FakeZn4View view;
    Zn4Panel panel{g, view};
    std::vector<bool> ticks;  // every state given to the menu item

    Zn4Logic() {
        view.panel = &panel;
        panel.setMenuTick = [this](bool ticked) { ticks.push_back(ticked); };
    }
};

TEST_F(Zn4Logic, ButtonClicksWriteTheRequestOfTheirChannel) {
    view.clickPeakb(15);  // column A, 1/50
    EXPECT_EQ(g.znatt2, 5);
    EXPECT_EQ(g.znatt1, 0);
    view.clickPeakb(3);  // column B, 1/10
    EXPECT_EQ(g.znatt1, 3);
    EXPECT_EQ(g.znatt2, 5);
    view.clickPeakb(10);
    view.clickPeakb(19);
    EXPECT_EQ(g.znatt2, 9);
    view.clickRateb(2);
    EXPECT_EQ(g.znfunc, 2);
    // Nothing is sent from a handler: the requests only.
    EXPECT_EQ(g.znatt2sent, 0);
    EXPECT_FALSE(g.znremreq);

    for (int bad : {-1, 20, 99}) {
        panel.peakbClick(bad);
        panel.ratebClick(bad < 0 ? bad : 4);
    }
    EXPECT_EQ(g.znatt1, 3);
    EXPECT_EQ(g.znatt2, 9);
    EXPECT_EQ(g.znfunc, 2);
}

TEST_F(Zn4Logic, RemoteSwitchesTheFramesAndAsksForTheCommand) {
    panel.remoteClick(false);
    EXPECT_EQ(g.zncmd, QStringLiteral("m0"));
    EXPECT_TRUE(g.znremreq);
    EXPECT_FALSE(view.framesEnabled);
    g.znremreq = false;  // as the loop does once it has sent it
    panel.remoteClick(true);
    EXPECT_EQ(g.zncmd, QStringLiteral("m1"));
    EXPECT_TRUE(g.znremreq);
    EXPECT_TRUE(view.framesEnabled);
}

TEST_F(Zn4Logic, ReadBackSelectsOnlyChangedSettingsAndWritesThemIntoTheRequests) {
    // What is shown already: no selection.
    panel.nbtsetat1(0);
    panel.nbtsetat2(0);
    panel.nbtsetrt(0);
    EXPECT_TRUE(view.peakbSelections.empty());
    EXPECT_TRUE(view.ratebSelections.empty());

    panel.nbtsetat1(7);  // channel A: element 17
    panel.nbtsetat2(3);  // channel B: element 3
    panel.nbtsetrt(1);
    EXPECT_EQ(view.peakbSelections, (std::vector<int>{17, 3}));
    EXPECT_EQ(view.ratebSelections, (std::vector<int>{1}));
    EXPECT_EQ(view.checkedA, 17);
    EXPECT_EQ(view.checkedB, 3);
    EXPECT_EQ(g.znatt2, 7);
    EXPECT_EQ(g.znatt1, 3);
    EXPECT_EQ(g.znfunc, 1);
    EXPECT_EQ(panel.lastat1, 7);
    EXPECT_EQ(panel.lastat2, 3);
    EXPECT_EQ(panel.lastrt, 1);

    // The same report again selects nothing more.
    panel.nbtsetat1(7);
    panel.nbtsetat2(3);
    panel.nbtsetrt(1);
    EXPECT_EQ(view.peakbSelections.size(), 2u);
    EXPECT_EQ(view.ratebSelections.size(), 1u);
}

TEST_F(Zn4Logic, ReadBackFollowsTheUnitEvenOverAnOperatorClick) {
    // The operator picked B 1/100, but the unit still reports the step last shown: the
    // click stands, since nothing changed on the unit.
    view.clickPeakb(6);
    panel.nbtsetat2(0);
    EXPECT_EQ(g.znatt1, 6);
    EXPECT_TRUE(view.peakbSelections.empty());
    // The unit later reports 1/100 itself: the button is selected once more, same request.
    panel.nbtsetat2(6);
    EXPECT_EQ(view.peakbSelections, (std::vector<int>{6}));
    EXPECT_EQ(g.znatt1, 6);
}

TEST_F(Zn4Logic, ReportsOutsideTheButtonsAreIgnored) {
    panel.nbtsetat1(4);
    for (int bad : {-1, 10, 57}) {
        panel.nbtsetat1(bad);
        panel.nbtsetat2(bad);
        panel.nbtsetrt(bad < 0 ? bad : 4);
    }
    EXPECT_EQ(view.peakbSelections, (std::vector<int>{14}));
    EXPECT_TRUE(view.ratebSelections.empty());
    EXPECT_EQ(panel.lastat1, 4);
    EXPECT_EQ(panel.lastat2, 0);
    EXPECT_EQ(panel.lastrt, 0);
    EXPECT_EQ(g.znatt2, 4);
}

TEST_F(Zn4Logic, MenuItemTicksFirstThenHidesAfterStartUp) {
    panel.showAtStart(QStringLiteral("2"));
    EXPECT_EQ(view.caption, QStringLiteral("ZN-4(2)"));
    EXPECT_TRUE(view.shown);
    EXPECT_FALSE(panel.menuTicked());

    panel.zn4wClick();  // the window is up already: only the tick
    EXPECT_TRUE(view.shown);
    EXPECT_TRUE(panel.menuTicked());
    panel.zn4wClick();  // now it goes
    EXPECT_FALSE(view.shown);
    EXPECT_FALSE(panel.menuTicked());
    panel.zn4wClick();  // and comes back ticked
    EXPECT_TRUE(view.shown);
    EXPECT_TRUE(panel.menuTicked());
    EXPECT_EQ(ticks, (std::vector<bool>{false, true, false, true}));
}

TEST_F(Zn4Logic, CloseHidesAndUnticksSoTheNextMenuClickShows) {
    panel.showAtStart(QStringLiteral("1"));
    panel.zn4wClick();
    panel.nclsClick();  // Close(&X) or the title bar
    EXPECT_FALSE(view.shown);
    EXPECT_FALSE(panel.menuTicked());
    EXPECT_FALSE(ticks.back());
    panel.zn4wClick();
    EXPECT_TRUE(view.shown);
    EXPECT_TRUE(panel.menuTicked());

    panel.clzn();
    EXPECT_FALSE(view.shown);
    EXPECT_FALSE(panel.menuTicked());
}

TEST_F(Zn4Logic, QnMeasurementDisablesTheWholeWindow) {
    panel.qnRunning(true);
    EXPECT_FALSE(view.windowEnabled);
    EXPECT_TRUE(view.framesEnabled);  // the frames keep their own state
    panel.qnRunning(false);
    EXPECT_TRUE(view.windowEnabled);
}

// Stands in for the main window's part in the loop start.
class PanelWindows : public LoopWindows {
  public:
    PanelWindows(Requests& r, Zn4Panel& zn) : req(r), zn4(zn) {}
    Requests& req;
    Zn4Panel& zn4;
    void showZn4Panel(bool present, const QString& portstr) override {
        if (present) {
            zn4.showAtStart(portstr);
        }
    }
    void startCharts(const QString&) override {}
    void tickRemote() override {
        req.remcmd = QStringLiteral("m1");
        req.remreq = true;
    }
    void selectAttButton(int i) override { req.attreq = i; }
};

// The panel wired to the reading evaluation and the acquisition loop, on the default
// bench. The unit's local operator keeps still unless a test lets him turn the knobs.
struct Zn4Loop : ::testing::Test {
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
    FakeZn4View view;
    Zn4Panel zn4{g, view};
    PanelWindows windows{req, zn4};
    std::unique_ptr<Reading> reading;
    std::unique_ptr<Acquisition> acq;

    void start(bool operatorActive = false) {
        scenario.operatorActive = operatorActive;
        bench = std::make_unique<sim::Bench>(scenario);
        port = std::make_unique<sim::SimPort>(*bench, clock);
        link = std::make_unique<Link>(g, *port, clock, pump, timing);
        reading = std::make_unique<Reading>(g, *link, pump, evaluation);
        acq = std::make_unique<Acquisition>(g, req, *link, timing, pump, *reading, windows);
        view.panel = &zn4;
        evaluation.showNoiseSettings = [this](int at1, int at2, int rt) {
            zn4.nbtsetat1(at1);
            zn4.nbtsetat2(at2);
            zn4.nbtsetrt(rt);
        };
        ASSERT_TRUE(test::startOnDefaultBench(g, *link));
        acq->loopStart();
        acq->normalCycle();
    }

    size_t mark() const { return port->frameLog().size(); }

    // The setting and remote commands the noise discriminator got from frame first on.
    QStringList znSent(size_t first) const {
        QStringList out;
        const auto& log = port->frameLog();
        for (size_t i = first; i < log.size(); ++i) {
            if (log[i].address == 2 && log[i].command != "g") {
                out << QString::fromLatin1(log[i].command);
            }
        }
        return out;
    }

    int queries(size_t first) const {
        int n = 0;
        const auto& log = port->frameLog();
        for (size_t i = first; i < log.size(); ++i) {
            n += log[i].address == 2 && log[i].command == "g" ? 1 : 0;
        }
        return n;
    }

    sim::Discriminator::Settings unitNow() {
        return bench->discriminator()->settingsAt(static_cast<double>(clock.nowUs()));
    }
};

TEST_F(Zn4Loop, StartShowsThePanelAndPutsTheUnitUnderRemoteControl) {
    start();
    EXPECT_TRUE(view.shown);
    EXPECT_EQ(view.caption, QStringLiteral("ZN-4(1)"));
    EXPECT_FALSE(zn4.menuTicked());
    EXPECT_EQ(znSent(0), (QStringList{"m1", "a0", "c0", "f0"}));
    EXPECT_TRUE(unitNow().remote);
}

TEST_F(Zn4Loop, ColumnAStepFiftySentOnceThenASecondClickSendsNothing) {
    start();
    const size_t before = mark();
    view.clickPeakb(15);  // A 1/50
    acq->normalCycle();
    EXPECT_EQ(znSent(before), (QStringList{"a5"}));
    EXPECT_EQ(unitNow().stepA, 5);

    const size_t again = mark();
    view.clickPeakb(15);
    acq->normalCycle();  // the unit now reports A at 1/50: shown once, nothing to send
    acq->normalCycle();
    EXPECT_TRUE(znSent(again).isEmpty());
    EXPECT_EQ(zn4.lastat1, 5);
    EXPECT_EQ(view.checkedA, 15);
    EXPECT_EQ(view.peakbSelections, (std::vector<int>{15}));
}

TEST_F(Zn4Loop, AReplyEqualToTheShownStateChangesNothing) {
    start();
    const size_t before = mark();
    for (int i = 0; i < 5; ++i) {
        acq->normalCycle();
    }
    EXPECT_EQ(queries(before), 5);
    EXPECT_TRUE(znSent(before).isEmpty());
    EXPECT_TRUE(view.peakbSelections.empty());
    EXPECT_TRUE(view.ratebSelections.empty());
}

TEST_F(Zn4Loop, ChannelBChangedAtTheUnitIsShownAndSentBackOnce) {
    start();
    link->zncommand(QStringLiteral("c3"));  // the knob of channel B turned to 1/10
    const size_t before = mark();
    acq->normalCycle();
    EXPECT_EQ(view.peakbSelections, (std::vector<int>{3}));
    EXPECT_EQ(view.checkedB, 3);
    EXPECT_EQ(view.checkedA, Zn4Panel::columnA);
    EXPECT_EQ(znSent(before), (QStringList{"c3"}));
    acq->normalCycle();
    acq->normalCycle();
    EXPECT_EQ(znSent(before), (QStringList{"c3"}));
    EXPECT_EQ(view.peakbSelections.size(), 1u);
    EXPECT_EQ(unitNow().stepB, 3);
}

TEST_F(Zn4Loop, RemoteOffSendsLocalAndGreysTheButtonsTickingSendsRemote) {
    start();
    const size_t before = mark();
    zn4.remoteClick(false);
    EXPECT_FALSE(view.framesEnabled);
    acq->normalCycle();
    EXPECT_EQ(znSent(before), (QStringList{"m0"}));
    EXPECT_FALSE(unitNow().remote);

    const size_t back = mark();
    zn4.remoteClick(true);
    EXPECT_TRUE(view.framesEnabled);
    acq->normalCycle();
    acq->normalCycle();
    EXPECT_EQ(znSent(back), (QStringList{"m1"}));
    EXPECT_TRUE(unitNow().remote);
}

TEST_F(Zn4Loop, InLocalOperationThePanelFollowsTheKnobsAndSendsEachChangeBackOnce) {
    start(true);
    g.samplems = 500;
    zn4.remoteClick(false);
    const size_t before = mark();
    double lastQueryUs = 0.0;
    for (int i = 0; i < 120; ++i) {  // a minute of cycles
        acq->normalCycle();
    }
    for (const auto& f : port->frameLog()) {
        if (f.address == 2 && f.command == "g") {
            lastQueryUs = f.atUs;
        }
    }
    const auto reported = bench->discriminator()->settingsAt(lastQueryUs);
    EXPECT_EQ(zn4.lastat1, reported.stepA);
    EXPECT_EQ(zn4.lastat2, reported.stepB);
    EXPECT_EQ(zn4.lastrt, reported.function);
    EXPECT_EQ(view.checkedA, Zn4Panel::columnA + reported.stepA);
    EXPECT_EQ(view.checkedB, reported.stepB);
    EXPECT_EQ(view.checkedFunction, reported.function);

    // Every change shown went back once; the first cycle sent "m0" besides.
    const QStringList sent = znSent(before);
    ASSERT_FALSE(sent.isEmpty());
    EXPECT_EQ(sent.front(), QStringLiteral("m0"));
    const size_t changes = view.peakbSelections.size() + view.ratebSelections.size();
    EXPECT_GE(changes, 3u);
    EXPECT_EQ(static_cast<size_t>(sent.size() - 1), changes);
}

TEST_F(Zn4Loop, DuringAQnPassTheWindowIsOffAndTheReadBackWaitsToBeSent) {
    start();
    g.gatetime = 100;
    zn4.qnRunning(true);
    g.qnmode = true;
    EXPECT_FALSE(view.windowEnabled);
    link->zncommand(QStringLiteral("f2"));  // FUNCTION turned to PD ON at the unit
    const size_t before = mark();
    acq->qnscan();
    EXPECT_EQ(queries(before), 10);  // every step asks
    EXPECT_TRUE(znSent(before).isEmpty());
    EXPECT_EQ(view.ratebSelections, (std::vector<int>{2}));
    EXPECT_EQ(g.znfunc, 2);

    g.qnmode = false;
    zn4.qnRunning(false);
    EXPECT_TRUE(view.windowEnabled);
    const size_t after = mark();
    acq->normalCycle();
    EXPECT_EQ(znSent(after), (QStringList{"f2"}));
}

}  // namespace
}  // namespace kr5
