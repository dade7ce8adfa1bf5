// The link over a fake line in virtual time: the frames, and how receive judges what came with
// the late-answer guard behind it (whose own rules are in lineguard_test.cpp).
#include "link/link.h"
#include "support/benchunits.h"
#include "support/fakelink.h"
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
    static const char* const names[] = {"Whole", "Missing", "Short", "Overlong"};
    *os << names[static_cast<int>(status)];
}

namespace {

using Status = Reply::Status;
constexpr Status Whole = Status::Whole, Missing = Status::Missing, Short = Status::Short,
                 Overlong = Status::Overlong;

// What the line sends back after one frame: pieces, each after a delay from the frame.
using Answer = std::vector<std::pair<qint64, QByteArray>>;

const QByteArray kReading = "A0x7F3121\r\n";  // the detector's answer to "x"
const QByteArray kEs1 = "A1t2123\r\n";        // the AC unit's answers to "t"
const QByteArray kEs2 = "A1t3050\r\n";

// At 9600 baud a reply that looks complete on a suspect line is given three character
// times more, rounded up to whole milliseconds.
constexpr qint64 kSettleMs = 4;
// The time the units here usually take to answer, and the latest an answer still counts
// as prompt once the link has seen that: half as long again.
constexpr qint64 kUsualMs = 10;
constexpr qint64 kPromptLimitMs = 15;

// The default bench (detector 0, AC unit 1, noise discriminator 2) on port 1 of a fake line
// that answers each frame as the test scripts it.
struct Line : test::FakeLinkParts {
    std::deque<Answer> script;  // the answers to the next frames; silence when empty

    Line() {
        test::startOnDefaultBench(units, link);
        timing.startTimers();
        port.responder = [this](const QByteArray&) {
            if (!script.empty()) {
                for (const auto& [delayMs, bytes] : script.front()) {
                    port.deliverIn(delayMs, bytes);
                }
                script.pop_front();
            }
        };
    }

    struct Exchange {
        Reply reply;
        qint64 tookMs;
        auto got() const { return std::pair(reply.status, reply.text.toLatin1()); }
        auto outcome() const { return std::tuple(reply.status, reply.text.toLatin1(), tookMs); }
    };

    // Sends a command, the line answering as given, and collects the reply.
    Exchange exchange(UnitKind unit, const char* command, int len, Answer answer = {}) {
        script.push_back(std::move(answer));
        const qint64 start = clock.nowMs();
        link.send(unit, QString::fromLatin1(command));
        Reply reply = link.receive(unit, len, kNormalTimeout);
        return {reply, clock.nowMs() - start};
    }
    Exchange reading(Answer answer = {}) {
        return exchange(UnitKind::Detector, "x", kMeasureLength, std::move(answer));
    }
    Exchange es(Answer answer = {}) {
        return exchange(UnitKind::AcUnit, "t", kShortReadLength, std::move(answer));
    }
    // A good exchange with the AC unit shows the link how long its answer usually takes.
    void teachUsualTime() { ASSERT_EQ(es({{kUsualMs, kEs1}}).tookMs, kUsualMs); }

    // The next frames are acknowledged after 5 ms.
    void acknowledge(size_t frames) { script.insert(script.end(), frames, {{5, "A\r\n"}}); }

