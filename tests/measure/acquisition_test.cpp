// The acquisition loop on a simulated bench in virtual time: loop start, the order of a
// cycle's traffic, requests, pacing, Q-N passes, the release of the line at the end, and
// what the readings are worth when the line misbehaves (lost, late, garbled and noisy
// replies): a reading is always what the addressed unit answered to the command just sent,
// or it says that the unit did not answer. The panel's own rules are in panelmodel_test.
#include "measure/acquisition.h"
#include "sim/bench.h"
#include "sim/simport.h"

#include "support/benchunits.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <memory>

namespace kr5 {
namespace {

// Takes every reading, and may spend time on it as the windows do.
struct Listener : ReadingListener {
    VirtualClock* clock = nullptr;
    qint64 workMs = 0;
    std::vector<Reading> readings;
    void takeReading(const Reading& r) override {
        readings.push_back(r);
        if (workMs > 0) {
            clock->advanceMs(workMs);
        }
    }
};

struct Loop : ::testing::Test, LoopWindows, QnControl {
    sim::Scenario scenario = [] {
        sim::Scenario s = sim::Scenario::defaultBench();
        s.operatorActive = false;
        return s;
    }();
    std::unique_ptr<sim::Bench> bench;
    VirtualClock clock;
    VirtualPump pump{clock};
    Timing timing{clock, pump};
    UnitsOnLine units;
    InputConstants constants;
    OperatingSettings settings;
    Requests requests;
    PanelModel panel{requests, settings};
    ReadingEvaluator evaluator{constants, units};
    std::unique_ptr<sim::SimPort> port;
    std::unique_ptr<Link> link;
    std::unique_ptr<Acquisition> acq;
    Listener listener;

    // LoopWindows and QnControl.
    bool discriminatorShown = false;
    int chartStarts = 0;
    bool qnRunning = false;
    bool qnEndAsked = false;
    int qnStartsRecorded = 0;
    int qnFinishes = 0;
    void showDiscriminatorPanel(bool present) override { discriminatorShown = present; }
    void startCharts() override { ++chartStarts; }
    std::vector<QString> portEvents;  // "lost <device>" and "back"
    void portLost(const PortProblem& problem) override {
        portEvents.push_back(QStringLiteral("lost ") + problem.device);
    }
    void portBack() override { portEvents.push_back(QStringLiteral("back")); }
    bool passesRunning() const override { return qnRunning; }
    bool endAfterPass() const override { return qnEndAsked; }
    void recordStart() override { ++qnStartsRecorded; }
    void finish() override {
        ++qnFinishes;
        qnRunning = qnEndAsked = false;
    }

    void fault(sim::UnitKind unit, sim::FaultConfig config) {
        scenario.faults.push_back(sim::FaultRule{unit, -1, config});
    }

    // Sets up the line as start-up leaves it: units found, port open at 9600.
    void start(bool withAc = true, bool withZn = true) {
        auto& u = scenario.units;
        u.erase(std::remove_if(u.begin(), u.end(),
                               [&](const sim::UnitConfig& c) {
                                   return (c.kind == sim::UnitKind::AcUnit && !withAc) ||
                                          (c.kind == sim::UnitKind::Discriminator && !withZn);
                               }),
                u.end());
        bench = std::make_unique<sim::Bench>(scenario);
        port = std::make_unique<sim::SimPort>(*bench, clock);
        link = std::make_unique<Link>(units, *port, clock, pump, timing);
        acq = std::make_unique<Acquisition>(Acquisition::Parts{
            requests, settings, units, *link, clock, timing, pump, evaluator, panel, *this, *this});
        acq->addListener(panel);
        acq->addListener(listener);
        listener.clock = &clock;
        ASSERT_TRUE(test::startOnDefaultBench(units, *link, withAc, withZn));
    }

    // Starts the loop and runs its first cycle; returns the frames logged so far.
    size_t startAndCycle(bool withAc = true, bool withZn = true) {
        start(withAc, withZn);
        acq->loopStart();
        acq->normalCycle();
        return port->frameLog().size();
    }

