// The acquisition loop on a simulated bench in virtual time: the order of a cycle's traffic,
// requests, pacing, a late AC unit, Q-N passes and their counts when the detector
// misbehaves, and a port pulled out and put back: a reading is always what the addressed
// unit answered to the command just sent, or it says that the unit did not answer. The
// loop's start, a Q-N pass's steps, a change of speed and the end, frame by frame, are in
// the tour.
#include "measure/acquisition.h"
#include "sim/bench.h"
#include "sim/simport.h"

#include "support/benchunits.h"
#include "support/fakelink.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <memory>

namespace kr5 {
namespace {

Reply whole(const QByteArray& answer) {
    return Reply{Reply::Status::Whole, QString::fromLatin1(answer)};
}

// Takes every reading, and may spend time on it as the windows do.
struct Listener : ReadingListener {
    VirtualClock* clock = nullptr;
    qint64 workMs = 0;
    std::vector<Reading> readings;
    void takeReading(const Reading& r) override {
        readings.push_back(r);
        clock->advanceMs(workMs);
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
    VirtualWaiter waiter{clock};
    Timing timing{clock, waiter};
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
    bool qnRunning = false;
    bool qnEndAsked = false;
    int qnStartsRecorded = 0;
    int qnFinishes = 0;
    std::vector<QString> portEvents;  // "lost <device>" and "back"
    void showDiscriminatorPanel(bool present) override { discriminatorShown = present; }
    void startCharts() override {}
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
        link = std::make_unique<Link>(units, *port, clock, waiter, timing);
        acq = std::make_unique<Acquisition>(Acquisition::Parts{
            requests, settings, units, *link, clock, timing, evaluator, panel, *this, *this});
        acq->addListener(panel);
        acq->addListener(listener);
        listener.clock = &clock;
        ASSERT_TRUE(test::startOnDefaultBench(units, *link, withAc, withZn));
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
            out << QStringLiteral("%1:%2").arg(log[i].address).arg(QLatin1String(log[i].command));
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

    // Every reading the detector answered carries exactly the fields of the detector's
    // own answer to the last "x" before it, whatever the line did to the bytes; and every
    // voltage is the AC unit's answer to the "t" of that cycle (the first after it).
    void expectEveryReadingTrue() {
        double lastEs = 0.0;
        for (const Reading& r : listener.readings) {
            const auto* x = lastFrameBefore(0, "x", r.takenAtMs);
            ASSERT_NE(x, nullptr);
            if (r.detector) {
                const auto truth = detectorFields(whole(x->answer));
                ASSERT_TRUE(truth);
                EXPECT_EQ(
                    std::tuple(r.detector->peakCode, r.detector->rateCode, r.detector->attRange,
                               r.detector->rateRange),
                    std::tuple(truth->peakCode, truth->rateCode, truth->attRange, truth->rateRange))
                    << r.takenAtMs;
            }
            if (r.es && r.acPresent) {
                const auto t = std::find_if(port->frameLog().begin(), port->frameLog().end(),
                                            [&](const auto& f) {
                                                return f.atUs >= double(r.takenAtMs) * 1000.0 &&
                                                       f.address == 1 && f.command == "t";
                                            });
                ASSERT_NE(t, port->frameLog().end());
                const auto truth = acFields(whole(t->answer));
                ASSERT_TRUE(truth);
                lastEs = truth->voltage(lastEs);
                EXPECT_DOUBLE_EQ(*r.es, lastEs) << r.takenAtMs;
            }
        }
    }
};

TEST_F(Loop, TwoClicksInOneCycleSendOnlyTheLastAndRequestsGoOutInOrder) {
    // Automatic ranging off: the quiet readings would move the ranges back.
    settings.autoAttenuator = settings.autoRate = false;
    start();
    acq->loopStart();
    acq->normalCycle();
    const size_t mark = port->frameLog().size();
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
    // The detector now reports ranges 5 and 2, as asked: nothing more to send.
    const size_t mark2 = port->frameLog().size();
    acq->normalCycle();
    acq->normalCycle();
    EXPECT_EQ(traffic(mark2), (QStringList{"0:x", "1:t", "2:g", "0:x", "1:t", "2:g"}));
    EXPECT_EQ(std::pair(listener.readings.back().attRange, listener.readings.back().rateRange),
              std::pair(5, 2));
}

// A detector alone on a line whose replies carry other leading and trailing characters
// than the simulator's: only the detector is asked, and without an AC unit the voltage is
// 0 and the reading complete. Once, junk comes in front of the reply and the reply's last two
// characters come 2 ms after the rest, in front of the next reply: neither cycle gives a
// reading, a row or a range command, however well the shifted fields would read.
TEST(JunkInFrontOfAReply, IsNoReadingAndMovesNoRange) {
    test::FakeLinkParts line;
    Requests requests;
    OperatingSettings settings;  // automatic ranging on: it must not act on the junk
    InputConstants constants;
    PanelModel panel{requests, settings};
    ReadingEvaluator evaluator{constants, line.units};
    struct : LoopWindows, QnControl {
        bool discriminatorShown = true;
        void showDiscriminatorPanel(bool shown) override { discriminatorShown = shown; }
        void startCharts() override {}
        void portLost(const PortProblem&) override {}
        void portBack() override {}
        bool passesRunning() const override { return false; }
        bool endAfterPass() const override { return false; }
        void recordStart() override {}
        void finish() override {}
    } windows;
    Acquisition acq({requests, settings, line.units, line.link, line.clock, line.timing, evaluator,
                     panel, windows, windows});
    Listener listener;
    listener.clock = &line.clock;
    acq.addListener(panel);
    acq.addListener(listener);
    ASSERT_TRUE(test::startOnDefaultBench(line.units, line.link, false, false));
    int readings = 0;
    line.port.responder = [&](const QByteArray& frame) {
        if (frame.mid(1, 1) != "x") {
            line.port.deliverIn(5, "ok~");  // acknowledgements
        } else if (++readings == 3) {
            line.port.deliverIn(10,
                                "NNX00"
                                "1A2231");
            line.port.deliverIn(12, "~|");
        } else {
            line.port.deliverIn(10,
                                "X00"
                                "1A2231"
                                "~|");
        }
    };
    acq.loopStart();
    for (int cycle = 0; cycle < 6; ++cycle) {
        acq.normalCycle();
    }
    ASSERT_EQ(listener.readings.size(), 5u);
    EXPECT_FALSE(windows.discriminatorShown);
    const std::vector<QString> commands = line.port.writtenCommands();
    EXPECT_EQ(std::vector<QString>(commands.begin(), commands.begin() + 6),
              (std::vector<QString>{"m1", "a0", "r0", "x", "m1", "x"}));
    EXPECT_EQ(std::count_if(commands.begin(), commands.end(),
                            [](const QString& c) { return c == "t" || c == "g"; }),
              0);
    for (size_t i = 0; i < listener.readings.size(); ++i) {
        const Reading& r = listener.readings[i];
        ASSERT_EQ(r.detectorAnswered(), i != 2 && i != 3) << i;
        EXPECT_EQ(r.complete(), r.detectorAnswered()) << i;
        if (r.detector) {
            EXPECT_EQ(
                std::tuple(r.detector->peakCode, r.detector->rateCode, r.attRange, r.rateRange),
                std::tuple(0x1A, 0x22, 3, 1))
                << i;
        }
    }
    for (const QString& command : commands) {
        EXPECT_TRUE(command != QLatin1String("a2") && command != QLatin1String("r2"));
    }
}

// The count of a gate may come as late as the gate time after the gate's end; later it is
// none.
TEST(GateCount, ALateCountWithinTheGateCountsAndOneAfterItDoesNot) {
    for (const auto& [afterGateMs, counted] : {std::pair{900, true}, {1100, false}}) {
        test::FakeLinkParts line;
        ASSERT_TRUE(test::startOnDefaultBench(line.units, line.link));
        line.timing.startTimers();
        line.port.responder = [&, delay = 1000 + afterGateMs](const QByteArray&) {
            line.port.deliverIn(delay, "K:c002A~|");
        };
        CycleTraffic traffic{line.units, line.link, line.clock, line.timing};
        EXPECT_EQ(gateCount(traffic.countGate(1000)).has_value(), counted) << afterGateMs;
    }
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
            EXPECT_GE(x[i] - x[i - 1], least) << sampleMs << " " << i;
            EXPECT_LE(x[i] - x[i - 1], most) << sampleMs << " " << i;
        }
    }
}

// A Q-N measurement running from the loop's start: a start still pending is recorded, and
// the remote request still pending (the loop's start ticks REMOTE: "m1" is asked for once
// more) goes out before the first count, not after the measurement. A click and a stop
// early in the pass wait for its end; the pass takes about 11 s.
TEST_F(Loop, RequestsWaitWhileAQnMeasurementRunsButItsRemoteRequestGoesFirst) {
    start();
    qnRunning = true;
    requests.qnStart = true;
    clock.scheduleInMs(3000, [this] {
        panel.clickRate(3);
        qnEndAsked = true;
    });
    endAt(12500);
    acq->run();
    EXPECT_EQ(std::pair(qnStartsRecorded, qnFinishes), std::pair(1, 1));
    const QStringList t = traffic();
    EXPECT_EQ(t.mid(t.indexOf(QStringLiteral("2:f0")) + 1, 3),
              (QStringList{"0:m1", "0:a0", "0:c1000"}));
    EXPECT_EQ(t.filter(QStringLiteral("0:c1000")).size(), 10);  // one whole pass
    EXPECT_GT(t.indexOf(QStringLiteral("0:r3")), t.lastIndexOf(QStringLiteral("0:c1000")));
}

// Exit while the port is gone ends at once: there is no one to tell. (The release of the
// line at an end is in the link tests and the tour; an end during a Q-N pass, which waits
// for the pass, in wholeprogram_test.)
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
    EXPECT_EQ(traffic(11).filter(QRegularExpression(QStringLiteral("^0:[ar]\\d$"))), QStringList{});
    int withoutVoltage = 0;
    for (const Reading& r : listener.readings) {
        if (r.takenAtMs > 3300 && r.takenAtMs < 8000) {
            EXPECT_FALSE(r.acAnswered() || r.complete()) << r.takenAtMs;
            ++withoutVoltage;
        }
    }
    EXPECT_GT(withoutVoltage, 10);
    EXPECT_TRUE(listener.readings.back().complete());  // and all is well again after it
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
    EXPECT_EQ(panel.attenuatorButton(), 9);  // the buttons followed the passes
    // Each step is "a" then "c"; a step whose count missed has a second "c".
    const QString gates =
        traffic(mark).filter(QRegularExpression(QStringLiteral("^0:(a\\d|c1000)$"))).join(' ');
    EXPECT_GE(gates.count(QStringLiteral("0:c1000 0:c1000")), 2);
    ASSERT_EQ(listener.readings.size(), 20u);
    int withoutCount = 0;
    for (const Reading& step : listener.readings) {
        withoutCount += step.countAnswered() ? 0 : 1;
        EXPECT_FALSE(step.complete() && !step.countAnswered());
        // A count taken is the answer to a gate of its own step, never one of another.
        const auto* range = lastFrameBefore(0, qPrintable(QStringLiteral("a%1").arg(step.attRange)),
                                            step.takenAtMs);
        ASSERT_NE(range, nullptr);
        bool own = !step.countAnswered();
        for (const auto& f : port->frameLog()) {
            const auto count = gateCount(whole(f.answer));
            own = own || (f.command == "c1000" && f.atUs > range->atUs &&
                          f.atUs < double(step.takenAtMs) * 1000.0 && count &&
                          countRate(*count, 1000) == *step.countRate);
        }
        EXPECT_TRUE(own) << step.takenAtMs;
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
    // Nothing reached the line while it was gone; once back, the detector was found (asked
    // at 38400 first; switched off and on, it answers at 9600 and is moved to 38400 again)
    // and everything it and the noise discriminator were told was told again.
    QStringList after;
    for (const auto& f : port->frameLog()) {
        EXPECT_FALSE(f.atUs > 5e6 && f.atUs < 8e6) << f.atUs;
        if (f.atUs > 5e6) {
            after << QStringLiteral("%1 %2:%3")
                         .arg(f.baud)
                         .arg(f.address)
                         .arg(QLatin1String(f.command));
        }
    }
    const QString found = powerCycle ? QStringLiteral(
                                           "38400 0:v 9600 0:v 9600 0:b5 9600 1:b5 9600 2:b5 "
                                           "38400 0:v ")
                                     : QStringLiteral("38400 0:v ");
    EXPECT_TRUE(after.join(' ').startsWith(
        found + QStringLiteral("38400 0:m1 38400 0:a3 38400 0:r0 38400 2:m1 38400 2:a4 "
                               "38400 2:c0 38400 2:f0 38400 0:x ")))
        << after.join(' ').toStdString();
    // One reading with nothing answered when the port went, none while it was gone,
    // whole ones again within a second of its return.
    const auto& rs = listener.readings;
    EXPECT_LE(
        std::count_if(rs.begin(), rs.end(),
                      [](const Reading& r) { return r.takenAtMs > 5000 && r.takenAtMs < 8000; }),
        1);
    const auto back = std::find_if(
        rs.begin(), rs.end(), [](const Reading& r) { return r.takenAtMs > 8000 && r.complete(); });
    ASSERT_NE(back, rs.end());
    EXPECT_LT(back->takenAtMs, 9100);
    expectLineReleased();
}

INSTANTIATE_TEST_SUITE_P(UnitsKeptOrSwitchedOffAndOn, PortPulled, ::testing::Bool());

}  // namespace
}  // namespace kr5