    // The frames written, as "address command baud".
    std::vector<QString> framesWritten() const {
        std::vector<QString> out;
        for (const auto& w : port.written()) {
            out.push_back(QStringLiteral("%1 %2 %3")
                              .arg(static_cast<unsigned char>(w.bytes[0]) - 0xC0)
                              .arg(QString::fromLatin1(w.bytes.mid(1).chopped(2)))
                              .arg(w.settings.section(QLatin1Char(','), 0, 0)));
        }
        return out;
    }
};

// The computer standing still past the time-out (a loaded or paused machine) is not the
// unit's silence. A reply that came in time is taken however late the program looks, and
// one held up with the program (delivered just after it wakes) gets a short look more; a
// reply that is late while the program waits attentively still counts as missing.
TEST(LinkReceive, AStalledComputerDoesNotCostAReply) {
    // The program busy from 5 ms after the frame for so long, the reply's time, and what is made
    // of it in how long.
    const std::tuple<const char*, qint64, qint64, Status, qint64> cases[] = {
        {"reply in time, program busy", 150, 10, Whole, 155},
        {"reply delivered as the program wakes", 145, 151, Whole, 151},
        {"reply late, program attentive", 0, 151, Missing, 100},
        {"reply too late even after a stall", 145, 180, Missing, 170},
    };
    for (const auto& [what, busyMs, replyAtMs, status, tookMs] : cases) {
        Line line;
        if (busyMs > 0) {
            line.clock.scheduleInMs(5, [&line, ms = busyMs] { line.clock.busyMs(ms); });
        }
        const auto x = line.reading({{replyAtMs, kReading}});
        EXPECT_EQ(std::pair(x.reply.status, x.tookMs), std::pair(status, tookMs)) << what;
    }
}

TEST(LinkReceive, OneExchangeOnALineInStep) {
    // The answer and the reply made of it, and how long a reading after it takes, complete at
    // 10 ms: longer on a suspect line, a few character times or the usual answer time once that
    // is known.
    const std::tuple<Answer, Status, QByteArray, qint64, qint64> cases[] = {
        {{}, Missing, "", 100, 10 + kSettleMs},
        {{{10, kReading}}, Whole, kReading, 10, 10},
        {{{10, "A0x7F"}, {30, "3121\r\n"}}, Whole, kReading, 30, 10},
        {{{10, "A0x7F"}, {30, "312\r\n"}}, Short, "A0x7F312\r\n", 100, 10},
        {{{10, "A0x7F"}, {30, "3121\r\n??"}}, Overlong, kReading + "??", 30, 10 + kSettleMs},
        // Nothing else is expected: the reply is taken as soon as it is complete, and what
        // follows is dropped, as a stray, before the next command.
        {{{10, kReading}, {11, "?"}}, Whole, kReading, 10, kPromptLimitMs},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& [answer, status, text, tookMs, nextTookMs] = cases[i];
        Line line;
        EXPECT_EQ(line.reading(answer).outcome(), std::tuple(status, text, tookMs)) << i;
        line.clock.advanceMs(5);  // whatever else comes arrives before the next command
        const auto next = line.reading({{10, kReading}});
        EXPECT_EQ(std::pair(next.reply.status, next.tookMs), std::pair(Whole, nextTookMs)) << i;
    }
}

// The AC unit has answered in 10 ms as a rule, then misses its time-out; its answer reaches
// the line 50 ms into its next exchange (150 ms after its own command), which may bring the
// next answer as well.
TEST(LinkReceive, AnAnswerThatMissedItsTimeOutIsNeverTakenForTheNextOne) {
    // The answers to the missed command and to the next, in times from each, and the reply.
    const std::tuple<Answer, Answer, Status, QByteArray, qint64> cases[] = {
        // Only the owed answer comes: it counts, once the time-out has passed without another.
        {{{150, kEs1}}, {}, Whole, kEs1, 100},
        {{{150, kEs1}}, {{60, kEs2}}, Whole, kEs2, 60},
        {{}, {{50, kEs1 + kEs2}}, Whole, kEs2, 50},
        {{}, {{50, kEs1 + kEs2 + "?"}}, Overlong, kEs1 + kEs2 + "?", 50},  // more than a pair
        {{}, {{50, kEs1 + "A1t3"}, {55, "050\r\n"}}, Whole, kEs2, 55},
        {{{150, "A1t2"}, {160, "123\r\n"}}, {{70, kEs2}}, Whole, kEs2, 70},
        // The late one comes within the usual time, the next one after it.
        {{{105, kEs1}}, {{kUsualMs, kEs2}}, Whole, kEs2, kPromptLimitMs},
        {{{150, kEs1}}, {{60, "A1t30"}}, Overlong, kEs1 + "A1t30", 100},
        {{{150, "A1t21"}}, {}, Short, "A1t21", 100},
        // The late answer is lost for good: one in the usual time (the limit included)
        // answers this command.
        {{}, {{kUsualMs, kEs2}}, Whole, kEs2, kPromptLimitMs},
        {{}, {{kPromptLimitMs, kEs2}}, Whole, kEs2, kPromptLimitMs + kSettleMs},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& [missed, next, status, text, tookMs] = cases[i];
        Line line;
        line.teachUsualTime();
        ASSERT_EQ(line.es(missed).reply.status, Missing) << i;
        EXPECT_EQ(line.es(next).outcome(), std::tuple(status, text, tookMs)) << i;
        if (status == Whole) {  // nothing is owed any more: a reply is taken at once
            EXPECT_EQ(line.es({{40, kEs1}}).tookMs, 40) << i;
        }
    }
}

TEST(LinkReceive, AnotherUnitsMissedAnswerDoesNotMakeThisOneLateButItsOwnLeavesItOwed) {
    Line line;
    EXPECT_EQ(line.reading().reply.status, Missing);  // never comes
    // Something is still owed on the line: a complete reply waits a moment for company.
    EXPECT_EQ(line.es({{10, kEs1}}).outcome(), std::tuple(Whole, kEs1, 10 + kSettleMs));
    // The detector's late reading comes first, longer than the AC unit's answer.
    Line other;
    EXPECT_EQ(other.reading({{150, kReading}}).reply.status, Missing);
    EXPECT_EQ(other.es({{60, kEs1}}).got(), std::pair(Overlong, kReading));

    // A unit that missed one answer and then answers more slowly than before is not locked
    // out: one wait for the owed answer, and its replies count again at their own pace.
    Line slower;
    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(slower.es({{14, kEs1}}).reply.status, Whole);
    }
    ASSERT_EQ(slower.es().reply.status, Missing);
    qint64 tookMs = 0;
    for (int i = 0; i < 40; ++i) {
        const auto x = slower.es({{25, kEs2}});
        EXPECT_EQ(x.got(), std::pair(Whole, kEs2)) << i;
        tookMs += x.tookMs;
    }
    EXPECT_EQ(tookMs, 100 + 39 * 25);
}

