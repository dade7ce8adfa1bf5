// The faults a unit or a port can be given, each on its own; a pulled adapter is met in the
// measure tests, whose loop opens the port again. How the program copes with every fault is
// in the link, measure and app tests.
#include "simline.h"

#include <gtest/gtest.h>

namespace kr5::sim::test {
namespace {

TEST(SimFaults, ASilentUnitObeysButAGoneOneNeitherHearsNorAnswersUntilItComesBack) {
    SimLine silent(quietBenchWith("fault KR silent to=1"));
    EXPECT_TRUE(silent.ask(kKr, "a5").isEmpty());
    EXPECT_EQ(silent.ask(kAu, "v").size(), 18);  // the others are not affected
    silent.idle(1000);
    EXPECT_EQ(silent.reading().attRange, 5);

    SimLine gone(quietBenchWith("fault KR gone from=1 to=2"));
    EXPECT_EQ(gone.ask(kKr, "a2"), QByteArray("A\r\n"));
    gone.idle(1000);
    EXPECT_TRUE(gone.ask(kKr, "a5").isEmpty());
    gone.idle(1000);
    EXPECT_EQ(gone.reading().attRange, 2);  // "a5" never reached it
    // With a probability, a share of the frames is hit, and only inside the window.
    SimLine line(quietBenchWith("fault KR silent to=10 p=0.5"));
    int answered = 0;
    for (int i = 0; i < 200; ++i) {
        answered += line.ask(kKr, "v", 30).isEmpty() ? 0 : 1;
    }
    EXPECT_TRUE(answered > 60 && answered < 140) << answered;
    line.idle(10000);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(line.ask(kKr, "v", 30).size(), 18);
    }
}

TEST(SimFaults, GarbledAnswerKeepsItsLengthAndTruncatedStopsShort) {
    SimLine line(quietBenchWith("fault KR garbled count=3"));
    const QByteArray clean = "A0v" + line.bench.detector()->ident().toLatin1() + "\r\n";
    for (int i = 0; i < 20; ++i) {
        const QByteArray got = line.ask(kKr, "v");
        ASSERT_EQ(got.size(), clean.size());
        int differing = 0;
        for (qsizetype k = 0; k < got.size(); ++k) {
            differing += got[k] != clean[k] ? 1 : 0;
        }
        EXPECT_TRUE(differing >= 1 && differing <= 3) << differing;
    }
    EXPECT_EQ(SimLine(quietBenchWith("fault KR truncated keep=5")).ask(kKr, "v"), "A0vKR");
    // Without a length it keeps half.
    EXPECT_EQ(SimLine(quietBenchWith("fault KR truncated")).ask(kKr, "x").size(), 5);
}

TEST(SimFaults, AnswersInPiecesOrLateArriveWhenTheyAreDue) {
    SimLine line(quietBenchWith("fault KR pieces pieces=2 gap=30\nfault AU late"));
    line.port.write(frameFor(kKr, "x"));
    // First half (5 bytes) right after the frame, the rest 30 ms after that.
    EXPECT_EQ(line.collectFor(20).size(), 5);
    EXPECT_NEAR(line.lastArrivalUs, 9 * kByteUs, 1.0);
    EXPECT_EQ(line.collectFor(50).size(), 6);
    EXPECT_NEAR(line.lastArrivalUs, 15 * kByteUs + 30000.0, 1.0);
    // A late answer comes after the program's time-out, 150 ms after it would have.
    EXPECT_TRUE(line.ask(kAu, "t", 100).isEmpty());
    EXPECT_EQ(line.collectFor(100).size(), 9);
    EXPECT_NEAR(line.lastArrivalUs - line.sentUs, 13 * kByteUs + 150000.0, 1.0);
}

// What was on its way when the program closed the port is lost with it.
TEST(SimFaults, AClosedPortLosesWhatWasOnItsWay) {
    SimLine line(quietBench());
    line.port.write(frameFor(kKr, "v"));
    line.idle(10);  // the answer is half through when the program closes the port
    line.port.close();
    ASSERT_TRUE(line.port.open(1, QStringLiteral("9600,N,8,1")));
    EXPECT_TRUE(line.collectFor(50).isEmpty());
    EXPECT_EQ(line.ask(kKr, "v").size(), 18);
}

}  // namespace
}  // namespace kr5::sim::test
