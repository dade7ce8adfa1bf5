// The Q-N measurement with recorded windows: start, stop, pass count, end after N passes, Non
// Stop blocks, captions, markers. Its loop and bench run are left to measure and wholeprogram.
#include "modes/qnsequence.h"
#include "measure/panelmodel.h"
#include "platform/virtualclock.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <tuple>
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
    void setLocked(bool on) override { log << QLatin1String(on ? "locked" : "unlocked"); }
    void showStep(const QString& caption, int pass, const Reading& step) override {
        steps.push_back({caption, pass, step.attRange});
    }
    void copyChart() override { log << QStringLiteral("copy"); }

    QStringList menuCaptions;
    QStringList log;
    std::vector<std::tuple<QString, int, int>> steps;  // caption, pass and range of each
};

struct QnSequenceTest : ::testing::Test {
    QnSequenceTest() {
        QObject::connect(&qn, &QnSequence::startMarkerDue,
                         [this] { windows.log << QStringLiteral("start marker"); });
        QObject::connect(&qn, &QnSequence::endMarkerDue,
                         [this] { windows.log << QStringLiteral("end marker"); });
        qn.setPortDigit(QStringLiteral("1"));
        settings.qnCondition = QStringLiteral("dry");
        Reading cycle;  // the panel's test voltage of 6.12 kV labels the Q-N face
        cycle.es = 61.2;
        cycle.testVoltage = 6120.0;
        panel.takeReading(cycle);
    }

    static Reading step(int range) {
        Reading r;
        r.kind = Reading::Kind::QnStep;
        r.attRange = range;
        return r;
    }
    void pass() {
        for (int range = 0; range < kAttenuatorRanges; ++range) {
            qn.takeReading(step(range));
        }
    }
    // Started, then the start carried out by the loop as it does.
    void start() {
        qn.start();
        requests.qnStart = false;
        qn.recordStart();
    }
    int count(const QString& entry) const { return static_cast<int>(windows.log.count(entry)); }

    OperatingSettings settings;
    Requests requests;
    PanelModel panel{requests, settings};
    RecordedWindows windows;
    QnSequence qn{{settings, requests, panel, windows}};
};

TEST_F(QnSequenceTest, StartSwitchesRemoteOnTurnsToTheQnFaceLocksAndAsksForTheStartMarker) {
    for (const bool remoteBefore : {false, true}) {
        SCOPED_TRACE(remoteBefore);
        panel.clickRemote(remoteBefore);
        requests.detectorRemote.reset();
        windows.log.clear();
        qn.start();
        // Off, REMOTE is requested as a tick of the box would; on, nothing is asked.
        EXPECT_TRUE(panel.remote());
        EXPECT_EQ(requests.detectorRemote, remoteBefore ? std::nullopt : std::optional(true));
        EXPECT_TRUE(qn.passesRunning() && !qn.endAfterPass());
        EXPECT_EQ(qn.passes(), 0);
        EXPECT_EQ(windows.menuCaptions, kQnMenu);
        EXPECT_EQ(windows.log, (QStringList{"qn face 6.12kV dry", "locked"}));
        EXPECT_FALSE(panel.rangeButtonsEnabled() || panel.remoteBoxEnabled());
        // The start marker is due only when the loop carries out the request.
        EXPECT_TRUE(requests.qnStart);
        qn.recordStart();
        EXPECT_EQ(windows.log.last(), QStringLiteral("start marker"));
        qn.finish();
    }
}

TEST_F(QnSequenceTest, AFixedCountEndsAfterExactlyItsPassesCountingOnlyItsQnSteps) {
    qn.setPortDigit(QStringLiteral("2"));
    Reading cycle = step(kAttenuatorRanges - 1);
    cycle.kind = Reading::Kind::Cycle;  // a normal reading at the last range
    for (const qint32 passes : {1, 2, 5, 10}) {
        SCOPED_TRACE(passes);
        settings.qnPasses = passes;
        windows.log.clear();
        windows.steps.clear();
        pass();  // before the start, and after the end of the one before
        start();
        qn.takeReading(cycle);
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
        qn.finish();  // as the loop does after that pass
        // Each step's caption: the pass under way and the passes asked for.
        ASSERT_EQ(windows.steps.size(), static_cast<size_t>(passes) * 10);
        for (size_t i = 0; i < windows.steps.size(); ++i) {
            EXPECT_EQ(std::get<0>(windows.steps[i]),
                      QStringLiteral("Q-N(2)  %1/%2").arg(i / 10 + 1).arg(passes));
        }
        EXPECT_FALSE(qn.passesRunning() || qn.endAfterPass());
        EXPECT_EQ(windows.menuCaptions, kNormalMenu);
        EXPECT_EQ(windows.log, (QStringList{"qn face 6.12kV dry", "locked", "start marker", "copy",
                                            "normal face", "unlocked", "end marker"}));
        EXPECT_TRUE(panel.rangeButtonsEnabled());
    }
}

