// The faults a unit or a port can be given, each on its own, as a reliability test of
// the program would meet them. How the program's link copes with a late answer is in
// simport_link_test.cpp and the link tests.
#include "simline.h"

#include <gtest/gtest.h>

namespace kr5::sim::test {
namespace {

// A bench whose units of one kind have one fault, from fromS to toS of bench time.
Scenario withFault(UnitKind unit, FaultKind kind, double fromS = 0.0, double toS = 1e9,
                   void (*tune)(FaultConfig&) = nullptr) {
    Scenario s = quietBench(0.0);
    FaultConfig f;
    f.kind = kind;
    f.fromS = fromS;
    f.toS = toS;
    if (tune) {
        tune(f);
    }
    s.faults.push_back(FaultRule{unit, -1, f});
    return s;
}

TEST(SimFaults, SilentUnitObeysButAGoneOneNeitherHearsNorAnswersUntilItComesBack) {
    SimLine silent(withFault(UnitKind::Detector, FaultKind::Silent, 0.0, 1.0));
    EXPECT_TRUE(silent.ask(kKr, "a5").isEmpty());
    EXPECT_EQ(silent.ask(kAu, "v").size(), 18);  // the others are not affected
    silent.idle(1000);
    const auto obeyed = detectorFieldsOf(silent.ask(kKr, "x"));
    ASSERT_TRUE(obeyed);
    EXPECT_EQ(obeyed->attRange, 5);

    SimLine gone(withFault(UnitKind::Detector, FaultKind::Gone, 1.0, 2.0));
    EXPECT_EQ(gone.ask(kKr, "a2"), QByteArray("A\r\n"));
    gone.idle(1000);
    EXPECT_TRUE(gone.ask(kKr, "a5").isEmpty());
    EXPECT_TRUE(gone.ask(kKr, "v").isEmpty());
    gone.idle(1000);
    const auto back = detectorFieldsOf(gone.ask(kKr, "x"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->attRange, 2);  // "a5" never reached it
}

TEST(SimFaults, GarbledAnswerKeepsItsLengthAndTruncatedStopsShort) {
    SimLine line(withFault(UnitKind::Detector, FaultKind::Garbled, 0.0, 1e9,
                           [](FaultConfig& f) { f.count = 3; }));
    const QByteArray clean = "A0v" + line.bench.detector()->ident().toLatin1() + "\r\n";
    for (int i = 0; i < 20; ++i) {
        const QByteArray got = line.ask(kKr, "v");
        ASSERT_EQ(got.size(), clean.size());
        int differing = 0;
        for (qsizetype k = 0; k < got.size(); ++k) {
            differing += got[k] != clean[k] ? 1 : 0;
        }
        EXPECT_GE(differing, 1);
        EXPECT_LE(differing, 3);
    }
    SimLine five(withFault(UnitKind::Detector, FaultKind::Truncated, 0.0, 1e9,
                           [](FaultConfig& f) { f.keep = 5; }));
    EXPECT_EQ(five.ask(kKr, "v"), QByteArray("A0vKR"));
    SimLine half(withFault(UnitKind::Detector, FaultKind::Truncated));  // keeps half
    EXPECT_EQ(half.ask(kKr, "x").size(), 5);
}

TEST(SimFaults, AnswerInPiecesArrivesWithPausesBetween) {
    SimLine line(withFault(UnitKind::Detector, FaultKind::Pieces, 0.0, 1e9, [](FaultConfig& f) {
        f.pieces = 2;
        f.gapMs = 30.0;
    }));
    line.port.write(frameFor(kKr, "x"));
    // First half (5 bytes) right after the frame, the rest 30 ms after that.
    EXPECT_EQ(line.collectFor(20).size(), 5);
    EXPECT_NEAR(line.lastArrivalUs, 9 * kByteUs, 1.0);
    EXPECT_EQ(line.collectFor(50).size(), 6);
    EXPECT_NEAR(line.lastArrivalUs, 15 * kByteUs + 30000.0, 1.0);
}

TEST(SimFaults, LateAnswerComesAfterTheProgramsTimeOut) {
    SimLine line(withFault(UnitKind::AcUnit, FaultKind::Late));
    EXPECT_EQ(line.ask(kKr, "x").size(), 11);  // only the AC unit is late
    EXPECT_TRUE(line.ask(kAu, "t", 100).isEmpty());
    EXPECT_EQ(line.collectFor(100).size(), 9);
    EXPECT_NEAR(line.lastArrivalUs - line.sentUs, 13 * kByteUs + 150000.0, 1.0);
}

TEST(SimFaults, ProbabilityHitsAShareOfTheFramesAndOnlyInsideTheWindow) {
    SimLine line(withFault(UnitKind::Detector, FaultKind::Silent, 0.0, 10.0,
                           [](FaultConfig& f) { f.probability = 0.5; }));
    int answered = 0;
    for (int i = 0; i < 200; ++i) {
        answered += line.ask(kKr, "v", 30).isEmpty() ? 0 : 1;
    }
    EXPECT_GT(answered, 60);
    EXPECT_LT(answered, 140);
    line.idle(10000);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(line.ask(kKr, "v", 30).size(), 18);
    }
}

TEST(SimFaults, PulledAdapterOrClosedPortLosesWhatWasOnItsWay) {
    Scenario s = quietBench();
    s.pulls.push_back(PortPull{1, 1.0, 2.0});
    SimLine line(s);
    const QString settings = QStringLiteral("9600,N,8,1");
    ASSERT_TRUE(line.port.isOpen());
    EXPECT_FALSE(line.port.open(2, settings));  // no line on port 2
    ASSERT_TRUE(line.port.open(1, settings));
    // A frame whose answer would arrive after the pull is lost with the port.
    line.idle(990);
    line.port.write(frameFor(kKr, "v"));
    line.idle(20);
    EXPECT_FALSE(line.port.isOpen());
    EXPECT_TRUE(line.port.takeInput().isEmpty());
    EXPECT_FALSE(line.port.open(1, settings));
    line.idle(1000);
    ASSERT_TRUE(line.port.open(1, settings));
    EXPECT_EQ(line.ask(kKr, "v").size(), 18);

    line.port.write(frameFor(kKr, "v"));
    line.idle(10);  // the answer is half through when the program closes the port
    line.port.close();
    ASSERT_TRUE(line.port.open(1, settings));
    EXPECT_TRUE(line.collectFor(50).isEmpty());
    EXPECT_EQ(line.ask(kKr, "v").size(), 18);
}

}  // namespace
}  // namespace kr5::sim::test
