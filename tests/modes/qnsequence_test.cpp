// The Q-N measurement: start and stop from the menu, the pass count it owns, the end after
// the set number of passes, the Non Stop blocks, the captions and markers; first with
// recorded windows and steps handed in by hand, then on the acquisition loop with the
// simulated bench and the real charts in virtual time. Writing the markers to the
// measurement file is left to the recorder tests, drawing the bars to the chart tests.
#include "modes/qnsequence.h"
#include "charts/charts.h"
#include "measure/acquisition.h"
#include "measure/evaluation.h"
#include "measure/panelmodel.h"
#include "platform/virtualclock.h"
#include "sim/bench.h"
#include "sim/simport.h"
#include "support/benchunits.h"
#include "support/fakeclipboard.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <algorithm>
#include <functional>
#include <vector>

namespace kr5 {
namespace {

const QStringList kQnMenu{"T-QNV Mes.(&Q)", "T-N(Q)V", "Q-N"};
const QStringList kNormalMenu{"QN Mes.(&Q)", "T-QNV", "V-Q"};

// The windows as the measurement sees them, with everything it asks of them in one log.
struct RecordedWindows : QnWindows {
    void setMenuCaptions(const QString& mesqn, const QString& dwave, const QString& dvq) override {
        menuCaptions = QStringList{mesqn, dwave, dvq};
    }
    void showQnFace(const QString& label) override { log << QStringLiteral("qn face") + label; }
    void showNormalFace() override { log << QStringLiteral("normal face"); }
    void startBlock(const QString& label) override { log << QStringLiteral("block") + label; }
    void setLocked(bool on) override {
        log << (on ? QStringLiteral("locked") : QStringLiteral("unlocked"));
    }
    void showStep(const QString& caption, int pass, const Reading& step) override {
        steps.push_back({caption, pass, step.attRange});
    }
    void copyChart() override { log << QStringLiteral("copy"); }

    struct Step {
        QString caption;
        int pass;
        int range;
    };
    QStringList menuCaptions;
    QStringList log;
    std::vector<Step> steps;
};

struct QnSequenceTest : ::testing::Test {
    QnSequenceTest() {
        QObject::connect(&qn, &QnSequence::startMarkerDue,
                         [this] { windows.log << QStringLiteral("start marker"); });
        QObject::connect(&qn, &QnSequence::endMarkerDue,
                         [this] { windows.log << QStringLiteral("end marker"); });
        qn.setPortDigit(QStringLiteral("1"));
        settings.qnCondition = QStringLiteral("dry");
        // The panel shows a test voltage of 6.12 kV, which labels the Q-N face.
        Reading cycle;
        cycle.es = 61.2;
        cycle.testVoltage = 6120.0;
        panel.takeReading(cycle);
    }

    static Reading step(int range) {
        Reading r;
        r.kind = Reading::Kind::QnStep;
        r.attRange = range;
        r.countRate = 40;
        return r;
    }
    void pass() {
        for (int range = 0; range < kAttenuatorRanges; ++range) {
            qn.takeReading(step(range));
        }
    }
    // Menu QN-Mes., then the start carried out by the loop as it does.
    void start() {
        qn.menuClick();
        requests.qnStart = false;
        qn.recordStart();
    }
    int count(const QString& entry) const { return static_cast<int>(windows.log.count(entry)); }

