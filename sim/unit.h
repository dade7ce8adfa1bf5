// What every unit on the line has in common: its address, port and identification, its
// own line speed, the identify and speed commands, and the layout of its replies.
//
// Reply layout (the program reads only the payload, so the rest is this simulator's
// choice, modelled on a plain instrument protocol):
//   data reply:      'A', the address index as one hex digit, the command letter,
//                    the payload, CR, LF            e.g. "A0x3A1504\r\n" (11 characters)
//   acknowledgement: 'A', CR, LF                    a setting command was carried out
//   refusal:         'N', CR, LF                    a command the unit does not know, or
//                                                   a digit out of its range
#pragma once

#include "random.h"
#include "scenario.h"

#include <QByteArray>
#include <optional>

namespace kr5::sim {

// What a unit does with one command.
struct Answer {
    QByteArray bytes;      // the reply; empty: nothing to send
    double holdUs = 0.0;   // time the unit is busy before the reply may leave (a gate)
    int switchToBaud = 0;  // line speed the unit moves to once the reply has left
};

class Unit {
  public:
    static constexpr int kStartBaud = 9600;

    Unit(const UnitConfig& config, quint32 seed);
    virtual ~Unit() = default;
    Unit(const Unit&) = delete;
    Unit& operator=(const Unit&) = delete;

    const UnitConfig& config() const { return config_; }
    UnitKind kind() const { return config_.kind; }
    int address() const { return config_.address; }
    int port() const { return config_.port; }
    const QString& ident() const { return config_.ident; }

    // The unit's line speed at atUs, after any switch that has come due.
    int baudAt(double atUs);
    // Moves to another speed once atUs is reached (after the acknowledgement has left).
    void switchSpeedAt(int baud, double atUs);

    // Switched off and on at atUs: back at its start speed. Only the first call for a
    // moment counts.
    void powerCycleAt(double atUs);

    // A unit that counts a gate hears nothing else until the count has gone out.
    bool busyAt(double atUs) const { return atUs < busyUntilUs_; }
    void setBusyUntil(double atUs) { busyUntilUs_ = atUs; }

    // The answer to a command that reached this unit at its own speed.
    Answer handle(const QByteArray& command, double atUs);

  protected:
    // The commands of the unit's kind; nullopt for a command it does not know.
    virtual std::optional<Answer> handleOwn(const QByteArray& command, double atUs) = 0;

    Answer dataReply(char letter, const QByteArray& payload) const;
    static Answer ack() { return Answer{QByteArray("A\r\n")}; }
    static Answer refusal() { return Answer{QByteArray("N\r\n")}; }

    // The digit of a one-digit setting command such as "a3": 0..maxDigit, or -1 when the
    // command is anything else.
    static int settingDigit(const QByteArray& command, char letter, int maxDigit);

    SimRandom& random() { return random_; }

  private:
    UnitConfig config_;
    SimRandom random_;
    int baud_ = kStartBaud;
    int pendingBaud_ = 0;
    double switchAtUs_ = 0.0;
    double busyUntilUs_ = 0.0;
    double poweredOnUs_ = 0.0;
};

// Two uppercase hex digits (00..FF) and four (0000..FFFF) of a value held in range.
QByteArray hex2(int value);
QByteArray hex4(quint64 value);

}  // namespace kr5::sim
