// What the units answer on the line: the length and fields of every reply, who answers
// which frame, the speed change and the timing of an exchange.
#include "link/wire.h"
#include "sim/simport.h"
#include "simline.h"

#include <gtest/gtest.h>

namespace kr5::sim::test {
namespace {

constexpr int kKr = 0;  // addresses of the default bench
constexpr int kAu = 1;
constexpr int kZn = 2;

QString text(const QByteArray& bytes) {
    return kr5::decodeLine(bytes);
}

TEST(SimReplies, IdentifyGivesTypeLettersAndTheThirteenCharacterText) {
    SimLine line(quietBench());
    const struct {
        int address;
        const char* type;
    } units[] = {{kKr, "KR"}, {kAu, "AU"}, {kZn, "ZN"}};
    for (const auto& u : units) {
        const QString reply = text(line.ask(u.address, "v"));
        ASSERT_EQ(reply.size(), 18) << u.type;
        EXPECT_EQ(kr5::unitType(reply), QLatin1String(u.type));
        EXPECT_EQ(kr5::unitIdent(reply), line.bench.unitAt(1, u.address)->ident());
        EXPECT_TRUE(reply.endsWith(QLatin1String("\r\n")));
    }
}

TEST(SimReplies, EverySettingCommandIsAcknowledgedWithThreeCharacters) {
    SimLine line(quietBench());
    const struct {
        int address;
        std::vector<QByteArray> commands;
    } cases[] = {
        {kKr, {"m1", "m0", "a0", "a9", "r0", "r3", "b3"}},
        {kZn, {"m1", "m0", "a0", "a9", "c0", "c9", "f0", "f3", "b3"}},
        {kAu, {"b3"}},
    };
    for (const auto& c : cases) {
        for (const QByteArray& cmd : c.commands) {
            EXPECT_EQ(line.ask(c.address, cmd), QByteArray("A\r\n")) << cmd.constData();
        }
    }
}

TEST(SimReplies, DetectorReadingReportsTheRangesInUse) {
    SimLine line(quietBench());
    line.ask(kKr, "a4");
    line.ask(kKr, "r2");
    const QString x = text(line.ask(kKr, "x"));
    ASSERT_EQ(x.size(), 11);
    EXPECT_EQ(kr5::digitField(x, 8), 4);
    EXPECT_EQ(kr5::digitField(x, 9), 2);
    for (int pos = 4; pos <= 7; ++pos) {
        EXPECT_TRUE(QStringLiteral("0123456789ABCDEF").contains(x[pos - 1])) << pos;
    }
}

TEST(SimReplies, GateCountAndVoltageAndSettingsHaveTheirLengths) {
    SimLine line(quietBench());
    const QByteArray count = line.ask(kKr, "c100", 200);
    ASSERT_EQ(count.size(), 9);
    for (int i = 3; i < 7; ++i) {
        EXPECT_TRUE(QByteArray("0123456789ABCDEF").contains(count[i]));
    }
    EXPECT_EQ(line.ask(kAu, "t").size(), 9);

    line.ask(kZn, "a3");
    line.ask(kZn, "c7");
    line.ask(kZn, "f2");
    line.ask(kZn, "m1");
    const QString g = text(line.ask(kZn, "g"));
    ASSERT_EQ(g.size(), 9);
    EXPECT_EQ(kr5::digitField(g, 4), 3);  // channel A
    EXPECT_EQ(kr5::digitField(g, 5), 2);  // function
    EXPECT_EQ(kr5::digitField(g, 6), 1);  // remote
    EXPECT_EQ(kr5::digitField(g, 7), 7);  // channel B
}

TEST(SimReplies, CommandsOutOfRangeAreRefusedAndChangeNothing) {
    SimLine line(quietBench());
    line.ask(kKr, "a2");
    line.ask(kKr, "r1");
    for (const QByteArray cmd : {"r4", "a12", "c0", "c60001", "c1x", "zz", "t"}) {
        EXPECT_EQ(line.ask(kKr, cmd), QByteArray("N\r\n")) << cmd.constData();
    }
    const QString x = text(line.ask(kKr, "x"));
    EXPECT_EQ(kr5::digitField(x, 8), 2);
    EXPECT_EQ(kr5::digitField(x, 9), 1);

    for (const QByteArray cmd : {"f4", "c10", "x"}) {
        EXPECT_EQ(line.ask(kZn, cmd), QByteArray("N\r\n")) << cmd.constData();
    }
    EXPECT_EQ(line.ask(kAu, "g"), QByteArray("N\r\n"));
}

TEST(SimReplies, OnlyTheAddressedUnitOnItsOwnPortAnswers) {
    Scenario s = quietBench();
    s.units.push_back({UnitKind::Detector, 7, 2, defaultIdent(UnitKind::Detector, 7)});
    SimLine line(s);

    EXPECT_TRUE(line.ask(5, "v").isEmpty());  // nobody at address 5
    EXPECT_TRUE(line.ask(7, "v").isEmpty());  // address 7 is on port 2
    EXPECT_EQ(text(line.ask(kAu, "v")).mid(3, 2), QStringLiteral("AU"));

    // Frames that are not well formed reach nobody.
    for (const QByteArray& bad : {QByteArray("v\r\n"), QByteArray("\xC0v\n"),
                                  QByteArray("\xC0\r\n"), QByteArray("\xC0v w\r\n")}) {
        line.port.write(bad);
        EXPECT_TRUE(line.collectFor(100).isEmpty()) << bad.toHex().constData();
    }

    SimLine second(s, 2);
    EXPECT_EQ(text(second.ask(7, "v")).mid(3, 2), QStringLiteral("KR"));
    EXPECT_TRUE(second.ask(kKr, "v").isEmpty());
}

TEST(SimReplies, SpeedChangeTakesEffectAfterTheAcknowledgementAtTheOldSpeed) {
    SimLine line(quietBench(0.0));
    EXPECT_EQ(line.ask(kKr, "b4"), QByteArray("A\r\n"));
    // Frame of 5 bytes and answer of 3, all at 9600.
    EXPECT_NEAR(line.lastArrivalUs - line.sentUs, 8 * 1e7 / 9600, 1.0);

    EXPECT_TRUE(line.ask(kKr, "v").isEmpty());  // the detector no longer hears 9600
    ASSERT_TRUE(line.port.setSettings(QStringLiteral("19200,N,8,1")));
    EXPECT_EQ(line.ask(kKr, "v").size(), 18);
    EXPECT_NEAR(line.lastArrivalUs - line.sentUs, 22 * 1e7 / 19200, 1.0);
    EXPECT_TRUE(line.ask(kAu, "v").isEmpty());  // the AC unit was not told

    // Answers sent at a speed the port is not set to arrive as noise.
    line.port.write(frameFor(kAu, "v"));
    ASSERT_TRUE(line.port.setSettings(QStringLiteral("9600,N,8,1")));
    EXPECT_TRUE(line.collectFor(100).isEmpty());  // the frame went out at 19200
    line.port.write(frameFor(kAu, "t"));
    line.clock.advanceMs(5);  // the frame is through, the answer under way
    ASSERT_TRUE(line.port.setSettings(QStringLiteral("19200,N,8,1")));
    const QByteArray noise = line.collectFor(100);
    EXPECT_EQ(noise.size(), 9);
    EXPECT_FALSE(noise.contains("\r\n"));
}

TEST(SimReplies, AnExchangeTakesItsBytesOnTheLinePlusTheTurnaround) {
    for (const double turnaroundMs : {2.0, 7.5}) {
        for (const int baud : {9600, 38400}) {
            SimLine line(quietBench(turnaroundMs));
            if (baud != 9600) {
                line.ask(kKr, "b5");
                line.port.setSettings(QStringLiteral("%1,N,8,1").arg(baud));
            }
            EXPECT_EQ(line.ask(kKr, "x").size(), 11);
            const double expected = 15 * 1e7 / baud + turnaroundMs * 1000.0;
            EXPECT_NEAR(line.lastArrivalUs - line.sentUs, expected, 1.0)
                << baud << " baud, turnaround " << turnaroundMs;
        }
    }
}

TEST(SimReplies, AnswersQueueBehindOneAnotherOnTheLine) {
    SimLine line(quietBench(0.0));
    // Two frames written at once: the second leaves after the first, and its answer
    // cannot overtake the first answer.
    line.port.write(frameFor(kKr, "v") + frameFor(kAu, "v"));
    const QString both = text(line.collectFor(100));
    ASSERT_EQ(both.size(), 36);
    EXPECT_EQ(kr5::unitType(both), QStringLiteral("KR"));
    EXPECT_EQ(kr5::unitType(both.mid(18)), QStringLiteral("AU"));
    // 4 + 18 bytes for the detector; the AC unit's frame ended at 8 bytes, its answer
    // waits for the line: 4 + 18 + 18 byte times in all.
    EXPECT_NEAR(line.lastArrivalUs, 40 * 1e7 / 9600, 1.0);
}

}  // namespace
}  // namespace kr5::sim::test
