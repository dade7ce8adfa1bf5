// The acquisition loop on a simulated bench in virtual time: loop start, the order of a
// cycle's traffic, requests, pacing, Q-N passes and the release of the line at the end.
#include "measure/acquisition.h"
#include "sim/bench.h"
#include "sim/simport.h"

#include "support/benchunits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace kr5 {
namespace {

// The fixture records what the loop hands over and optionally spends time on it, as the
// windows do, and stands in for the panel: ticking REMOTE and selecting a range button
// run their handlers.
struct Loop : ::testing::Test, ReadingSink, LoopWindows {
    sim::Scenario scenario = sim::Scenario::defaultBench();
    std::unique_ptr<sim::Bench> bench;
    Globals g;
    VirtualClock clock;
    VirtualPump pump{clock};
    Timing timing{g, clock, pump};
    std::unique_ptr<sim::SimPort> port;
    std::unique_ptr<Link> link;
    std::unique_ptr<Reading> reading;
    Requests req;
    std::unique_ptr<Acquisition> acq;

    qint64 workMs = 0;  // spent while the previous reading is plotted
    int cycles = 0;
    std::vector<qint32> qnSteps;  // the range of each Q-N step
    QString lastDetector, lastAc;
    bool znShown = false;
    QString chartsPort;

    void plotPrevious() override { clock.advanceMs(workMs); }
    void detectorReply(const QString& r) override { lastDetector = r; }
    void acReply(const QString& r) override { lastAc = r; }
    void noiseReply(const QString&) override {}
    void autoRange() override { ++cycles; }
    void qnStep(const QString&, const QString&, qint32, qint32 att) override {
        qnSteps.push_back(att);
    }
    void showZn4Panel(bool present, const QString&) override { znShown = present; }
    void startCharts(const QString& portstr) override { chartsPort = portstr; }
    void tickRemote() override {
        req.remcmd = QStringLiteral("m1");
        req.remreq = true;
    }
    void selectAttButton(int i) override { req.attreq = i; }

    // Sets up the line as start-up leaves it: units found, port open at 9600.
    void start(bool withAc = true, bool withZn = true) {
        auto& units = scenario.units;
        units.erase(std::remove_if(units.begin(), units.end(),
                                   [&](const sim::UnitConfig& u) {
                                       return (u.kind == sim::UnitKind::AcUnit && !withAc) ||
                                              (u.kind == sim::UnitKind::Discriminator && !withZn);
                                   }),
                    units.end());
        bench = std::make_unique<sim::Bench>(scenario);
        port = std::make_unique<sim::SimPort>(*bench, clock);
        link = std::make_unique<Link>(g, *port, clock, pump, timing);
        reading = std::make_unique<Reading>(g, *link, pump, *this);
        acq = std::make_unique<Acquisition>(g, req, *link, timing, pump, *reading, *this);
        ASSERT_TRUE(test::startOnDefaultBench(g, *link, withAc, withZn));
    }

    // Starts the loop and runs its first cycle; returns the frames logged so far.
    size_t startAndCycle(bool withAc = true, bool withZn = true) {
        start(withAc, withZn);
        acq->loopStart();
        acq->normalCycle();
        return port->frameLog().size();
    }

    // The last frames of a run: remote off, every unit and the port back at 9600 baud.
    void expectLineReleased() {
        const QStringList t = traffic();
        EXPECT_EQ(t.mid(t.size() - 6),
                  (QStringList{"0:m0", "2:m0", "0:b3", "1:b3", "2:b3", "0:v"}));
        EXPECT_FALSE(port->isOpen());
        EXPECT_FALSE(timing.timersRunning());
    }

    // Ends the program at virtual time ms.
    void endAt(qint64 ms) {
        clock.scheduleAtUs(ms * 1000, [this] { g.endreq = true; });
    }