    OperatingSettings settings;
    Requests requests;
    PanelModel panel{requests, settings};
    VirtualClock clock;
    VirtualPump pump{clock};
    RecordedWindows windows;
    QnSequence qn{{settings, requests, panel, pump, windows}};
};

TEST_F(QnSequenceTest, StartTurnsToTheQnFaceLocksTheControlsAndRequestsTheStart) {
    panel.clickRemote(true);
    ASSERT_TRUE(panel.rangeButtonsEnabled());
    qn.menuClick();
    EXPECT_TRUE(qn.passesRunning());
    EXPECT_FALSE(qn.endAfterPass());
    EXPECT_EQ(qn.passes(), 0);
    EXPECT_EQ(windows.menuCaptions, kQnMenu);
    EXPECT_EQ(windows.log, (QStringList{"qn face 6.12kV dry", "locked"}));
    EXPECT_FALSE(panel.rangeButtonsEnabled());
    EXPECT_FALSE(panel.remoteBoxEnabled());
    // The start marker is due only when the loop carries out the request.
    EXPECT_TRUE(requests.qnStart);
    qn.recordStart();
    EXPECT_EQ(windows.log.last(), QStringLiteral("start marker"));
}

TEST_F(QnSequenceTest, RemoteIsSwitchedOnAtStartWhenItIsOff) {
    for (const bool remoteBefore : {false, true}) {
        SCOPED_TRACE(remoteBefore);
        if (qn.passesRunning()) {
            qn.finish();
        }
        panel.clickRemote(remoteBefore);
        requests.detectorRemote.reset();
        const long pumps = pump.pumpCount();
        qn.menuClick();
        EXPECT_TRUE(panel.remote());
        // Off, it is requested as a tick of the box would, and events run once before
        // the measurement starts; on, nothing is asked.
        EXPECT_EQ(requests.detectorRemote, remoteBefore ? std::nullopt : std::optional(true));
        EXPECT_EQ(pump.pumpCount(), pumps + (remoteBefore ? 0 : 1));
    }
}

TEST_F(QnSequenceTest, AFixedCountEndsAfterExactlyItsPasses) {
    for (const qint32 passes : {1, 2, 5, 10}) {
        SCOPED_TRACE(passes);
        settings.qnPasses = passes;
        windows.log.clear();
        start();
        for (int done = 1; done <= passes; ++done) {
            for (int range = 0; range < kAttenuatorRanges - 1; ++range) {
                qn.takeReading(step(range));
            }
            EXPECT_FALSE(qn.endAfterPass()) << done;  // not before the last range
            qn.takeReading(step(kAttenuatorRanges - 1));
            EXPECT_EQ(qn.passes(), done);
            EXPECT_EQ(qn.endAfterPass(), done == passes) << done;
            EXPECT_EQ(count(QStringLiteral("copy")), done == passes ? 1 : 0) << done;
        }
        // The loop ends the measurement after that pass.
        qn.finish();
        EXPECT_FALSE(qn.passesRunning());
        EXPECT_FALSE(qn.endAfterPass());
        EXPECT_EQ(windows.menuCaptions, kNormalMenu);
        EXPECT_EQ(windows.log, (QStringList{"qn face 6.12kV dry", "locked", "start marker", "copy",
                                            "normal face", "unlocked", "end marker"}));
        EXPECT_TRUE(panel.rangeButtonsEnabled());
    }
}

TEST_F(QnSequenceTest, NonStopBlocksHaveThirtyOnePassesWithAnEndAndStartMarkerBetween) {
    settings.qnPasses = OperatingSettings::nonStop;
    start();
    windows.log.clear();
    for (int done = 1; done <= 3 * QnSequence::nonStopBlock + 5; ++done) {
        SCOPED_TRACE(done);
        pass();
        const bool blockEnds = done % QnSequence::nonStopBlock == 0;
        EXPECT_EQ(qn.passes(), done % QnSequence::nonStopBlock);
        EXPECT_FALSE(qn.endAfterPass());
        // At each change: the finished chart copied, the new block's face, then the end
        // of the old block and the start of the new one in the file.
        const QStringList change{"copy", "block 6.12kV dry", "end marker", "start marker"};
        EXPECT_EQ(windows.log, blockEnds ? change : QStringList());
        windows.log.clear();
    }
    // The pass column of each step starts again with each block.
    ASSERT_EQ(windows.steps.size(), size_t{(3 * 31 + 5) * 10});
    for (size_t i = 0; i < windows.steps.size(); ++i) {
        EXPECT_EQ(windows.steps[i].pass, static_cast<int>(i / 10 % 31)) << i;
        EXPECT_EQ(windows.steps[i].range, static_cast<int>(i % 10)) << i;
    }
}

TEST_F(QnSequenceTest, AStopClickEndsTheMeasurementAfterThePassUnderWay) {
    settings.qnPasses = OperatingSettings::nonStop;
    start();
    pass();
    for (int range = 0; range < 4; ++range) {
        qn.takeReading(step(range));
    }
    qn.menuClick();
    EXPECT_TRUE(qn.passesRunning());
    EXPECT_TRUE(qn.endAfterPass());
    for (int range = 4; range < kAttenuatorRanges; ++range) {
        qn.takeReading(step(range));  // the rest of the pass is still shown and counted
    }
    EXPECT_EQ(windows.steps.size(), 20u);
    EXPECT_EQ(qn.passes(), 2);
    qn.finish();
    EXPECT_EQ(count(QStringLiteral("end marker")), 1);
    EXPECT_EQ(count(QStringLiteral("copy")), 0);  // a stopped measurement is not copied

    // A new measurement counts from the start.
    start();
    EXPECT_EQ(qn.passes(), 0);
    EXPECT_FALSE(qn.endAfterPass());
    qn.takeReading(step(0));
    EXPECT_EQ(windows.steps.back().caption, QStringLiteral("Q-N(1)  1/1"));
}

TEST_F(QnSequenceTest, TheCaptionShowsThePassUnderWayAndThePassesAskedFor) {
    // Port digit, passes asked for, passes completed before the step, and the caption.
    const struct {
        const char* port;
        qint32 passes;
        int completed;
        const char* caption;
    } cases[] = {
        {"1", 10, 0, "Q-N(1)  1/10"},   {"1", 10, 2, "Q-N(1)  3/10"},
        {"1", 10, 9, "Q-N(1)  10/10"},  {"2", 5, 4, "Q-N(2)  5/5"},
        {"1", 100, 0, "Q-N(1)  1/100"}, {"1", -1, 0, "Q-N(1)  1/1"},  // Non Stop
        {"1", -1, 30, "Q-N(1)  31/1"},                                // the last pass of a block
        {"1", -1, 31, "Q-N(1)  1/1"},                                 // the first of the next
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        settings.qnPasses = c.passes;
        qn.setPortDigit(QLatin1String(c.port));
        start();
        for (int i = 0; i < c.completed; ++i) {
            pass();
        }
        windows.steps.clear();
        pass();
        ASSERT_EQ(windows.steps.size(), 10u);
        for (const auto& s : windows.steps) {
            EXPECT_EQ(s.caption, QLatin1String(c.caption));
        }
        qn.finish();
    }
}

TEST_F(QnSequenceTest, OnlyQnStepsOfARunningMeasurementAreCounted) {
    settings.qnPasses = 1;
    pass();  // steps before the start
    EXPECT_TRUE(windows.steps.empty());
    start();
    Reading cycle = step(kAttenuatorRanges - 1);
    cycle.kind = Reading::Kind::Cycle;  // a normal reading at the last range
    qn.takeReading(cycle);
    EXPECT_EQ(qn.passes(), 0);
    EXPECT_TRUE(windows.steps.empty());
    pass();
    EXPECT_TRUE(qn.endAfterPass());
    qn.finish();
    pass();  // after the end
    EXPECT_EQ(windows.steps.size(), 10u);
    EXPECT_EQ(count(QStringLiteral("copy")), 1);
}

// The measurement on the acquisition loop with the default bench and the real charts,
// wired as the program's windows do it. A pass with a 100 ms gate takes about 2 s.
struct QnOnBench : ::testing::Test, LoopWindows, QnWindows, ReadingListener {
    QnOnBench() {
        fillColourTable(colours);
        QObject::connect(&qn, &QnSequence::startMarkerDue, [this] { markers << "QNstartD"; });
        QObject::connect(&qn, &QnSequence::endMarkerDue, [this] { markers << "QNend"; });
        settings.gateTimeMs = 100;
        charts.setPortDigit(QStringLiteral("1"));
        qn.setPortDigit(QStringLiteral("1"));
        loop.addListener(panel);
        loop.addListener(*this);
        loop.addListener(qn);
    }
    void SetUp() override { ASSERT_TRUE(test::startOnDefaultBench(units, link)); }

