// The link over a fake line in virtual time: frames to the units' addresses, how receive
// judges what came (whole, missing, short, overlong, late) with the late-answer guard
// behind it, discovery's receive, the speed change and the release of the line at
// shutdown. The guard's own rules are in lineguard_test.cpp, the fields of replies in
// reply_test.cpp, the link against the simulated bench in the sim tests.
#include "link/link.h"
#include "support/benchunits.h"
#include "support/fakeserialport.h"

#include <gtest/gtest.h>

#include <deque>
#include <utility>
#include <vector>

static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace kr5 {

static void PrintTo(Reply::Status status, std::ostream* os) {
    static const char* const names[] = {"Whole", "Missing", "Short", "Overlong", "Late"};
    *os << names[static_cast<int>(status)];
}

namespace {

using test::FakeSerialPort;
using Status = Reply::Status;

// What the line sends back after one frame: pieces, each after a delay from the frame.
using Answer = std::vector<std::pair<qint64, QByteArray>>;

const QByteArray kReading = "A0x7F3121\r\n";  // the detector's answer to "x"
const QByteArray kEsFirst = "A1t2123\r\n";    // the AC unit's answers to "t"
const QByteArray kEsSecond = "A1t3050\r\n";
const QByteArray kAck = "A\r\n";

// At 9600 baud a reply that looks complete on a suspect line is given three character
// times more, rounded up to whole milliseconds.
constexpr qint64 kSettleMs = 4;
// The time the units of these tests usually take to answer, and the latest an answer
// still counts as prompt once the link has seen that: half as long again.
constexpr qint64 kUsualMs = 10;
constexpr qint64 kPromptLimitMs = 15;

// The default bench (detector 0, AC unit 1, noise discriminator 2) on port 1 of a fake
// line that answers each frame as the test scripts it.
struct Line {
    UnitsOnLine units;
    VirtualClock clock;
    VirtualPump pump{clock};
    Timing timing{clock, pump};
    FakeSerialPort port{clock};
    Link link{units, port, clock, pump, timing};
    std::deque<Answer> script;  // the answers to the next frames; silence when empty

    Line() {
        test::startOnDefaultBench(units, link);
        port.responder = [this](const QByteArray&) {
            if (script.empty()) {
                return;
            }
            for (const auto& [delayMs, bytes] : script.front()) {
                port.deliverIn(delayMs, bytes);
            }
            script.pop_front();
        };
    }

    // A good exchange with the AC unit shows the link how long its answer usually takes.
    void teachUsualTime() {
        const auto taught = es({{kUsualMs, kEsFirst}});
        ASSERT_EQ(taught.reply.status, Status::Whole);
        ASSERT_EQ(taught.tookMs, kUsualMs);
    }

    // Every frame is acknowledged after 5 ms.
    void acknowledgeEverything() {
        port.responder = [this](const QByteArray&) { port.deliverIn(5, kAck); };
    }

    struct Exchange {
        Reply reply;
        qint64 tookMs;
    };

    // Sends a command, the line answering as given, and collects the reply.
    Exchange exchange(UnitKind unit, const QString& command, int len, Answer answer = {},
                      int timeout = kNormalTimeout) {
        script.push_back(std::move(answer));
        const qint64 start = clock.nowMs();
        link.send(unit, command);
        Reply reply = link.receive(unit, len, timeout);
        return {reply, clock.nowMs() - start};
    }
    Exchange reading(Answer answer = {}) {
        return exchange(UnitKind::Detector, QStringLiteral("x"), kMeasureLength, std::move(answer));
    }
    Exchange es(Answer answer = {}) {
        return exchange(UnitKind::AcUnit, QStringLiteral("t"), kShortReadLength, std::move(answer));
    }
};

QString text(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

TEST(Link, OpensAtNineThousandSixHundredAndReportsAPortThatWillNotOpen) {
    Line line;
    ASSERT_TRUE(line.port.isOpen());
    EXPECT_EQ(line.port.settingsLog().back(), QStringLiteral("9600,N,8,1"));
    line.port.availablePorts = {1};
    EXPECT_FALSE(line.link.openPort(2));
    EXPECT_FALSE(line.port.isOpen());
}

TEST(Link, FramesGoToTheUnitsAddresses) {
    Line line;
    line.units.unit(UnitKind::Detector).address = 2;
    line.units.unit(UnitKind::AcUnit).address = 5;
    line.units.unit(UnitKind::NoiseDiscriminator).address = 15;
    line.link.send(UnitKind::Detector, QStringLiteral("x"));
    line.link.send(UnitKind::AcUnit, QStringLiteral("t"));
    line.link.send(UnitKind::NoiseDiscriminator, QStringLiteral("g"));
    line.link.sendToAddress(7, QStringLiteral("v"));
    const std::vector<QByteArray> expected{"\xC2x\r\n", "\xC5t\r\n", "\xCFg\r\n", "\xC7v\r\n"};
    std::vector<QByteArray> written;
    for (const auto& w : line.port.written()) {
        written.push_back(w.bytes);
    }
    EXPECT_EQ(written, expected);
}

TEST(LinkReceive, OneExchangeOnALineInStep) {
    const struct {
        const char* what;
        Answer answer;
        int timeout;
        Status status;
        QByteArray text;
        qint64 tookMs;
    } cases[] = {
        {"silent", {}, kNormalTimeout, Status::Missing, "", 100},
        {"silent through a gate's time-out", {}, 2000, Status::Missing, "", 1000},
        {"in one piece", {{10, kReading}}, kNormalTimeout, Status::Whole, kReading, 10},
        {"in pieces",
         {{10, "A0x7F"}, {30, "3121\r\n"}},
         kNormalTimeout,
         Status::Whole,
         kReading,
         30},
        {"one character short",
         {{10, "A0x7F"}, {30, "312\r\n"}},
         kNormalTimeout,
         Status::Short,
         "A0x7F312\r\n",
         100},
        {"one character more in the same piece",
         {{10, kReading + "?"}},
         kNormalTimeout,
         Status::Overlong,
         kReading + "?",
         10},
        {"more in the last piece",
         {{10, "A0x7F"}, {30, "3121\r\n??"}},
         kNormalTimeout,
         Status::Overlong,
         kReading + "??",
         30},
        // On a line in step nothing else is expected: the reply is taken as soon as it is
        // complete, and what follows is dropped before the next command.
        {"more after it is complete",
         {{10, kReading}, {11, "?"}},
         kNormalTimeout,
         Status::Whole,
         kReading,
         10},
    };
    for (const auto& c : cases) {
        Line line;
        const auto got = line.exchange(UnitKind::Detector, QStringLiteral("x"), kMeasureLength,
                                       c.answer, c.timeout);
        EXPECT_EQ(got.reply.status, c.status) << c.what;
        EXPECT_EQ(got.reply.text, text(c.text)) << c.what;
        EXPECT_EQ(got.tookMs, c.tookMs) << c.what;
    }
}

// The AC unit has answered in 10 ms as a rule, then misses its time-out; its answer
// reaches the line 50 ms into its next exchange (150 ms after its own command), which
// may bring the next answer as well.
TEST(LinkReceive, AnAnswerThatMissedItsTimeOutIsNeverTakenForTheNextOne) {
    const struct {
        const char* what;
        Answer missed;  // times from the missed command
        Answer next;    // times from the next command
        Status status;
        QByteArray text;
        qint64 tookMs;
    } cases[] = {
        {"only the late answer comes", {{150, kEsFirst}}, {}, Status::Late, kEsFirst, 100},
        {"the late answer, then the next one",
         {{150, kEsFirst}},
         {{60, kEsSecond}},
         Status::Whole,
         kEsSecond,
         60},
        {"both in one piece", {}, {{50, kEsFirst + kEsSecond}}, Status::Whole, kEsSecond, 50},
        {"a piece that holds the late answer and the start of the next one",
         {},
         {{50, kEsFirst + "A1t3"}, {55, "050\r\n"}},
         Status::Whole,
         kEsSecond,
         55},
        {"the late answer in pieces, then the next one",
         {{150, "A1t2"}, {160, "123\r\n"}},
         {{70, kEsSecond}},
         Status::Whole,
         kEsSecond,
         70},
        {"the late answer within the usual time, then the next one",
         {{105, kEsFirst}},
         {{kUsualMs, kEsSecond}},
         Status::Whole,
         kEsSecond,
         kPromptLimitMs},
        {"the late answer and part of the next one",
         {{150, kEsFirst}},
         {{60, "A1t30"}},
         Status::Overlong,
         kEsFirst + "A1t30",
         100},
        {"part of the late answer", {{150, "A1t21"}}, {}, Status::Short, "A1t21", 100},
        // The late answer is lost for good: one that comes in the usual time is the
        // answer to this command.
        {"only the next one, in the usual time",
         {},
         {{kUsualMs, kEsSecond}},
         Status::Whole,
         kEsSecond,
         kPromptLimitMs},
    };
    for (const auto& c : cases) {
        Line line;
        line.teachUsualTime();
        const auto missed = line.es(c.missed);
        ASSERT_EQ(missed.reply.status, Status::Missing) << c.what;
        const auto got = line.es(c.next);
        EXPECT_EQ(got.reply.status, c.status) << c.what;
        EXPECT_EQ(got.reply.text, text(c.text)) << c.what;
        EXPECT_EQ(got.tookMs, c.tookMs) << c.what;
    }
}

TEST(LinkReceive, ALateAnswerThatCameSquaresTheAccountsAgain) {
    Line line;
    line.teachUsualTime();
    EXPECT_EQ(line.es({{150, kEsFirst}}).reply.status, Status::Missing);
    // Only the late answer comes; the one to this command is late in its turn.
    EXPECT_EQ(line.es({{150, kEsSecond}}).reply.status, Status::Late);
    const auto third = line.es({{60, "A1t3999\r\n"}});
    EXPECT_EQ(third.reply.status, Status::Whole);
    EXPECT_EQ(third.reply.text, QStringLiteral("A1t3999\r\n"));
    // Nothing is owed any more: the next reply is taken the moment it is complete.
    const auto fourth = line.es({{40, kEsFirst}});
    EXPECT_EQ(fourth.reply.status, Status::Whole);
    EXPECT_EQ(fourth.tookMs, 40);
}

TEST(LinkReceive, AnotherUnitsMissedAnswerDoesNotMakeThisOneLate) {
    {
        Line line;
        EXPECT_EQ(line.reading().reply.status, Status::Missing);  // never comes
        const auto got = line.es({{10, kEsFirst}});
        EXPECT_EQ(got.reply.status, Status::Whole);
        EXPECT_EQ(got.reply.text, text(kEsFirst));
        // Something is still owed on the line: a complete reply waits a moment for company.
        EXPECT_EQ(got.tookMs, 10 + kSettleMs);
    }
    {
        // The detector's late reading comes first, longer than the AC unit's answer.
        Line line;
        EXPECT_EQ(line.reading({{150, kReading}}).reply.status, Status::Missing);
        const auto got = line.es({{60, kEsFirst}});
        EXPECT_EQ(got.reply.status, Status::Overlong);
        EXPECT_EQ(got.reply.text, text(kReading));
    }
}

TEST(LinkReceive, BytesWaitingBeforeASendAreDroppedAndMakeTheLineSuspect) {
    Line line;
    // Two stray bytes follow a complete reply; they wait in the port.
    EXPECT_EQ(line.reading({{kUsualMs, kReading}, {20, "??"}}).reply.status, Status::Whole);
    line.clock.advanceMs(20);
    // They are not read in front of this reply, but the line is suspect: a reply that
    // looks complete waits as long as the unit's answers take at most, and a byte more
    // spoils it.
    const auto spoilt = line.reading({{kUsualMs, kReading}, {12, "!"}});
    EXPECT_EQ(spoilt.reply.status, Status::Overlong);
    EXPECT_EQ(spoilt.reply.text, text(kReading + "!"));
    EXPECT_EQ(spoilt.tookMs, kPromptLimitMs);
    // That byte was a stray too; the line stays suspect for the horizon after it.
    const qint64 lastStrayAt = line.clock.nowMs();
    const auto calm = line.reading({{kUsualMs, kReading}});
    EXPECT_EQ(calm.reply.status, Status::Whole);
    EXPECT_EQ(calm.tookMs, kPromptLimitMs);
    line.clock.advanceMs(lastStrayAt + LineGuard::horizonMs - kUsualMs - line.clock.nowMs());
    EXPECT_EQ(line.reading({{kUsualMs, kReading}}).tookMs, kPromptLimitMs);  // at the horizon
    // Past it the line is in step again: a complete reply is taken at once.
    const auto inStep = line.reading({{kUsualMs, kReading}, {12, "!"}});
    EXPECT_EQ(inStep.reply.status, Status::Whole);
    EXPECT_EQ(inStep.tookMs, kUsualMs);
}

TEST(LinkReceive, AMissedAnswerIsWrittenOffTheHorizonAfterItsExchange) {
    // An answer that comes later than usual is taken for the late one as long as one is
    // owed, and for this command's own once the owed one is written off.
    constexpr qint64 missEndMs = kUsualMs + 100;
    for (const auto& [startMs, status] : {std::pair{missEndMs, Status::Late},
                                          {missEndMs + LineGuard::horizonMs, Status::Late},
                                          {missEndMs + LineGuard::horizonMs + 1, Status::Whole}}) {
        Line line;
        line.teachUsualTime();
        EXPECT_EQ(line.es().reply.status, Status::Missing);  // lost for good
        ASSERT_EQ(line.clock.nowMs(), missEndMs);
        line.clock.advanceMs(startMs - missEndMs);
        const auto got = line.es({{50, kEsSecond}});
        EXPECT_EQ(got.reply.status, status) << startMs;
        EXPECT_EQ(got.reply.text, text(kEsSecond)) << startMs;
    }
}

TEST(LinkReceive, TheSettleWaitIsThreeCharacterTimesAtTheLinesSpeed) {
    // A byte 3 ms after a complete reply on a suspect line: inside three character times
    // at 9600 baud, outside them at 38400 (the wait is never under 2 ms).
    for (const auto& [speedIndex, status] : {std::pair{0, Status::Overlong}, {2, Status::Whole}}) {
        Line line;
        line.acknowledgeEverything();
        line.timing.startTimers();
        line.link.changeSpeed(speedIndex);
        line.port.responder = [&line](const QByteArray&) {
            line.port.deliverIn(10, kReading);
            line.port.deliverIn(13, "!");
        };
        line.port.deliverIn(1, "??");  // strays, dropped by the next send
        line.clock.advanceMs(2);
        line.link.send(UnitKind::Detector, QStringLiteral("x"));
        EXPECT_EQ(line.link.receive(UnitKind::Detector, kMeasureLength, kNormalTimeout).status,
                  status)
            << speedIndex;
    }
}

TEST(LinkReceive, ACommandCollectsItsAcknowledgement) {
    Line line;
    line.script.push_back({{5, kAck}});
    line.link.command(UnitKind::Detector, QStringLiteral("a3"));
    EXPECT_EQ(line.clock.nowMs(), 5);
    const auto got = line.reading({{10, kReading}});
    EXPECT_EQ(got.reply.status, Status::Whole);
    EXPECT_EQ(got.tookMs, 10);  // nothing was owed
}

TEST(LinkReceive, ReceiveAnyJudgesLengthOnly) {
    const struct {
        Answer answer;
        Status status;
    } cases[] = {
        {{}, Status::Missing},
        {{{5, "A0vKR-5 SIM 0001"}}, Status::Short},
        {{{5, "A0vKR-5 SIM 0001\r\n"}}, Status::Whole},
        {{{5, "A0vKR-5 SIM 0001\r\nA"}}, Status::Overlong},
    };
    for (const auto& c : cases) {
        Line line;
        line.script.push_back(c.answer);
        line.link.sendToAddress(0, QStringLiteral("v"));
        const Reply reply = line.link.receiveAny(kIdentLength, kNormalTimeout);
        EXPECT_EQ(reply.status, c.status) << reply.text.toStdString();
    }
}

TEST(LinkSpeed, TheDetectorAloneIsToldBeforeThePortFollows) {
    Line line;
    test::defaultBenchUnits(line.units, false, false);
    line.timing.startTimers();
    line.acknowledgeEverything();
    line.link.changeSpeed(1);
    const auto& w = line.port.written();
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(line.port.writtenCommands(), (std::vector<QString>{"b4", "v"}));
    EXPECT_EQ(w[0].settings, QStringLiteral("9600,N,8,1"));
    EXPECT_EQ(w[1].settings, QStringLiteral("19200,N,8,1"));
    // Two waits of 200 ms before the port follows, one after, then the identify.
    EXPECT_GE(w[1].atMs - w[0].atMs, 500);
    EXPECT_EQ(line.port.settingsLog().back(), QStringLiteral("19200,N,8,1"));
}

TEST(LinkSpeed, EveryUnitFoundIsToldBeforeThePort) {
    Line line;
    line.timing.startTimers();
    line.acknowledgeEverything();
    line.link.changeSpeed(2);
    const auto& w = line.port.written();
    const QByteArray expected[] = {
        "\xC0"
        "b5\r\n",
        "\xC1"
        "b5\r\n",
        "\xC2"
        "b5\r\n",
        "\xC0v\r\n"};
    ASSERT_EQ(w.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(w[i].bytes, expected[i]) << i;
        EXPECT_EQ(w[i].settings, QLatin1String(i < 3 ? "9600,N,8,1" : "38400,N,8,1")) << i;
    }
    // An index out of the table is held to it.
    line.link.changeSpeed(7);
    EXPECT_EQ(line.port.settingsLog().back(), QStringLiteral("38400,N,8,1"));
}

TEST(LinkSpeed, ShutdownReleasesTheLine) {
    Line line;
    line.timing.startTimers();
    line.acknowledgeEverything();
    line.port.setSettings(QStringLiteral("38400,N,8,1"));
    line.link.shutdown();
    EXPECT_EQ(line.port.writtenCommands(),
              (std::vector<QString>{"m0", "m0", "b3", "b3", "b3", "v"}));
    std::vector<int> addresses;
    for (const auto& w : line.port.written()) {
        addresses.push_back(static_cast<unsigned char>(w.bytes[0]) - 0xC0);
    }
    EXPECT_EQ(addresses, (std::vector<int>{0, 2, 0, 1, 2, 0}));
    EXPECT_EQ(line.port.settingsLog().back(), QStringLiteral("9600,N,8,1"));
    EXPECT_FALSE(line.port.isOpen());
}

TEST(Link, AClosedPortDropsWritesAndReceivesRunIntoTheTimeOut) {
    Line line;
    line.link.closePort();
    const auto got = line.reading({{10, kReading}});
    EXPECT_TRUE(line.port.written().empty());
    EXPECT_EQ(got.reply.status, Status::Missing);
    EXPECT_EQ(got.tookMs, 100);
}

}  // namespace
}  // namespace kr5