TEST_F(QnSequenceTest, NonStopRunsBlocksOfThirtyOnePassesUntilAStopClickEndsThePassUnderWay) {
    settings.qnPasses = OperatingSettings::nonStop;
    start();
    windows.log.clear();
    // At each change: the finished chart copied, the new block's face, then the end of
    // the old block and the start of the new one in the file.
    const QStringList change{"copy", "block 6.12kV dry", "end marker", "start marker"};
    const int passes = 3 * QnSequence::nonStopBlock + 5;
    for (int done = 1; done <= passes; ++done) {
        SCOPED_TRACE(done);
        pass();
        EXPECT_EQ(qn.passes(), done % QnSequence::nonStopBlock);
        EXPECT_FALSE(qn.endAfterPass());
        EXPECT_EQ(windows.log, done % QnSequence::nonStopBlock == 0 ? change : QStringList());
        windows.log.clear();
    }
    for (int range = 0; range < kAttenuatorRanges; ++range) {
        if (range == 4) {
            qn.endAfterThisPass();  // the rest of the pass is still shown and counted
            EXPECT_TRUE(qn.passesRunning() && qn.endAfterPass());
        }
        qn.takeReading(step(range));
    }
    EXPECT_EQ(qn.passes(), 6);
    qn.finish();
    EXPECT_EQ(windows.log.filter(QStringLiteral("marker")), QStringList{"end marker"});
    EXPECT_EQ(count(QStringLiteral("copy")), 0);  // a stopped measurement is not copied
    // The pass column and the caption of each step start again with each block.
    ASSERT_EQ(windows.steps.size(), size_t(passes + 1) * 10);
    for (size_t i = 0; i < windows.steps.size(); ++i) {
        const int pass = static_cast<int>(i / 10 % 31);
        EXPECT_EQ(windows.steps[i], std::tuple(QStringLiteral("Q-N(1)  %1/1").arg(pass + 1), pass,
                                               static_cast<int>(i % 10)));
    }
    start();  // a new measurement counts from the start
    EXPECT_EQ(std::pair(qn.passes(), qn.endAfterPass()), std::pair(0, false));
}

// The counts of each pass go to Qm as the chart plots them: a step without its count is
// left out; the block's means start again with each Non Stop block and each measurement.
TEST_F(QnSequenceTest, EachPassGivesItsQmAndTheBlockItsMeans) {
    settings.qnPasses = OperatingSettings::nonStop;
    int ready = 0;
    QObject::connect(&qn, &QnSequence::passQmReady, [&ready] { ++ready; });
    start();
    const auto countedPass = [this](double aboveRange2) {
        for (int range = 0; range < kAttenuatorRanges; ++range) {
            Reading r = step(range);
            if (range != 1) {      // range 1's count did not come
                if (range != 2) {  // range 2's came without the detector's and the AC reply
                    r.detector = DetectorFields{};
                    r.es = 0.0;
                }
                r.countRate = 1;
                r.pulseRate = range <= 2 ? 1000.0 : range == 3 ? aboveRange2 : 0.0;
            }
            qn.takeReading(r);
        }
    };
    countedPass(1000.0);  // crosses between ranges 3 and 4 (10 and 20 pC with Adjust 1)
    EXPECT_EQ(ready, 1);
    EXPECT_TRUE(qn.qm().lastPass(1.0).pC > 10.0 && qn.qm().lastPass(1.0).pC < 20.0);
    countedPass(1.0);  // crosses between ranges 2 and 3 (5 and 10 pC)
    EXPECT_TRUE(qn.qm().lastPass(1.0).pC > 5.0 && qn.qm().lastPass(1.0).pC < 10.0);
    EXPECT_EQ(qn.qm().passesInBlock(), 2);
    for (int done = 2; done < QnSequence::nonStopBlock; ++done) {
        pass();
    }
    EXPECT_EQ(ready, QnSequence::nonStopBlock);
    EXPECT_EQ(qn.qm().passesInBlock(), 0);  // a new block
    countedPass(1.0);
    qn.finish();
    start();
    EXPECT_EQ(qn.qm().block(1.0).where, Qm::Where::NoCounts);
}

}  // namespace
}  // namespace kr5