    // LoopWindows
    void showDiscriminatorPanel(bool) override {}
    void startCharts() override { charts.startLoop(); }
    // QnWindows
    void setMenuCaptions(const QString& mesqn, const QString& dwave, const QString& dvq) override {
        menuCaptions = QStringList{mesqn, dwave, dvq};
    }
    void showQnFace(const QString& label) override { charts.showQnFace(label); }
    void showNormalFace() override { charts.showNormalFace(); }
    void startBlock(const QString& label) override {
        charts.plotter().setFace(chart::Face::Qn, label);
        charts.clearVq();
    }
    void setLocked(bool) override {}
    void showStep(const QString& caption, int pass, const Reading& step) override {
        captions << caption;
        charts.setQnPassCaption(caption);
        charts.plotter().plotQnBar(pass, step);
        charts.vq().refresh();
    }
    void copyChart() override {
        ++copies;
        charts.copyQnChart();
    }
    // The charts' share of the readings.
    void takeReading(const Reading& reading) override {
        charts.plotter().plotReading(reading, false);
        charts.refresh();
    }

    void at(qint64 ms, std::function<void()> action) {
        clock.scheduleAtUs(ms * 1000, std::move(action));
    }
    void clickAt(qint64 ms) {
        at(ms, [this] { qn.menuClick(); });
    }
    void runUntil(qint64 endMs) {
        at(endMs, [this] { requests.end = true; });
        loop.run();
    }
    // The detector's commands, in order.
    QStringList detectorFrames() const {
        QStringList out;
        for (const auto& f : port.frameLog()) {
            if (f.address == 0) {
                out << QString::fromLatin1(f.command);
            }
        }
        return out;
    }
    int gates() const {
        const QStringList frames = detectorFrames();
        return static_cast<int>(std::count(frames.begin(), frames.end(), QStringLiteral("c100")));
    }
    // The captions a run of `passes` of `asked` shows: ten steps each.
    static QStringList captionsOf(int passes, const QString& asked) {
        QStringList out;
        for (int p = 1; p <= passes; ++p) {
            out += QStringList(10, QStringLiteral("Q-N(1)  %1/").arg(p) + asked);
        }
        return out;
    }

