// The serial line to the units: opening and closing the port, sending a command to a unit,
// collecting its reply as a value, the speed change carried out on the units and the port
// in step, and the orderly release of the line at shutdown.
//
// Only the acquisition loop (and what it calls) talks to the line, and every command is
// followed by the collection of its reply, so commands and replies alternate. Input that
// is waiting when a command goes out is dropped first: it can only be a late answer.
//
// A reply that came whole may still have had bytes in front of it that arrived in
// pieces; they show only as bytes after its end. So a whole reply stands only once the
// line was seen free of such bytes up to the next command, and the next reply came with
// nothing in front of it: stoodClear says so after the next exchange. Bytes that come
// before a unit can have heard the whole command are in front of its reply by their
// timing alone; the reply is then taken to its end, so that the line is clean after it,
// and does not count.
#pragma once

#include "core/timing.h"
#include "link/answertimes.h"
#include "link/framelog.h"
#include "link/lineguard.h"
#include "link/reply.h"
#include "link/units.h"
#include "platform/clock.h"
#include "platform/serialport.h"
#include "platform/waiter.h"

#include <QString>
#include <array>
#include <optional>

namespace kr5 {

struct SpeedSetting {
    const char* settings;  // port settings text
    const char* command;   // command that moves every unit to this speed
    int baud;
};

inline constexpr std::array<SpeedSetting, 3> kSpeeds{{
    {"9600,N,8,1", "b3", 9600},
    {"19200,N,8,1", "b4", 19200},
    {"38400,N,8,1", "b5", 38400},
}};

// Reply lengths, in characters.
inline constexpr int kAckLength = 3;        // acknowledgement of a setting command
inline constexpr int kShortReadLength = 9;  // "t", "g" and a gate count
inline constexpr int kMeasureLength = 11;   // "x"
inline constexpr int kIdentLength = 18;     // "v"
// The usual time-out value; a time-out value t allows t / 2 milliseconds.
inline constexpr int kNormalTimeout = 200;

class Link {
  public:
    Link(const UnitsOnLine& units, SerialPort& port, Clock& clock, Waiter& waiter, Timing& timing);

    // Opens port 1 or 2 at 9600 baud. False when it cannot be opened.
    bool openPort(int port);
    void closePort();

    // The port was open and went away (adapter pulled, device gone, a write failed).
    bool portLost() const { return opened_ && !port_.isOpen(); }
    // What went wrong with the port, for the operator.
    PortProblem portProblem() const { return port_.problem(); }

    // Sets the port alone to speed index 0..2, the units left as they are (to find units
    // that may be at either speed after the port came back).
    void setPortSpeed(int index);

    // Asks a unit to identify itself; true when it answers as a unit of its kind.
    bool identifies(UnitKind unit);

    // Sends a command to a unit that was found.
    void send(UnitKind unit, const QString& command);
    // Collects the reply of that unit to the command just sent: len characters within
    // the time-out (timeout / 2 ms).
    Reply receive(UnitKind unit, int len, int timeout);
    // Sends a setting command and collects its short acknowledgement, which says nothing
    // the program uses.
    void command(UnitKind unit, const QString& command);

    // False when bytes came after the reply (before the next command went out, or in
    // front of the next reply): the reply then did not count after all. Final once the
    // next exchange is over, or after lookForStrays.
    bool stoodClear(const Reply& reply) const;
    // Takes what waits on the line now, as the next command does: bytes there spoil the
    // last reply. True when there were any.
    bool lookForStrays();

    // Discovery asks every address before any unit is known: these neither know nor care
    // which unit answers.
    void sendToAddress(int index, const QString& command);
    Reply receiveAny(int len, int timeout);
    // Drops what arrives until nothing has come for the time-out (timeout / 2 ms): the
    // tail of an answer that came in pieces is then through. A line that never goes
    // quiet is given up on after kQuietLimitMs.
    void awaitQuiet(int timeout);
    static constexpr qint64 kQuietLimitMs = 1000;

    // Moves every found unit, then the port, to speed index 0..2, and resynchronises
    // the line with an identify to the detector.
    void changeSpeed(int index);

    // Releases the line at the end of the program: remote off on the detector and the
    // noise discriminator, every unit and the port back to 9600 baud, port closed. With
    // the port lost, it only forgets it.
    void shutdown();

    // Told of every frame sent and of what came back for each reply (the frame log);
    // none when null.
    void setFrameListener(FrameListener* listener) { frames_ = listener; }

    // Milliseconds that a time-out value allows.
    static qint64 timeoutMs(int timeout) { return timeout / 2; }

  private:
    // One exchange as receive judges it.
    struct Exchange {
        UnitKind unit;
        int len;
        int timeout;
        qint64 sentMs;
        qint64 deadlineMs;
        bool owing;        // the unit missed an answer lately, which may still come
        bool othersOwing;  // so did another unit
        std::optional<qint64> promptLimit;
    };

    void sendFrame(int address, const QString& command);
    QString collect(int len, qint64 deadlineMs);
    void collectUntil(QString& buf, qint64 deadlineMs);
    qint64 settleDeadline(const Exchange& x) const;
    Reply judgeWhole(const Exchange& x, QString buf);
    Reply ambiguousReply(const Exchange& x, const QString& buf);
    std::optional<Reply> latePair(const Exchange& x, QString& buf);
    Reply collectReply(UnitKind unit, int len, int timeout);
    Reply afterEarlyBytes(const Exchange& x, QString buf);
    QString takeLine();
    void tellReceived();
    void spoil(quint64 serial);

    const UnitsOnLine& units_;
    SerialPort& port_;
    Clock& clock_;
    Waiter& waiter_;
    Timing& timing_;
    LineGuard guard_;
    AnswerTimes answerTimes_;
    qint64 lastSendMs_ = 0;
    qint64 earliestReplyMs_ = 0;  // no answer to the last command can start before this
    int earlyBytes_ = 0;          // bytes of the exchange that came before then
    // A wait that comes back this much after its deadline means the computer stood still;
    // the line is then looked at for as long again before a reply counts as missing.
    static constexpr qint64 kStallMs = 20;
    bool stalled_ = false;  // the reply being collected waited through a stall
    bool opened_ = false;   // openPort succeeded and closePort was not called since
    int baud_ = kSpeeds[0].baud;
    int portNumber_ = 0;
    FrameListener* frames_ = nullptr;
    QByteArray heard_;                  // taken from the line since the listener was last told
    quint64 lastSerial_ = 0;            // of the last reply collected
    std::array<quint64, 8> spoiled_{};  // the latest replies found spoiled, newest at [0]
};

}  // namespace kr5