TEST(LinkReceive, BytesWaitingBeforeASendAreDroppedAndMakeTheLineSuspect) {
    Line line;
    // Two stray bytes follow a complete reply; they wait in the port.
    EXPECT_EQ(line.reading({{kUsualMs, kReading}, {20, "??"}}).reply.status, Whole);
    line.clock.advanceMs(20);
    // They are not read in front of this reply, but a reply that looks complete now waits
    // as long as the unit's answers take at most, and a byte more spoils it.
    EXPECT_EQ(line.reading({{kUsualMs, kReading}, {12, "!"}}).outcome(),
              std::tuple(Overlong, kReading + "!", kPromptLimitMs));
    // That byte was a stray too; the line stays suspect for the horizon after it.
    const qint64 lastStrayAt = line.clock.nowMs();
    EXPECT_EQ(line.reading({{kUsualMs, kReading}}).outcome(),
              std::tuple(Whole, kReading, kPromptLimitMs));
    line.clock.advanceMs(lastStrayAt + LineGuard::horizonMs - kUsualMs - line.clock.nowMs());
    EXPECT_EQ(line.reading({{kUsualMs, kReading}}).tookMs, kPromptLimitMs);  // at the horizon
    // Past it the line is in step again: a complete reply is taken at once.
    EXPECT_EQ(line.reading({{kUsualMs, kReading}, {12, "!"}}).outcome(),
              std::tuple(Whole, kReading, kUsualMs));
}