    VirtualClock clock;
    VirtualPump pump{clock};
    Timing timing{clock, pump};
    sim::Bench bench{sim::Scenario::defaultBench()};
    sim::SimPort port{bench, clock};
    UnitsOnLine units;
    Link link{units, port, clock, pump, timing};
    InputConstants constants;
    OperatingSettings settings;
    Requests requests;
    PanelModel panel{requests, settings};
    ReadingEvaluator evaluator{constants, units};
    ColourTable colours;
    test::FakeClipboard clipboard;
    test::FakeDialogs dialogs;
    Charts charts{constants, settings, colours, clipboard, dialogs};
    QnSequence qn{{settings, requests, panel, pump, *this}};
    Acquisition loop{
        {requests, settings, units, link, clock, timing, pump, evaluator, panel, *this, qn}};

    QStringList markers;
    QStringList menuCaptions;
    QStringList captions;
    int copies = 0;
};

TEST_F(QnOnBench, AFixedCountRunsExactlyItsPassesThenNormalCyclesResume) {
    settings.qnPasses = 5;
    at(50, [this] {
        qn.menuClick();
        EXPECT_EQ(menuCaptions, kQnMenu);
        EXPECT_EQ(charts.wave().windowTitle(), QStringLiteral("T-N(Q)V(1)"));
    });
    runUntil(60000);
    EXPECT_EQ(gates(), 5 * 10);
    EXPECT_EQ(copies, 1);
    EXPECT_TRUE(charts.qn().isVisible());
    EXPECT_EQ(markers, (QStringList{"QNstartD", "QNend"}));
    EXPECT_EQ(captions, captionsOf(5, QStringLiteral("5")));
    EXPECT_EQ(menuCaptions, kNormalMenu);
    EXPECT_EQ(charts.vq().windowTitle(), QStringLiteral("V-Q(1)"));
    EXPECT_FALSE(qn.passesRunning());
    // Normal cycles ran after the measurement.
    const QStringList frames = detectorFrames();
    EXPECT_GT(frames.mid(frames.lastIndexOf(QStringLiteral("c100"))).count(QStringLiteral("x")),
              10);
}

TEST_F(QnOnBench, AStopClickDuringAPassEndsAfterItsLastRange) {
    settings.qnPasses = OperatingSettings::nonStop;
    clickAt(50);
    clickAt(3000);  // well into the second pass
    runUntil(30000);
    EXPECT_EQ(gates(), 2 * 10);
    EXPECT_EQ(copies, 0);
    EXPECT_EQ(markers, (QStringList{"QNstartD", "QNend"}));
}

TEST_F(QnOnBench, NonStopChangesBlockEveryThirtyOnePasses) {
    settings.qnPasses = OperatingSettings::nonStop;
    clickAt(50);
    // The operator stops at the second block change: the measurement ends after the pass
    // that closed the block.
    QObject::connect(&qn, &QnSequence::endMarkerDue, [this] {
        if (markers.count(QStringLiteral("QNend")) == 2) {
            qn.menuClick();
        }
    });
    runUntil(400000);
    EXPECT_EQ(gates(), 2 * 31 * 10);
    EXPECT_EQ(copies, 2);
    EXPECT_EQ(markers,
              (QStringList{"QNstartD", "QNend", "QNstartD", "QNend", "QNstartD", "QNend"}));
    EXPECT_EQ(captions, captionsOf(31, "1") + captionsOf(31, "1"));
}

TEST_F(QnOnBench, NothingTheChartsDoDuringARunChangesTheCount) {
    settings.qnPasses = 4;
    clickAt(50);
    // The operator clears, erases, hides and shows the charts while the passes run.
    at(2500, [this] { charts.clearVq(); });
    at(3500, [this] { emit charts.vq().eraseRequested(); });
    at(4500, [this] { charts.clearBoth(); });
    at(5500, [this] {
        charts.toggleVqWindow();
        charts.toggleVqWindow();
    });
    at(6500, [this] { charts.toggleTrendWindow(); });
    at(7500, [this] { charts.prepareVqRestore(); });
    runUntil(30000);
    EXPECT_EQ(gates(), 4 * 10);
    EXPECT_EQ(captions, captionsOf(4, QStringLiteral("4")));
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(markers, (QStringList{"QNstartD", "QNend"}));
}

TEST_F(QnOnBench, AStartClickAfterTheCyclesRequestPointStillRecordsItsStartFirst) {
    settings.qnPasses = 2;
    // The click lands during the wait for the cycle's remaining time, after the requests
    // have been looked at.
    settings.sampleMs = 500;
    clickAt(2000);
    runUntil(30000);
    EXPECT_EQ(markers, (QStringList{"QNstartD", "QNend"}));
    EXPECT_EQ(gates(), 2 * 10);
}

}  // namespace
}  // namespace kr5