    // "<address>:<command>" for each frame from index first on.
    QStringList traffic(size_t first = 0) const {
        QStringList out;
        const auto& log = port->frameLog();
        for (size_t i = first; i < log.size(); ++i) {
            out << QStringLiteral("%1:%2")
                       .arg(log[i].address)
                       .arg(QString::fromLatin1(log[i].command));
        }
        return out;
    }
};

TEST_F(Loop, StartThenFirstCycleThenRemoteAgain) {
    startAndCycle();
    const QStringList expected{"0:m1", "0:a0", "0:r0", "2:m1", "2:a0", "2:c0",
                               "2:f0", "0:x",  "1:t",  "2:g",  "0:m1"};
    EXPECT_EQ(traffic(), expected);
    EXPECT_TRUE(znShown);
    EXPECT_EQ(chartsPort, QStringLiteral("1"));
    EXPECT_TRUE(timing.timersRunning());
    EXPECT_EQ(req.remcmd, QStringLiteral("m1"));
    EXPECT_FALSE(req.remreq);
    EXPECT_EQ(g.cyccount, 2);  // vinit leaves 1, and one cycle was counted
    EXPECT_EQ(lastDetector.size(), 11);
    EXPECT_EQ(lastAc.size(), 9);
    EXPECT_EQ(cycles, 1);  // and automatic ranging had its turn
}

TEST_F(Loop, WithoutAcUnitOrNoiseDiscriminatorOnlyTheDetectorIsAsked) {
    startAndCycle(false, false);
    acq->normalCycle();
    const QStringList expected{"0:m1", "0:a0", "0:r0", "0:x", "0:m1", "0:x"};
    EXPECT_EQ(traffic(), expected);
    EXPECT_FALSE(znShown);
    EXPECT_EQ(lastAc, QStringLiteral("0xx1000"));
}

TEST_F(Loop, TwoClicksInOneCycleSendOnlyTheLastAndRequestsGoOutInOrder) {
    const size_t mark = startAndCycle();
    req.attreq = 3;
    req.attreq = 5;
    req.ratereq = 2;
    g.zncmd = QStringLiteral("m0");
    g.znremreq = true;
    g.znfunc = 2;
    g.znatt1 = 3;
    g.znatt2 = 4;
    acq->normalCycle();
    EXPECT_EQ(traffic(mark),
              (QStringList{"0:x", "1:t", "2:g", "0:a5", "0:r2", "2:m0", "2:f2", "2:c3", "2:a4"}));
    EXPECT_FALSE(g.znremreq);
    const size_t mark2 = port->frameLog().size();
    acq->normalCycle();  // nothing more to send
    EXPECT_EQ(traffic(mark2), (QStringList{"0:x", "1:t", "2:g"}));
}

TEST_F(Loop, ASpeedRequestSwitchesTheUnitsThenThePort) {
    const size_t mark = startAndCycle();
    g.comspeed = 2;
    g.speedreq = true;
    acq->normalCycle();
    acq->normalCycle();
    const auto& log = port->frameLog();
    ASSERT_EQ(traffic(mark), (QStringList{"0:x", "1:t", "2:g", "0:b5", "1:b5", "2:b5", "0:v", "0:x",
                                          "1:t", "2:g"}));
    for (size_t i = mark; i < log.size(); ++i) {
        EXPECT_EQ(log[i].baud, i < mark + 6 ? 9600 : 38400) << i;
    }
    EXPECT_FALSE(g.speedreq);
    EXPECT_EQ(lastDetector.size(), 11);  // the units answer at the new speed
}

TEST_F(Loop, PacingFollowsTheSampleTime) {
    start();
    acq->loopStart();
    // Sample time and work per cycle, then the bounds of the time between "x" frames: whole
    // ticks of 100 ms; with work longer than the sample time no wait at all.
    for (const auto& [samplems, work, least, most] :
         {std::array{500, 150, 400, 600}, std::array{100, 300, 300, 360}}) {
        g.samplems = samplems;
        workMs = work;
        for (int i = 0; i < 5; ++i) {
            acq->normalCycle();
        }
        std::vector<double> x;  // times of the "x" frames in ms
        for (const auto& f : port->frameLog()) {
            if (f.command == "x") {
                x.push_back(f.atUs / 1000.0);
            }
        }
        for (size_t i = x.size() - 3; i < x.size(); ++i) {
            EXPECT_GE(x[i] - x[i - 1], least) << samplems << " " << i;
            EXPECT_LE(x[i] - x[i - 1], most) << samplems << " " << i;
        }
    }
}

TEST_F(Loop, AQnPassStepsThroughTheTenRangesWithTheGate) {
    start();
    acq->loopStart();
    const size_t mark = port->frameLog().size();
    const qint64 t0 = clock.nowMs();
    acq->qnscan();
    QStringList expected;
    for (int i = 0; i < 10; ++i) {
        expected += QStringList{QStringLiteral("0:a%1").arg(i), "0:c1000", "0:x", "1:t", "2:g"};
    }
    EXPECT_EQ(traffic(mark), expected);
    // Each step waits a tick for the range and the gate time for the count.
    EXPECT_GE(clock.nowMs() - t0, 10 * 1000);
    EXPECT_LE(clock.nowMs() - t0, 10 * 1250);
    EXPECT_EQ(qnSteps, (std::vector<qint32>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(req.attreq, 9);    // the buttons followed the pass
    EXPECT_EQ(acq->attsent, 0);  // but nothing was sent as a request
}

TEST_F(Loop, RequestsWaitWhileAQnMeasurementRuns) {
    start();
    g.qnmode = true;
    int ended = 0;
    acq->qnend = [&] {
        ++ended;
        g.qnmode = false;
    };
    // A click and a stop early in the first pass; the pass takes about 11 s.
    clock.scheduleInMs(3000, [this] {
        req.ratereq = 3;
        g.qnstop = true;
    });
    endAt(12500);
    acq->mesloop();
    EXPECT_EQ(ended, 1);
    const QStringList t = traffic();
    const int lastGate = static_cast<int>(t.lastIndexOf(QStringLiteral("0:c1000")));
    const int rate = static_cast<int>(t.indexOf(QStringLiteral("0:r3")));
    EXPECT_EQ(t.filter(QStringLiteral("0:c1000")).size(), 10);  // one whole pass
    EXPECT_GT(rate, lastGate);  // sent only after the pass, by a normal cycle
}

TEST_F(Loop, AnEndRequestDuringAPassEndsAfterTheWholePassThenReleasesTheLine) {
    start();
    g.qnmode = true;
    endAt(2500);  // early in the first pass
    acq->mesloop();
    EXPECT_EQ(traffic().filter(QStringLiteral(":c1000")).size(), 10);
    expectLineReleased();
}

TEST_F(Loop, ExitEndsAfterTheCycleAndReleasesTheLineAtNineThousandSixHundred) {
    start();
    g.comspeed = 1;
    g.speedreq = true;
    endAt(3000);
    acq->mesloop();
    expectLineReleased();
    const auto& log = port->frameLog();
    EXPECT_EQ(log[log.size() - 2].baud, 19200);  // the units were told at their speed
    EXPECT_EQ(log.back().baud, 9600);            // and the port followed
}

}  // namespace
}  // namespace kr5
