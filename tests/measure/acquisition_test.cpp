// The acquisition loop on a simulated bench in virtual time: loop start, the order of a
// cycle's traffic, requests, pacing, Q-N passes and the release of the line at the end.
#include "measure/acquisition.h"
#include "sim/bench.h"
#include "sim/simport.h"

#include "support/benchunits.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

// Records what the loop hands over and optionally spends time on it, as the windows do.
class RecordingSink : public ReadingSink {
  public:
    explicit RecordingSink(VirtualClock& clock) : clock_(clock) {}
    qint64 workMs = 0;  // spent while the previous reading is plotted
    int cycles = 0;
    std::vector<std::pair<qint32, qint32>> qnSteps;  // count, att
    QString lastDetector, lastAc;

    void plotPrevious() override { clock_.advanceMs(workMs); }
    void detectorReply(const QString& r) override { lastDetector = r; }
    void acReply(const QString& r) override { lastAc = r; }
    void noiseReply(const QString&) override {}
    void autoRange() override { ++cycles; }
    void qnStep(const QString& d, const QString& a, qint32 count, qint32 att) override {
        lastDetector = d;
        lastAc = a;
        qnSteps.emplace_back(count, att);
    }

  private:
    VirtualClock& clock_;
};

// Stands in for the panel: ticking REMOTE and selecting a range button run their handlers.
class FakeWindows : public LoopWindows {
  public:
    explicit FakeWindows(Requests& r) : req(r) {}
    Requests& req;
    bool znShown = false;
    QString chartsPort;
    void showZn4Panel(bool present, const QString&) override { znShown = present; }
    void startCharts(const QString& portstr) override { chartsPort = portstr; }
    void tickRemote() override {
        req.remcmd = QStringLiteral("m1");
        req.remreq = true;
    }
    void selectAttButton(int i) override { req.attreq = i; }
};

struct Loop : ::testing::Test {
    sim::Scenario scenario = sim::Scenario::defaultBench();
    std::unique_ptr<sim::Bench> bench;
    Globals g;
    VirtualClock clock;
    VirtualPump pump{clock};
    Timing timing{g, clock, pump};
    std::unique_ptr<sim::SimPort> port;
    std::unique_ptr<Link> link;
    RecordingSink sink{clock};
    std::unique_ptr<Reading> reading;
    Requests req;
    FakeWindows windows{req};
    std::unique_ptr<Acquisition> acq;

