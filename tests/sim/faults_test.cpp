// The faults a unit or a port can be given, each on its own, as a reliability test of
// the program would meet them.
#include "link/wire.h"
#include "simline.h"

#include <gtest/gtest.h>

namespace kr5::sim::test {
namespace {

constexpr int kKr = 0;
constexpr int kAu = 1;

Scenario withFault(UnitKind kind, FaultConfig config) {
    Scenario s = quietBench(0.0);
    s.faults.push_back(FaultRule{kind, -1, config});
    return s;
}

FaultConfig fault(FaultKind kind, double fromS = 0.0, double toS = 1e9) {
    FaultConfig f;
    f.kind = kind;
    f.fromS = fromS;
    f.toS = toS;
    return f;
}

TEST(SimFaults, SilentUnitObeysButNeverAnswers) {
    SimLine line(withFault(UnitKind::Detector, fault(FaultKind::Silent, 0.0, 1.0)));
    EXPECT_TRUE(line.ask(kKr, "a5").isEmpty());
    EXPECT_EQ(line.ask(kAu, "v").size(), 18);  // the others are not affected
    line.idle(1000);
    EXPECT_EQ(kr5::digitField(kr5::decodeLine(line.ask(kKr, "x")), 8), 5);
}

TEST(SimFaults, GoneUnitNeitherHearsNorAnswersUntilItComesBack) {
    SimLine line(withFault(UnitKind::Detector, fault(FaultKind::Gone, 1.0, 2.0)));
    EXPECT_EQ(line.ask(kKr, "a2"), QByteArray("A\r\n"));
    line.idle(1000);
    EXPECT_TRUE(line.ask(kKr, "a5").isEmpty());
    EXPECT_TRUE(line.ask(kKr, "v").isEmpty());
    line.idle(1000);
    EXPECT_EQ(kr5::digitField(kr5::decodeLine(line.ask(kKr, "x")), 8), 2);
}

TEST(SimFaults, GarbledAnswerKeepsItsLengthButNotItsText) {
    FaultConfig f = fault(FaultKind::Garbled);
    f.count = 3;
    SimLine line(withFault(UnitKind::Detector, f));
    const QByteArray clean = "A0v" + line.bench.detector()->ident().toLatin1() + "\r\n";
    int changedAnswers = 0;
    for (int i = 0; i < 20; ++i) {
        const QByteArray got = line.ask(kKr, "v");
        ASSERT_EQ(got.size(), clean.size());
        int differing = 0;
        for (qsizetype k = 0; k < got.size(); ++k) {
            differing += got[k] != clean[k] ? 1 : 0;
        }
        EXPECT_LE(differing, 3);
        changedAnswers += differing > 0 ? 1 : 0;
    }
    EXPECT_EQ(changedAnswers, 20);
}

TEST(SimFaults, TruncatedAnswerStopsShort) {
    FaultConfig f = fault(FaultKind::Truncated);
    f.keep = 5;
    SimLine line(withFault(UnitKind::Detector, f));
    EXPECT_EQ(line.ask(kKr, "v"), QByteArray("A0vKR"));
    f.keep = -1;  // half of it
    SimLine half(withFault(UnitKind::Detector, f));
    EXPECT_EQ(half.ask(kKr, "x").size(), 5);
}

TEST(SimFaults, AnswerInPiecesArrivesWithPausesBetween) {
    FaultConfig f = fault(FaultKind::Pieces);
    f.pieces = 2;
    f.gapMs = 30.0;
    SimLine line(withFault(UnitKind::Detector, f));
    line.port.write(frameFor(kKr, "x"));
    const double byteUs = 1e7 / 9600;
    // First half (5 bytes) right after the frame, the rest 30 ms after that.
    EXPECT_EQ(line.collectFor(20).size(), 5);
    EXPECT_NEAR(line.lastArrivalUs, 9 * byteUs, 1.0);
    EXPECT_EQ(line.collectFor(50).size(), 6);
    EXPECT_NEAR(line.lastArrivalUs, 15 * byteUs + 30000.0, 1.0);
}

TEST(SimFaults, LateAnswerComesAfterTheProgramsTimeOut) {
    SimLine line(withFault(UnitKind::AcUnit, fault(FaultKind::Late)));
    EXPECT_EQ(line.ask(kKr, "x").size(), 11);  // only the AC unit is late
    EXPECT_TRUE(line.ask(kAu, "t", 100).isEmpty());
    const QByteArray late = line.collectFor(100);
    EXPECT_EQ(late.size(), 9);
    EXPECT_NEAR(line.lastArrivalUs - line.sentUs, 13 * 1e7 / 9600 + 150000.0, 1.0);
}

TEST(SimFaults, ProbabilityHitsAShareOfTheFramesAndOnlyInsideTheWindow) {
    FaultConfig f = fault(FaultKind::Silent, 0.0, 10.0);
    f.probability = 0.5;
    SimLine line(withFault(UnitKind::Detector, f));
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

TEST(SimFaults, PulledAdapterClosesThePortUntilItIsBack) {
    Scenario s = quietBench();
    s.pulls.push_back(PortPull{1, 1.0, 2.0});
    SimLine line(s);
    ASSERT_TRUE(line.port.isOpen());
    EXPECT_FALSE(line.port.open(2, QStringLiteral("9600,N,8,1")));  // no line on port 2
    ASSERT_TRUE(line.port.open(1, QStringLiteral("9600,N,8,1")));

    // A frame whose answer would arrive after the pull is lost with the port.
    line.idle(990);
    line.port.write(frameFor(kKr, "v"));
    line.idle(20);
    EXPECT_FALSE(line.port.isOpen());
    EXPECT_TRUE(line.port.takeInput().isEmpty());
    EXPECT_FALSE(line.port.open(1, QStringLiteral("9600,N,8,1")));

    line.idle(1000);
    ASSERT_TRUE(line.port.open(1, QStringLiteral("9600,N,8,1")));
    EXPECT_EQ(line.ask(kKr, "v").size(), 18);
}

TEST(SimFaults, ClosingThePortDropsWhatWasStillOnItsWay) {
    SimLine line(quietBench());
    line.port.write(frameFor(kKr, "v"));
    line.idle(10);  // the answer is half through
    line.port.close();
    ASSERT_TRUE(line.port.open(1, QStringLiteral("9600,N,8,1")));
    EXPECT_TRUE(line.collectFor(50).isEmpty());
    EXPECT_EQ(line.ask(kKr, "v").size(), 18);
}

}  // namespace
}  // namespace kr5::sim::test
