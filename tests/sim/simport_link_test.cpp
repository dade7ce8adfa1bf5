// The in-process port under the program's own link, in virtual time: the link waits
// through a VirtualPump, and the simulated line wakes it when bytes arrive; a late answer
// from a simulated unit is never taken for another. The link's rules one by one are in
// the link tests.
#include "core/timing.h"
#include "link/link.h"
#include "link/wire.h"
#include "simline.h"
#include "support/benchunits.h"

#include <gtest/gtest.h>

namespace kr5::sim::test {
namespace {

TEST(SimPortUnderLink, ExchangesAndASpeedChangeRunInVirtualTime) {
    kr5::VirtualClock clock;
    kr5::VirtualPump pump(clock);
    Bench bench(quietBench());
    SimPort port(bench, clock);
    kr5::UnitsOnLine units;
    kr5::Timing timing(clock, pump);
    kr5::Link link(units, port, clock, pump, timing);
    ASSERT_TRUE(kr5::test::startOnDefaultBench(units, link));

    // The reply is complete 15 byte times and the turnaround after the frame was written.
    const qint64 startUs = clock.nowUs();
    link.send(kr5::UnitKind::Detector, QStringLiteral("x"));
    const kr5::Reply reading =
        link.receive(kr5::UnitKind::Detector, kr5::kMeasureLength, kr5::kNormalTimeout);
    EXPECT_TRUE(reading.whole());
    EXPECT_TRUE(kr5::detectorFields(reading));
    EXPECT_NEAR(static_cast<double>(clock.nowUs() - startUs), 15 * 1e7 / 9600 + 2000.0, 1.0);

    link.changeSpeed(2);
    EXPECT_EQ(port.baud(), 38400);
    link.send(kr5::UnitKind::AcUnit, QStringLiteral("t"));
    const kr5::Reply es =
        link.receive(kr5::UnitKind::AcUnit, kr5::kShortReadLength, kr5::kNormalTimeout);
    EXPECT_TRUE(es.whole());
    EXPECT_TRUE(kr5::acFields(es));

    QStringList tail;
    for (const FrameRecord& f : port.frameLog()) {
        tail << formatFrame(f).section(QLatin1Char(' '), 1);
    }
    EXPECT_EQ(tail, (QStringList{"port1 9600 C0 x", "port1 9600 C0 b5", "port1 9600 C1 b5",
                                 "port1 9600 C2 b5", "port1 38400 C0 v", "port1 38400 C1 t"}));
}

// The AC unit answers one command late; cycles of the three readings run on, with or
// without a pause between them, so that the late answer lands in different exchanges.
// Every reply the link calls whole must be the answer to the frame just sent.
TEST(SimPortUnderLink, AnAnswerThatComesLateIsNeverTakenForAnotherOne) {
    struct Exchange {
        kr5::UnitKind unit;
        const char* command;
        int len;
    };
    const Exchange cycle[] = {{kr5::UnitKind::Detector, "x", kr5::kMeasureLength},
                              {kr5::UnitKind::AcUnit, "t", kr5::kShortReadLength},
                              {kr5::UnitKind::NoiseDiscriminator, "g", kr5::kShortReadLength}};
    for (const auto& [lateMs, pauseMs] : {std::pair{150.0, qint64{0}},
                                          {150.0, 100},
                                          {120.0, 30},
                                          {250.0, 0},
                                          {400.0, 0},
                                          {400.0, 200}}) {
        Scenario s = quietBench();
        FaultConfig late;
        late.kind = FaultKind::Late;
        late.lateMs = lateMs;
        late.fromS = 1.0;
        late.toS = 1.1;  // one frame of the AC unit: a cycle takes longer
        s.faults.push_back(FaultRule{UnitKind::AcUnit, -1, late});
        kr5::VirtualClock clock;
        kr5::VirtualPump pump(clock);
        Bench bench(s);
        SimPort port(bench, clock);
        kr5::UnitsOnLine units;
        kr5::Timing timing(clock, pump);
        kr5::Link link(units, port, clock, pump, timing);
        ASSERT_TRUE(kr5::test::startOnDefaultBench(units, link));

        int whole = 0;
        int spoilt = 0;
        int spoiltAfterASecond = 0;  // a second after the late answer, the line is in step
        while (clock.nowMs() < 3000) {
            for (const Exchange& x : cycle) {
                link.send(x.unit, QString::fromLatin1(x.command));
                const kr5::Reply reply = link.receive(x.unit, x.len, kr5::kNormalTimeout);
                const FrameRecord& frame = port.frameLog().back();
                if (reply.whole()) {
                    ++whole;
                    EXPECT_EQ(reply.text, kr5::decodeLine(frame.answer))
                        << "late " << lateMs << " ms, pause " << pauseMs
                        << " ms: " << formatFrame(frame).toStdString();
                } else {
                    ++spoilt;
                    spoiltAfterASecond += clock.nowMs() > 2000 ? 1 : 0;
                }
            }
            clock.advanceMs(pauseMs);
        }
        // The late answer, and the answers queued behind it on the line, cost some
        // replies, never the line.
        EXPECT_GE(spoilt, 1) << lateMs << " " << pauseMs;
        EXPECT_EQ(spoiltAfterASecond, 0) << lateMs << " " << pauseMs;
        EXPECT_GT(whole, 20) << lateMs << " " << pauseMs;
    }
}

}  // namespace
}  // namespace kr5::sim::test
