// What the simulated units answer on the line, and when; what the readings show is in
// physics_test.cpp, where the program's readers take every reading of each unit. The
// turnaround is timed with the gate there, answers queueing on the line in the measure
// tests' loop.
#include "simline.h"

#include <gtest/gtest.h>

namespace kr5::sim::test {
namespace {

TEST(SimReplies, OnlyTheAddressedUnitOnItsOwnPortAnswersAWellFormedFrame) {
    Scenario s = quietBench();
    s.units.push_back({UnitKind::Detector, 7, 2, defaultIdent(UnitKind::Detector, 7)});
    SimLine line(s);
    // Each identifies itself with 13 characters that start with its type.
    for (const auto& [address, reply] :
         {std::pair{kKr, "A0vKR.{11}\r\n"}, {kAu, "A1vAU.{11}\r\n"}, {kZn, "A2vZN.{11}\r\n"}}) {
        EXPECT_TRUE(matches(line.ask(address, "v"), reply)) << reply;
    }
    EXPECT_TRUE(line.ask(5, "v").isEmpty());  // nobody at address 5
    EXPECT_TRUE(line.ask(7, "v").isEmpty());  // address 7 is on port 2
    for (const QByteArray& bad : {QByteArray("v\r\n"), QByteArray("\xC0v\n"),
                                  QByteArray("\xC0\r\n"), QByteArray("\xC0v w\r\n")}) {
        line.port.write(bad);
        EXPECT_TRUE(line.collectFor(100).isEmpty()) << bad.toHex().constData();
    }
    SimLine second(s, 2);
    EXPECT_TRUE(matches(second.ask(7, "v"), "A7vKR.{11}\r\n"));
    EXPECT_TRUE(second.ask(kKr, "v").isEmpty());
}

TEST(SimReplies, EveryCommandGetsItsReplyAndWhatIsOutOfRangeIsRefusedWithoutEffect) {
    SimLine line(quietBench());
    // A unit, the commands it is sent, and the pattern of each reply.
    const std::tuple<int, const char*, const char*> cases[] = {
        {kKr, "m1 m0 a0 a9 r0 r3 b3 a7 r2", "A\r\n"},
        {kZn, "m1 m0 a0 a9 c0 c9 f0 f3 b3 a3 c7 f1 m1", "A\r\n"},
        {kAu, "b3", "A\r\n"},
        {kKr, "r4 a12 c0 c60001 c1x zz t", "N\r\n"},
        {kZn, "f4 c10 x", "N\r\n"},
        {kAu, "g", "N\r\n"},
        {kKr, "x", "A0x[0-9A-F]{4}72\r\n"},  // the ranges in use: a7, r2
        {kKr, "c100", "A0c[0-9A-F]{4}\r\n"},
        {kAu, "t", "A1t[0-9]{4}\r\n"},
        {kZn, "g", "A2g3117\r\n"}};  // channel A, function, remote, channel B
    for (const auto& [address, commands, expected] : cases) {
        for (const QByteArray& command : QByteArray(commands).split(' ')) {
            const QByteArray reply = line.ask(address, command, 200);
            EXPECT_TRUE(matches(reply, expected))
                << address << " " << command.constData() << ": " << reply.constData();
        }
    }
}

TEST(SimReplies, SpeedChangeTakesEffectAfterTheAcknowledgementAtTheOldSpeed) {
    SimLine line(quietBench(0.0));
    EXPECT_EQ(line.ask(kKr, "b4"), QByteArray("A\r\n"));
    EXPECT_NEAR(line.lastArrivalUs - line.sentUs, 8 * kByteUs, 1.0);  // 5 + 3 bytes at 9600
    EXPECT_TRUE(line.ask(kKr, "v").isEmpty());  // the detector no longer hears 9600
    ASSERT_TRUE(line.port.setSettings(QStringLiteral("19200,N,8,1")));
    EXPECT_EQ(line.ask(kKr, "v").size(), 18);
    EXPECT_NEAR(line.lastArrivalUs - line.sentUs, 22 * 1e7 / 19200, 1.0);
    EXPECT_TRUE(line.ask(kAu, "v").isEmpty());  // the AC unit was not told

    // Answers sent at a speed the port is not set to arrive as noise.
    ASSERT_TRUE(line.port.setSettings(QStringLiteral("9600,N,8,1")));
    line.port.write(frameFor(kAu, "t"));
    line.clock.advanceMs(5);  // the frame is through, the answer under way
    ASSERT_TRUE(line.port.setSettings(QStringLiteral("19200,N,8,1")));
    const QByteArray noise = line.collectFor(100);
    EXPECT_EQ(noise.size(), 9);
    EXPECT_FALSE(noise.contains("\r\n"));
}

}  // namespace
}  // namespace kr5::sim::test