    // Sets up the line as start-up leaves it: units found, port open at 9600.
    void start(bool withAc = true, bool withZn = true) {
        if (!withAc || !withZn) {
            std::vector<sim::UnitConfig> kept;
            for (const auto& u : scenario.units) {
                if ((u.kind != sim::UnitKind::AcUnit || withAc) &&
                    (u.kind != sim::UnitKind::Discriminator || withZn)) {
                    kept.push_back(u);
                }
            }
            scenario.units = kept;
        }
        bench = std::make_unique<sim::Bench>(scenario);
        port = std::make_unique<sim::SimPort>(*bench, clock);
        link = std::make_unique<Link>(g, *port, clock, pump, timing);
        reading = std::make_unique<Reading>(g, *link, pump, sink);
        acq = std::make_unique<Acquisition>(g, req, *link, timing, pump, *reading, windows);
        ASSERT_TRUE(test::startOnDefaultBench(g, *link, withAc, withZn));
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

    std::vector<double> timesOf(const QByteArray& command, int address = 0) const {
        std::vector<double> out;
        for (const auto& f : port->frameLog()) {
            if (f.command == command && f.address == address) {
                out.push_back(f.atUs / 1000.0);
            }
        }
        return out;
    }
};

TEST_F(Loop, StartThenFirstCycleThenRemoteAgain) {
    start();
    acq->loopStart();
    acq->normalCycle();
    const QStringList expected{"0:m1", "0:a0", "0:r0", "2:m1", "2:a0", "2:c0",
                               "2:f0", "0:x",  "1:t",  "2:g",  "0:m1"};
    EXPECT_EQ(traffic(), expected);
    EXPECT_TRUE(windows.znShown);
    EXPECT_EQ(windows.chartsPort, QStringLiteral("1"));
    EXPECT_TRUE(timing.timersRunning());
    EXPECT_EQ(req.remcmd, QStringLiteral("m1"));
    EXPECT_FALSE(req.remreq);
    EXPECT_EQ(g.cyccount, 2);  // vinit leaves 1, and one cycle was counted
    EXPECT_EQ(sink.lastDetector.size(), 11);
    EXPECT_EQ(sink.lastAc.size(), 9);
}

TEST_F(Loop, WithoutAcUnitOrNoiseDiscriminatorOnlyTheDetectorIsAsked) {
    start(false, false);
    acq->loopStart();
    acq->normalCycle();
    acq->normalCycle();
    const QStringList expected{"0:m1", "0:a0", "0:r0", "0:x", "0:m1", "0:x"};
    EXPECT_EQ(traffic(), expected);
    EXPECT_FALSE(windows.znShown);
    EXPECT_EQ(sink.lastAc, QStringLiteral("0xx1000"));
}

TEST_F(Loop, TwoClicksInOneCycleSendOnlyTheLast) {
    start();
    acq->loopStart();
    acq->normalCycle();
    const size_t mark = port->frameLog().size();
    req.attreq = 3;
    req.attreq = 5;
    req.ratereq = 2;
    acq->normalCycle();
    const QStringList expected{"0:x", "1:t", "2:g", "0:a5", "0:r2"};
    EXPECT_EQ(traffic(mark), expected);
    const size_t mark2 = port->frameLog().size();
    acq->normalCycle();  // nothing more to send
    EXPECT_EQ(traffic(mark2), (QStringList{"0:x", "1:t", "2:g"}));
}

TEST_F(Loop, NoiseDiscriminatorRequestsGoOutInOrder) {
    start();
    acq->loopStart();
    acq->normalCycle();
    const size_t mark = port->frameLog().size();
    g.zncmd = QStringLiteral("m0");
    g.znremreq = true;
    g.znfunc = 2;
    g.znatt1 = 3;
    g.znatt2 = 4;
    acq->normalCycle();
    const QStringList expected{"0:x", "1:t", "2:g", "2:m0", "2:f2", "2:c3", "2:a4"};
    EXPECT_EQ(traffic(mark), expected);
    EXPECT_FALSE(g.znremreq);
    EXPECT_EQ(g.znatt2sent, 4);
}

TEST_F(Loop, ASpeedRequestSwitchesTheUnitsThenThePort) {
    start();
    acq->loopStart();
    acq->normalCycle();
    const size_t mark = port->frameLog().size();
    g.comspeed = 2;
    g.speedreq = true;
    acq->normalCycle();
    acq->normalCycle();
    const auto& log = port->frameLog();
    const QStringList expected{"0:x",  "1:t", "2:g", "0:b5", "1:b5",
                               "2:b5", "0:v", "0:x", "1:t",  "2:g"};
    ASSERT_EQ(traffic(mark), expected);
    for (size_t i = mark; i < log.size(); ++i) {
        EXPECT_EQ(log[i].baud, i < mark + 6 ? 9600 : 38400) << i;
    }
    EXPECT_FALSE(g.speedreq);
    EXPECT_EQ(sink.lastDetector.size(), 11);  // the units answer at the new speed
}

TEST_F(Loop, PacingFollowsTheSampleTime) {
    start();
    acq->loopStart();
    g.samplems = 500;
    sink.workMs = 150;
    for (int i = 0; i < 5; ++i) {
        acq->normalCycle();
    }
    const auto x = timesOf("x");
    ASSERT_EQ(x.size(), 5u);
    for (size_t i = 2; i < x.size(); ++i) {
        EXPECT_NEAR(x[i] - x[i - 1], 500.0, 100.0) << i;  // whole ticks of 100 ms
    }
    // With work longer than the sample time there is no wait at all.
    g.samplems = 100;
    sink.workMs = 300;
    for (int i = 0; i < 3; ++i) {
        acq->normalCycle();
    }
    const auto y = timesOf("x");
    EXPECT_GT(y[7] - y[6], 300.0);
    EXPECT_LT(y[7] - y[6], 360.0);
}

TEST_F(Loop, AQnPassStepsThroughTheTenRangesWithTheGate) {
    start();
    acq->loopStart();
    const size_t mark = port->frameLog().size();
    const qint64 t0 = clock.nowMs();
    acq->qnscan();
    const QStringList t = traffic(mark);
    ASSERT_EQ(t.size(), 10 * 5);
    for (int i = 0; i < 10; ++i) {
        const QStringList step = t.mid(i * 5, 5);
        EXPECT_EQ(step,
                  (QStringList{QStringLiteral("0:a%1").arg(i), "0:c1000", "0:x", "1:t", "2:g"}));
    }
    // Each step waits a tick for the range and the gate time for the count.
    EXPECT_GE(clock.nowMs() - t0, 10 * 1000);
    EXPECT_LE(clock.nowMs() - t0, 10 * 1250);
    ASSERT_EQ(sink.qnSteps.size(), 10u);
    EXPECT_EQ(sink.qnSteps[9].second, 9);
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

TEST_F(Loop, AnEndRequestDuringAPassEndsAfterTheWholePass) {
    start();
    g.qnmode = true;
    endAt(2500);  // early in the first pass
    acq->mesloop();
    const QStringList t = traffic();
    EXPECT_EQ(t.filter(QStringLiteral(":c1000")).size(), 10);
    // Then the line is released: remote off, 9600 baud, port closed.
    const QStringList tail = t.mid(t.size() - 6);
    EXPECT_EQ(tail, (QStringList{"0:m0", "2:m0", "0:b3", "1:b3", "2:b3", "0:v"}));
    EXPECT_FALSE(port->isOpen());
    EXPECT_FALSE(timing.timersRunning());
}

TEST_F(Loop, ExitEndsAfterTheCycleAndReleasesTheLineAtNineThousandSixHundred) {
    start();
    g.comspeed = 1;
    g.speedreq = true;
    endAt(3000);
    acq->mesloop();
    const auto& log = port->frameLog();
    ASSERT_GE(log.size(), 6u);
    const QStringList t = traffic();
    EXPECT_EQ(t.mid(t.size() - 6), (QStringList{"0:m0", "2:m0", "0:b3", "1:b3", "2:b3", "0:v"}));
    EXPECT_EQ(log[log.size() - 2].baud, 19200);  // the units were told at their speed
    EXPECT_EQ(log.back().baud, 9600);            // and the port followed
    EXPECT_FALSE(port->isOpen());
}

}  // namespace
}  // namespace kr5
