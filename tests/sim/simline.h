// For the simulator's own tests: a bench on a simulated line in virtual time, asked and
// listened to, with the program's readers for an answer.
#pragma once

#include "link/reply.h"
#include "link/wire.h"
#include "support/simlink.h"

#include <QRegularExpression>

namespace kr5::sim::test {

constexpr int kKr = 0;  // the addresses of the default bench
constexpr int kAu = 1;
constexpr int kZn = 2;
constexpr double kByteUs = 1e7 / 9600;  // one byte on the line at 9600 baud

// The default bench without operators at the instruments and with the turnaround given.
inline Scenario quietBench(double turnaroundMs = 2.0) {
    Scenario s = Scenario::defaultBench();
    s.operatorActive = false;
    s.turnaroundMs = turnaroundMs;
    return s;
}

// The quiet bench without turnaround and with scenario lines, such as "fault AU late", added.
inline Scenario quietBenchWith(const char* lines) {
    return kr5::test::scenarioOf(QStringLiteral("operator off\nturnaround 0\n") +
                                 QLatin1String(lines));
}

inline QByteArray frameFor(int address, const QByteArray& command) {
    return QByteArray(1, static_cast<char>(0xC0 + address)) + command + "\r\n";
}

// What one of the program's strict readers (kr5::detectorFields and the like) finds in an
// answer the link took whole.
template <class Reader>
auto readWith(Reader reader, const QByteArray& answer) {
    return reader(kr5::Reply{kr5::Reply::Status::Whole, kr5::decodeLine(answer)});
}

// Whether an answer is, all of it, of the form of a regular expression.
inline bool matches(const QByteArray& answer, const char* pattern) {
    return QRegularExpression(QStringLiteral("\\A(?:%1)\\z").arg(QLatin1String(pattern)))
        .match(QString::fromLatin1(answer))
        .hasMatch();
}

struct SimLine {
    kr5::VirtualClock clock;
    Bench bench;
    SimPort port{bench, clock};
    double sentUs = 0.0;          // when the last ask wrote its frame
    double lastArrivalUs = -1.0;  // when the last byte collected arrived

    explicit SimLine(const Scenario& scenario, int portNumber = 1) : bench(scenario) {
        port.open(portNumber, QStringLiteral("9600,N,8,1"));
    }

    // Everything that arrives until waitMs have passed: a reply, and anything after it.
    QByteArray collectFor(qint64 waitMs) {
        const qint64 deadlineMs = clock.nowMs() + waitMs;
        QByteArray got;
        while (clock.nowMs() < deadlineMs) {
            clock.advanceToNext(deadlineMs);
            const QByteArray piece = port.takeInput();
            if (!piece.isEmpty()) {
                got += piece;
                lastArrivalUs = static_cast<double>(clock.nowUs());
            }
        }
        return got;
    }

    // Sends a command and collects everything that arrives within waitMs.
    QByteArray ask(int address, const QByteArray& command, qint64 waitMs = 100) {
        sentUs = static_cast<double>(clock.nowUs());
        lastArrivalUs = -1.0;
        port.write(frameFor(address, command));
        return collectFor(waitMs);
    }

    // The detector's reading now, by the program's reader; the test fails when it is refused.
    kr5::DetectorFields reading() {
        const auto fields = readWith(kr5::detectorFields, ask(kKr, "x"));
        EXPECT_TRUE(fields);
        return fields.value_or(kr5::DetectorFields{-1, -1, -1, -1});
    }

    void idle(qint64 ms) { clock.advanceMs(ms); }
};

}  // namespace kr5::sim::test