// Replies whose three leading and two trailing characters are not the simulator's: only
// their length and timing tell junk from reply. Junk in front of a reply that comes in
// pieces makes it look whole; the bytes after it, before the next command or in front of
// the next reply, take it back.
TEST(LinkReceive, AReplyStandsOnlyWithTheLineFreeAroundIt) {
    const QByteArray other = "X001A2231~|";    // peak 1A, rate 22, ranges 3 and 1
    const QByteArray shifted = "NNX001A2231";  // would read peak 00, rate 1A, ranges 2, 2
    // The shifted reply's tail "~|" comes before the next command (and is dropped then), in
    // front of the next reply, or while the next command is still on the line, before the
    // unit can have heard it; the next reply then looks whole too, its own tail after it.
    const std::pair<Answer, Answer> cases[] = {
        {{{10, shifted}, {12, "~|"}}, {{10, other}}},
        {{{10, shifted}}, {{6, "~|"}, {10, other}}},
        {{{10, shifted}}, {{1, "~|"}, {10, other.left(9)}, {12, "~|"}}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        Line line;
        const auto taken = line.reading(cases[i].first);
        ASSERT_TRUE(taken.reply.whole()) << i;  // nothing says otherwise yet
        line.clock.advanceMs(5);
        const auto next = line.reading(cases[i].second);
        EXPECT_FALSE(line.link.stoodClear(taken.reply)) << i;
        // The next reply counts unless bytes came in front of it; either way it is taken
        // to its end, and the one after it stands.
        EXPECT_EQ(next.reply.whole(), i == 0) << i;
        line.clock.advanceMs(5);
        const auto third = line.reading({{10, other}});
        line.link.lookForStrays();
        EXPECT_TRUE(line.link.stoodClear(third.reply) && third.reply.text.toLatin1() == other) << i;
    }
}

// The noise discriminator's answer, as late as the AC unit's would be: the same length, so
// only the order of the line could tell them apart.
TEST(LinkReceive, AnotherUnitsLateAnswerIsNeverTakenForThisOnesOwn) {
    const QByteArray lateNoise = "N2g0010\r\n";
    const auto noiseMissed = [&lateNoise](Line& line, qint64 lateMs) {
        const auto g = line.exchange(UnitKind::NoiseDiscriminator, "g", kShortReadLength,
                                     {{lateMs, lateNoise}});
        ASSERT_EQ(g.reply.status, Missing);
    };
    // The AC unit's own answer does not come; the late one comes in its place.
    Line alone;
    alone.teachUsualTime();
    noiseMissed(alone, 150);
    EXPECT_NE(alone.es().reply.status, Whole);
    // The AC unit owes an answer too, and answers at once; the late one follows it.
    Line pair;
    pair.teachUsualTime();
    ASSERT_EQ(pair.es().reply.status, Missing);
    noiseMissed(pair, 100 + kUsualMs + 1);
    EXPECT_NE(pair.es({{kUsualMs, kEs1}}).got(), std::pair(Whole, lateNoise));
}

TEST(LinkReceive, AMissedAnswerIsWrittenOffTheHorizonAfterItsExchange) {
    // A reply later than usual waits the time-out for company as long as one is owed, and is
    // taken at once when the owed one is written off.
    constexpr qint64 missEndMs = kUsualMs + 100;
    for (const auto& [startMs, tookMs] : {std::pair{missEndMs, qint64{100}},
                                          {missEndMs + LineGuard::horizonMs, 100},
                                          {missEndMs + LineGuard::horizonMs + 1, 50}}) {
        Line line;
        line.teachUsualTime();
        EXPECT_EQ(line.es().reply.status, Missing);  // lost for good
        line.clock.advanceMs(startMs - line.clock.nowMs());
        EXPECT_EQ(line.es({{50, kEs2}}).outcome(), std::tuple(Whole, kEs2, tookMs)) << startMs;
    }
}

TEST(LinkReceive, TheSettleWaitIsThreeCharacterTimesAtTheLinesSpeedAndReceiveAnyJudgesLength) {
    // A byte 3 ms after a complete reply on a suspect line: inside three character times at
    // 9600 baud, outside them at 38400 (the wait is never under 2 ms).
    for (const auto& [speedIndex, status] : {std::pair{0, Overlong}, {2, Whole}}) {
        Line line;
        line.acknowledge(4);
        line.link.changeSpeed(speedIndex);
        line.port.deliverIn(1, "??");  // strays, dropped by the next send
        line.clock.advanceMs(2);
        EXPECT_EQ(line.reading({{10, kReading}, {13, "!"}}).reply.status, status) << speedIndex;
    }
    // Discovery's receive judges the length only.
    const std::pair<QByteArray, Status> cases[] = {{"", Missing},
                                                   {"A0vKR-5 SIM 0001", Short},
                                                   {"A0vKR-5 SIM 0001\r\n", Whole},
                                                   {"A0vKR-5 SIM 0001\r\nA", Overlong}};
    for (const auto& [answer, status] : cases) {
        Line line;
        line.script.push_back({{5, answer}});
        line.link.sendToAddress(0, QStringLiteral("v"));
        EXPECT_EQ(line.link.receiveAny(kIdentLength, kNormalTimeout).status, status)
            << answer.data();
    }
}

TEST(LinkSpeed, EveryUnitFoundIsToldAtTheOldSpeedThenThePortFollowsAndTheDetectorIsAsked) {
    // Whether the others were found, the speed asked for, and the frames written.
    const std::tuple<bool, int, std::vector<QString>> cases[] = {
        {true, 2, {"0 b5 9600", "1 b5 9600", "2 b5 9600", "0 v 38400"}},
        {false, 1, {"0 b4 9600", "0 v 19200"}},
        {true, 7, {"0 b5 9600", "1 b5 9600", "2 b5 9600", "0 v 38400"}},  // held to the table
    };
    for (const auto& [othersFound, index, frames] : cases) {
        SCOPED_TRACE(index);
        Line line;
        test::defaultBenchUnits(line.units, othersFound, othersFound);
        line.acknowledge(frames.size());
        line.link.changeSpeed(index);
        EXPECT_EQ(line.framesWritten(), frames);
        // Two waits of 200 ms before the port follows, one after, then the identify.
        const auto& written = line.port.written();
        EXPECT_GE(written.back().atMs - written[written.size() - 2].atMs, 500);
        // Every acknowledgement was collected and nothing is owed: a reply is taken at once.
        EXPECT_EQ(line.reading({{kUsualMs, kReading}}).tookMs, kUsualMs);
    }
}

}  // namespace
}  // namespace kr5
