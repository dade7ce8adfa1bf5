// The Q-N measurement on a simulated bench in virtual time: start and stop from the menu,
// pass counting to a set number of passes or in Non Stop blocks, and the markers.
#include "modes/qnsequence.h"
#include "measure/acquisition.h"
#include "sim/bench.h"
#include "sim/simport.h"

#include "support/benchunits.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

// The fixture stands in for the windows as the measurement sees them, with the charts'
// pass counter: after range 9 of a step the pass is counted and the sequence told.
struct QnRun : ::testing::Test, QnView, QnChart, LoopWindows, ReadingSink {
    Globals g;
    VirtualClock clock;
    VirtualPump pump{clock};
    Timing timing{g, clock, pump};
    sim::Bench bench{sim::Scenario::defaultBench()};
    sim::SimPort port{bench, clock};
    Link link{g, port, clock, pump, timing};
    Requests req;
    Reading reading{g, link, pump, *this};
    Acquisition acq{g, req, link, timing, pump, reading, *this};
    QnSequence qn{g, req, pump, *this, *this};
    QStringList markers;

    bool remote = true;
    bool controlsEnabled = true;
    QStringList menuCaptions, chartCaptions;
    qint32 passes = 0;
    std::vector<qint32> copiedAt;  // passes on the chart at each copy-in

    void setMenuCaptions(const QString& mesqn, const QString& dwave, const QString& dvq) override {
        menuCaptions = QStringList{mesqn, dwave, dvq};
    }
    void restartCharts(const QString& wave, const QString& vq) override {
        chartCaptions = QStringList{wave, vq};
        passes = 0;
    }
    void setControlsEnabled(bool enabled) override { controlsEnabled = enabled; }
    bool remoteChecked() const override { return remote; }
    void tickRemote() override { remote = true; }
    qint32 qnpass() const override { return passes; }
    void setQnpass(qint32 p) override { passes = p; }
    void copyIn() override { copiedAt.push_back(passes); }
    void clrvq() override { passes = 0; }

    void showZn4Panel(bool, const QString&) override {}
    void startCharts(const QString&) override {}
    void selectAttButton(int i) override { req.attreq = i; }

    void plotPrevious() override {}
    void detectorReply(const QString&) override {}
    void acReply(const QString&) override {}
    void noiseReply(const QString&) override {}
    void autoRange() override {}
    void qnStep(const QString&, const QString&, qint32, qint32 att) override {
        if (att == 9) {
            ++passes;
            qn.passEnd();
        }
    }

    void SetUp() override {
        acq.qnstart = [this] { qn.qnstart(); };
        acq.qnend = [this] { qn.qnend(); };
        qn.writeStartMarker = [this] { markers << QStringLiteral("QNstartD"); };
        qn.writeEndMarker = [this] { markers << QStringLiteral("QNend"); };
        g.gatetime = 100;
        g.recon = true;
        ASSERT_TRUE(test::startOnDefaultBench(g, link));
    }

    // Clicks QN-Mes. at virtual time ms; the loop ends at endMs.
    void clickAt(qint64 ms) {
        clock.scheduleAtUs(ms * 1000, [this] { qn.mesqnClick(); });
    }
    void runUntil(qint64 endMs) {
        clock.scheduleAtUs(endMs * 1000, [this] { g.endreq = true; });
        acq.mesloop();
    }
    int gateFrames() const {
        int n = 0;
        for (const auto& f : port.frameLog()) {
            n += f.command.startsWith("c") && f.address == 0 ? 1 : 0;
        }
        return n;
    }
};

TEST_F(QnRun, AFixedCountEndsAfterExactlyThatManyPassesWithOneCopyIn) {
    g.qnloops = 5;
    clock.scheduleAtUs(50 * 1000, [this] {
        qn.mesqnClick();
        EXPECT_TRUE(g.qnmode);
        EXPECT_EQ(menuCaptions + chartCaptions,
                  (QStringList{"T-QNV Mes.(&Q)", "T-N(Q)V", "Q-N", "T-N(Q)V(1)", "Q-N(1)"}));
        EXPECT_FALSE(controlsEnabled);
        EXPECT_TRUE(req.qnstartreq);
    });
    runUntil(60000);
    EXPECT_EQ(gateFrames(), 5 * 10);
    EXPECT_EQ(copiedAt, (std::vector<qint32>{5}));
    EXPECT_EQ(markers, (QStringList{"QNstartD", "QNend"}));
    EXPECT_FALSE(g.qnmode);
    EXPECT_EQ(menuCaptions + chartCaptions,
              (QStringList{"QN Mes.(&Q)", "T-QNV", "V-Q", "T-QNV(1)", "V-Q(1)"}));
    EXPECT_TRUE(controlsEnabled);
}

TEST_F(QnRun, WithoutRecordingNoMarkersAreWritten) {
    g.recon = false;
    g.qnloops = 5;
    clickAt(50);
    runUntil(60000);
    EXPECT_TRUE(markers.isEmpty());
    EXPECT_EQ(gateFrames(), 5 * 10);
}

TEST_F(QnRun, AStopClickDuringAPassEndsAfterItsLastRange) {
    g.qnloops = -1;
    clickAt(50);
    clickAt(3000);  // well into the second pass (a pass takes about 2 s with a 100 ms gate)
    runUntil(30000);
    EXPECT_EQ(gateFrames(), 2 * 10);
    EXPECT_TRUE(copiedAt.empty());
    EXPECT_EQ(markers, (QStringList{"QNstartD", "QNend"}));
    // Normal cycles ran after the measurement.
    EXPECT_EQ(port.frameLog().back().command, QByteArray("v"));
}

TEST_F(QnRun, NonStopChangesBlockAfterThirtyOnePasses) {
    g.qnloops = -1;
    clickAt(50);
    qn.writeEndMarker = [&] {
        markers << QStringLiteral("QNend");
        if (markers.size() == 2) {
            qn.mesqnClick();  // the operator stops at the block change
        }
    };
    runUntil(200000);
    // The block closed after 31 passes (not 30), with its chart handed over and an end
    // marker directly followed by the next block's start; the stop then ended the
    // measurement after that same pass.
    EXPECT_EQ(copiedAt, (std::vector<qint32>{31}));
    EXPECT_EQ(gateFrames(), 31 * 10);
    EXPECT_EQ(markers, (QStringList{"QNstartD", "QNend", "QNstartD", "QNend"}));
}

TEST_F(QnRun, RemoteIsSwitchedOnOnlyWhenItWasOff) {
    qn.mesqnClick();  // already on: nothing queued by the start
    EXPECT_FALSE(req.remreq);

    remote = false;
    g.qnmode = false;
    qn.mesqnClick();
    EXPECT_TRUE(remote);
    EXPECT_TRUE(req.remreq);
    EXPECT_EQ(req.remcmd, QStringLiteral("m1"));
}

TEST_F(QnRun, ALateStartClickStillWritesItsStartBeforeItsEnd) {
    g.qnloops = 5;
    // The click lands after the cycle's request point: during the wait for the cycle's
    // remaining time, after the requests have been looked at.
    g.samplems = 500;
    clickAt(2000);
    runUntil(60000);
    EXPECT_EQ(markers, (QStringList{"QNstartD", "QNend"}));
}

}  // namespace
}  // namespace kr5