    void cycles(int n) {
        for (int i = 0; i < n; ++i) {
            acq->normalCycle();
        }
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
        clock.scheduleAtUs(ms * 1000, [this] { requests.end = true; });
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

    // The frame of the last command to an address before a moment, or null.
    const sim::FrameRecord* lastFrameBefore(int address, const char* command, qint64 ms) const {
        const sim::FrameRecord* found = nullptr;
        for (const auto& f : port->frameLog()) {
            if (f.atUs > static_cast<double>(ms) * 1000.0) {
                break;
            }
            if (f.address == address && f.command == command) {
                found = &f;
            }
        }
        return found;
    }

    // The frame of the first command to an address after a moment, or null.
    const sim::FrameRecord* firstFrameAfter(int address, const char* command, qint64 ms) const {
        for (const auto& f : port->frameLog()) {
            if (f.atUs >= static_cast<double>(ms) * 1000.0 && f.address == address &&
                f.command == command) {
                return &f;
            }
        }
        return nullptr;
    }

    // Every reading the detector answered carries exactly the fields of the detector's
    // own answer to the last "x" before it, whatever the line did to the bytes; and every
    // voltage is the AC unit's answer to the "t" of that cycle.
    void expectEveryReadingTrue() {
        double lastEs = 0.0;
        for (const Reading& r : listener.readings) {
            const auto* x = lastFrameBefore(0, "x", r.takenAtMs);
            ASSERT_NE(x, nullptr);
            if (r.detector) {
                const auto truth =
                    detectorFields(Reply{Reply::Status::Whole, QString::fromLatin1(x->answer)});
                ASSERT_TRUE(truth);
                EXPECT_EQ(r.detector->peakCode, truth->peakCode) << r.takenAtMs;
                EXPECT_EQ(r.detector->rateCode, truth->rateCode) << r.takenAtMs;
                EXPECT_EQ(r.detector->attRange, truth->attRange) << r.takenAtMs;
                EXPECT_EQ(r.detector->rateRange, truth->rateRange) << r.takenAtMs;
            }
            if (r.es && r.acPresent) {
                const auto* t = firstFrameAfter(1, "t", r.takenAtMs);
                ASSERT_NE(t, nullptr);
                const auto truth =
                    acFields(Reply{Reply::Status::Whole, QString::fromLatin1(t->answer)});
                ASSERT_TRUE(truth);
                lastEs = truth->voltage(lastEs);
                EXPECT_DOUBLE_EQ(*r.es, lastEs) << r.takenAtMs;
            }
        }
    }

    // Range commands ("a" or "r" to the detector) sent from frame first on.
    QStringList rangeCommands(size_t first = 0) const {
        return traffic(first).filter(QRegularExpression(QStringLiteral("^0:[ar]\\d$")));
    }
};

TEST_F(Loop, StartThenFirstCycleThenRemoteAgain) {
    settings.autoAttenuator = settings.autoRate = false;  // no range steps in the first cycle
    startAndCycle();
    const QStringList expected{"0:m1", "0:a0", "0:r0", "2:m1", "2:a0", "2:c0",
                               "2:f0", "0:x",  "1:t",  "2:g",  "0:m1"};
    EXPECT_EQ(traffic(), expected);
    EXPECT_TRUE(discriminatorShown);
    EXPECT_EQ(chartStarts, 1);
    EXPECT_TRUE(timing.timersRunning());
    EXPECT_TRUE(panel.remote());
    EXPECT_FALSE(requests.detectorRemote);  // sent
    ASSERT_EQ(listener.readings.size(), 1u);
    const Reading& r = listener.readings[0];
    EXPECT_TRUE(r.detectorAnswered() && r.acAnswered() && r.noise.has_value());
    EXPECT_TRUE(r.complete());
    expectEveryReadingTrue();
}

TEST_F(Loop, WithoutAcUnitOrNoiseDiscriminatorOnlyTheDetectorIsAsked) {
    settings.autoAttenuator = settings.autoRate = false;
    startAndCycle(false, false);
    acq->normalCycle();
    EXPECT_EQ(traffic(), (QStringList{"0:m1", "0:a0", "0:r0", "0:x", "0:m1", "0:x"}));
    EXPECT_FALSE(discriminatorShown);
    ASSERT_EQ(listener.readings.size(), 2u);
    // Without an AC unit the voltage is known to be 0; there is nothing to hear from the
    // noise discriminator.
    EXPECT_EQ(listener.readings[1].es, std::optional<double>(0.0));
    EXPECT_FALSE(listener.readings[1].noisePresent);
    EXPECT_TRUE(listener.readings[1].complete());
}

TEST_F(Loop, TwoClicksInOneCycleSendOnlyTheLastAndRequestsGoOutInOrder) {
    const size_t mark = startAndCycle();
    panel.clickAttenuator(3);
    panel.clickAttenuator(5);
    panel.clickRate(2);
    requests.discriminatorRemote = false;
    requests.discriminatorFunction = 2;
    requests.channelB = 3;
    requests.channelA = 4;
    acq->normalCycle();
    EXPECT_EQ(traffic(mark),
              (QStringList{"0:x", "1:t", "2:g", "0:a5", "0:r2", "2:m0", "2:f2", "2:c3", "2:a4"}));
    EXPECT_FALSE(requests.discriminatorRemote);
    const size_t mark2 = port->frameLog().size();
    // The detector now reports ranges 5 and 2, as asked: nothing more to send. (The
    // readings are quiet, so automatic ranging is switched off to keep the ranges.)
    settings.autoAttenuator = settings.autoRate = false;
    acq->normalCycle();
    EXPECT_EQ(traffic(mark2), (QStringList{"0:x", "1:t", "2:g"}));
    EXPECT_EQ(listener.readings.back().attRange, 5);
    EXPECT_EQ(listener.readings.back().rateRange, 2);
}

TEST_F(Loop, ASpeedRequestSwitchesTheUnitsThenThePort) {
    const size_t mark = startAndCycle();
    settings.speedIndex = 2;
    requests.speedChange = true;
    settings.autoAttenuator = settings.autoRate = false;
    acq->normalCycle();
    acq->normalCycle();
    const auto& log = port->frameLog();
    ASSERT_EQ(traffic(mark), (QStringList{"0:x", "1:t", "2:g", "0:b5", "1:b5", "2:b5", "0:v", "0:x",
                                          "1:t", "2:g"}));
    for (size_t i = mark; i < log.size(); ++i) {
        EXPECT_EQ(log[i].baud, i < mark + 6 ? 9600 : 38400) << i;
    }
    EXPECT_FALSE(requests.speedChange);
    EXPECT_TRUE(listener.readings.back().complete());  // the units answer at the new speed
}

TEST_F(Loop, PacingFollowsTheSampleTime) {
    start();
    acq->loopStart();
    // Sample time and work per cycle, then the bounds of the time between "x" frames: whole
    // ticks of 100 ms; with work longer than the sample time no wait at all.
    for (const auto& [sampleMs, work, least, most] :
         {std::array{500, 150, 400, 600}, std::array{100, 300, 300, 360}}) {
        settings.sampleMs = sampleMs;
        listener.workMs = work;
        cycles(5);
        std::vector<double> x;  // times of the "x" frames in ms
        for (const auto& f : port->frameLog()) {
            if (f.command == "x") {
                x.push_back(f.atUs / 1000.0);
            }
        }
        for (size_t i = x.size() - 3; i < x.size(); ++i) {
            EXPECT_GE(x[i] - x[i - 1], least) << sampleMs << " " << i;
            EXPECT_LE(x[i] - x[i - 1], most) << sampleMs << " " << i;
        }
    }
}

TEST_F(Loop, AQnPassStepsThroughTheTenRangesWithTheGate) {
    start();
    acq->loopStart();
    const size_t mark = port->frameLog().size();
    const qint64 t0 = clock.nowMs();
    acq->runQnPass();
    QStringList expected;
    for (int i = 0; i < 10; ++i) {
        expected += QStringList{QStringLiteral("0:a%1").arg(i), "0:c1000", "0:x", "1:t", "2:g"};
    }
    EXPECT_EQ(traffic(mark), expected);
    // Each step waits a tick for the range and the gate time for the count.
    EXPECT_GE(clock.nowMs() - t0, 10 * 1000);
    EXPECT_LE(clock.nowMs() - t0, 10 * 1250);
    ASSERT_EQ(listener.readings.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        const Reading& step = listener.readings[static_cast<size_t>(i)];
        EXPECT_TRUE(step.isQnStep());
        EXPECT_EQ(step.attRange, i);  // the step's range, not the one the detector reports
        EXPECT_EQ(step.rateRange, 0);
        ASSERT_TRUE(step.countAnswered());
        // The count's own rate, from the gate's four hex digits.
        const auto* gate = lastFrameBefore(0, "c1000", step.takenAtMs);
        ASSERT_NE(gate, nullptr);
        const auto count =
            gateCount(Reply{Reply::Status::Whole, QString::fromLatin1(gate->answer)});
        ASSERT_TRUE(count);
        EXPECT_EQ(*step.countRate, countRate(*count, 1000));
        EXPECT_DOUBLE_EQ(step.pulseRate, *step.countRate);
    }
    EXPECT_EQ(panel.attenuatorButton(), 9);  // the buttons followed the pass
}

TEST_F(Loop, RequestsWaitWhileAQnMeasurementRuns) {
    start();
    qnRunning = true;
    requests.qnStart = true;
    // A click and a stop early in the first pass; the pass takes about 11 s.
    clock.scheduleInMs(3000, [this] {
        panel.clickRate(3);
        qnEndAsked = true;
    });
    endAt(12500);
    acq->run();
    EXPECT_EQ(qnFinishes, 1);
    EXPECT_EQ(qnStartsRecorded, 1);  // a start still pending goes before the first pass
    const QStringList t = traffic();
    const int lastGate = static_cast<int>(t.lastIndexOf(QStringLiteral("0:c1000")));
    const int rate = static_cast<int>(t.indexOf(QStringLiteral("0:r3")));
    EXPECT_EQ(t.filter(QStringLiteral("0:c1000")).size(), 10);  // one whole pass
    EXPECT_GT(rate, lastGate);  // sent only after the pass, by a normal cycle
}

// A Q-N measurement whose remote request is still pending when its passes begin (the
// start came after the cycle's request point): the detector is put under remote control
// before the first count, not after the measurement.
TEST_F(Loop, APendingRemoteRequestGoesOutBeforeTheFirstPass) {
    start();
    qnRunning = true;  // the loop's start ticks REMOTE: "m1" is asked for once more
    qnEndAsked = true;
    endAt(1);
    acq->run();
    const QStringList t = traffic();
    const qsizetype passStart = t.indexOf(QStringLiteral("2:f0")) + 1;
    ASSERT_GT(passStart, 0);
    EXPECT_EQ(t.mid(passStart, 3), (QStringList{"0:m1", "0:a0", "0:c1000"}));
    EXPECT_EQ(qnFinishes, 1);
}

// The end asked for during a Q-N pass comes after the whole pass; at 19200 baud the units
// are told at their speed and the port follows. Either way the line is released.
TEST_F(Loop, TheEndComesAfterTheCycleOrPassAndReleasesTheLine) {
    for (const bool duringQn : {true, false}) {
        SCOPED_TRACE(duringQn ? "during a pass" : "at 19200 baud");
        start();
        qnRunning = duringQn;
        settings.speedIndex = 1;
        requests.speedChange = !duringQn;
        endAt(clock.nowMs() + 2500);
        acq->run();
        if (duringQn) {
            EXPECT_EQ(traffic().filter(QStringLiteral(":c1000")).size(), 10);
        } else {
            const auto& log = port->frameLog();
            EXPECT_EQ(log[log.size() - 2].baud, 19200);
            EXPECT_EQ(log.back().baud, 9600);
        }
        expectLineReleased();
        requests = Requests{};
    }
}

// A lost detector reply is "no reply": no reading is made up from it, and no range
// command follows from it.
TEST_F(Loop, ALostDetectorReplyMovesNoRangeAndIsNoReading) {
    // A steady discharge at range 1/100: the raw peak stays between 1 and 10 V, so the
    // ranges stay where they are while the detector answers.
    scenario.profile = sim::ProfileConfig{10.0, 10.0, 0.0, 1000.0, 0.0, 0.0, false};
    scenario.object.chargePc = 200.0;
    scenario.object.shape = 20.0;
    scenario.object.ratePps = 300.0;
    scenario.object.rateExponent = 0.0;
    fault(sim::UnitKind::Detector, sim::FaultConfig{sim::FaultKind::Silent, 14.0, 15.0});
    start();
    acq->loopStart();
    settings.sampleMs = 100;
    while (clock.nowMs() < 10000) {  // automatic ranging settles on 1/100 and x5
        acq->normalCycle();
    }
    ASSERT_EQ(listener.readings.back().attRange, 6);
    ASSERT_EQ(listener.readings.back().rateRange, 1);
    const size_t mark = port->frameLog().size();
    const size_t first = listener.readings.size();
    while (clock.nowMs() < 17000) {
        acq->normalCycle();
    }
    // The silence came and went; not one range command came of it.
    EXPECT_EQ(rangeCommands(mark), QStringList{});
    int missing = 0;
    for (size_t i = first; i < listener.readings.size(); ++i) {
        const Reading& r = listener.readings[i];
        if (r.takenAtMs >= 14000 && r.takenAtMs < 15000) {
            EXPECT_FALSE(r.detectorAnswered()) << r.takenAtMs;
            EXPECT_FALSE(r.complete());
        }
        missing += r.detectorAnswered() ? 0 : 1;
    }
    EXPECT_GE(missing, 4);
    EXPECT_TRUE(panel.readouts().detectorStale == !listener.readings.back().detectorAnswered());
    // Readings resume within half a second after the silence.
    const auto resumed =
        std::find_if(listener.readings.begin() + static_cast<long>(first), listener.readings.end(),
                     [](const Reading& r) { return r.takenAtMs >= 15000 && r.detectorAnswered(); });
    ASSERT_NE(resumed, listener.readings.end());
    EXPECT_LT(resumed->takenAtMs, 15600);
    expectEveryReadingTrue();
}

// The AC unit answers 300 ms late, after its time-out: its answer must never be read as
// the detector's (or as its own to a later command), and it must not drive the ranges.
TEST_F(Loop, ALateAcReplyIsNeverReadAsAnotherReply) {
    fault(sim::UnitKind::AcUnit, sim::FaultConfig{sim::FaultKind::Late, 3.0, 8.0, 1.0, 300.0});
    start();
    acq->loopStart();
    settings.autoAttenuator = settings.autoRate = false;  // so that any range command is wrong
    while (clock.nowMs() < 10000) {
        acq->normalCycle();
    }
    const size_t afterStart = 11;
    EXPECT_EQ(rangeCommands(afterStart), QStringList{});
    int withoutVoltage = 0;
    for (const Reading& r : listener.readings) {
        if (r.takenAtMs > 3300 && r.takenAtMs < 8000) {
            EXPECT_FALSE(r.acAnswered()) << r.takenAtMs;
            EXPECT_FALSE(r.complete()) << r.takenAtMs;
            ++withoutVoltage;
        }
    }
    EXPECT_GT(withoutVoltage, 10);
    EXPECT_TRUE(listener.readings.back().complete());  // and all is well again after it
    expectEveryReadingTrue();
}

// Noise bytes ahead of a reply, cut replies and replies in pieces: whatever the
// detector's and the AC unit's readings say is what the units answered. (A digit garbled
// into another digit cannot be told from the truth: the line has no parity and the
// replies no check sum.)
TEST_F(Loop, NoisyGarbledCutAndSplitRepliesNeverBecomeFalseReadings) {
    using sim::FaultKind;
    fault(sim::UnitKind::Detector, sim::FaultConfig{FaultKind::Noise, 0, 1e9, 0.2, 0, -1, 2, 0, 1});
    fault(sim::UnitKind::Detector, sim::FaultConfig{FaultKind::Noise, 0, 1e9, 0.1, 0, -1, 2, 0, 3});
    fault(sim::UnitKind::Detector,
          sim::FaultConfig{FaultKind::Truncated, 0, 1e9, 0.1, 0, 7, 2, 0, 2});
    fault(sim::UnitKind::AcUnit, sim::FaultConfig{FaultKind::Pieces, 0, 1e9, 0.2, 0, -1, 3, 15});
    start();
    acq->loopStart();
    settings.sampleMs = 100;
    cycles(150);
    int detectorMissing = 0;
    int voltageMissing = 0;
    for (const Reading& r : listener.readings) {
        detectorMissing += r.detectorAnswered() ? 0 : 1;
        voltageMissing += r.acAnswered() ? 0 : 1;
    }
    // Faults on a fifth of the frames cost readings, but most come through.
    EXPECT_GT(detectorMissing, 10);
    EXPECT_GT(voltageMissing, 5);
    EXPECT_LT(detectorMissing + voltageMissing, 100);
    expectEveryReadingTrue();
}

// A count that does not come is measured once more; a second miss leaves the step
// without a count. A count that comes late is not taken for the next one.
TEST_F(Loop, AMissingOrLateGateCountIsMeasuredOnceMore) {
    // The detector's answers are lost between 4 and 8.5 s (long enough for a count and
    // its second measurement), late between 16 and 19 s.
    fault(sim::UnitKind::Detector, sim::FaultConfig{sim::FaultKind::Silent, 4.0, 8.5});
    fault(sim::UnitKind::Detector, sim::FaultConfig{sim::FaultKind::Late, 16.0, 19.0, 1.0, 700.0});
    start();
    acq->loopStart();
    const size_t mark = port->frameLog().size();
    acq->runQnPass();
    acq->runQnPass();
    const QStringList gates =
        traffic(mark).filter(QRegularExpression(QStringLiteral("^0:(a\\d|c1000)$")));
    // Each step is "a" then "c"; a step whose count missed has a second "c".
    int repeated = 0;
    for (int i = 1; i < gates.size(); ++i) {
        repeated += gates[i] == "0:c1000" && gates[i - 1] == "0:c1000" ? 1 : 0;
    }
    EXPECT_GE(repeated, 2);
    ASSERT_EQ(listener.readings.size(), 20u);
    int withoutCount = 0;
    for (const Reading& step : listener.readings) {
        if (!step.countAnswered()) {
            ++withoutCount;
            EXPECT_FALSE(step.complete());
            continue;
        }
        // A count taken is the answer to a gate of its own step, never one of another.
        const auto* range = lastFrameBefore(0, qPrintable(QStringLiteral("a%1").arg(step.attRange)),
                                            step.takenAtMs);
        ASSERT_NE(range, nullptr);
        std::vector<qint32> counted;
        for (const auto& f : port->frameLog()) {
            if (f.command == "c1000" && f.atUs > range->atUs &&
                f.atUs < static_cast<double>(step.takenAtMs) * 1000.0) {
                if (const auto count =
                        gateCount(Reply{Reply::Status::Whole, QString::fromLatin1(f.answer)})) {
                    counted.push_back(countRate(*count, 1000));
                }
            }
        }
        EXPECT_NE(std::find(counted.begin(), counted.end(), *step.countRate), counted.end())
            << step.takenAtMs;
    }
    EXPECT_GE(withoutCount, 1);
    expectEveryReadingTrue();
}

// The adapter pulled out and put back, with the units at 38400 baud kept or switched off
// and on meanwhile (back at 9600): the loop says the port is gone, reads and records
// nothing, tries again every second, finds the detector at whichever speed it is at,
// tells every unit again what it was told, and goes on.
struct PortPulled : Loop, ::testing::WithParamInterface<bool> {};

TEST_P(PortPulled, ThePortIsOpenedAgainAndTheUnitsAreToldEverythingAgain) {
    const bool powerCycle = GetParam();
    scenario.pulls = {sim::PortPull{1, 5.0, 8.0, powerCycle}};
    start();
    settings.autoAttenuator = settings.autoRate = false;
    clock.scheduleInMs(1000, [this] {
        settings.speedIndex = 2;
        requests.speedChange = true;
        panel.clickAttenuator(3);
        requests.channelA = 4;
    });
    endAt(11000);
    acq->run();
    ASSERT_EQ(portEvents, (std::vector<QString>{"lost sim:port1", "back"}));
    // Nothing reached the line while it was gone; once back, the detector was found and
    // everything it and the noise discriminator were told was told again.
    QStringList after;
    for (const auto& f : port->frameLog()) {
        EXPECT_FALSE(f.atUs > 5e6 && f.atUs < 8e6) << f.atUs;
        if (f.atUs > 5e6) {
            after << QStringLiteral("%1 %2:%3")
                         .arg(f.baud)
                         .arg(f.address)
                         .arg(QString::fromLatin1(f.command));
        }
    }
    const QStringList found = powerCycle
                                  // Asked at 38400 first, then at 9600, where it answers;
                                  // moved to 38400 again.
                                  ? QStringList{"38400 0:v", "9600 0:v",  "9600 0:b5",
                                                "9600 1:b5", "9600 2:b5", "38400 0:v"}
                                  : QStringList{"38400 0:v"};
    const QStringList restored{"38400 0:m1", "38400 0:a3", "38400 0:r0", "38400 2:m1",
                               "38400 2:a4", "38400 2:c0", "38400 2:f0", "38400 0:x"};
    EXPECT_EQ(after.mid(0, found.size()).join(QLatin1Char(' ')), found.join(QLatin1Char(' ')));
    EXPECT_EQ(after.mid(found.size(), restored.size()).join(QLatin1Char(' ')),
              restored.join(QLatin1Char(' ')));
    // One reading with nothing answered when the port went, none while it was gone,
    // whole ones again within a second of its return.
    int whileGone = 0;
    qint64 firstBack = 0;
    for (const Reading& r : listener.readings) {
        whileGone += r.takenAtMs > 5000 && r.takenAtMs < 8000 ? 1 : 0;
        if (r.takenAtMs > 8000 && r.complete() && firstBack == 0) {
            firstBack = r.takenAtMs;
        }
    }
    EXPECT_LE(whileGone, 1);
    EXPECT_GT(firstBack, 8000);
    EXPECT_LT(firstBack, 9100);
    expectLineReleased();
}

INSTANTIATE_TEST_SUITE_P(UnitsKeptOrSwitchedOffAndOn, PortPulled, ::testing::Bool());

// Exit while the port is gone ends at once: there is no one to tell.
TEST_F(Loop, ExitWhileThePortIsGoneEndsAtOnce) {
    scenario.pulls = {sim::PortPull{1, 3.0, 1e9, false}};
    start();
    endAt(4500);
    acq->run();
    EXPECT_EQ(portEvents, std::vector<QString>{"lost sim:port1"});
    EXPECT_LT(clock.nowMs(), 4700);
    EXPECT_FALSE(port->isOpen());
    EXPECT_FALSE(timing.timersRunning());
}

}  // namespace
}  // namespace kr5
