// The serial line to the units: the address table, opening and closing the port, the
// speed change carried out on the units and the port in step, the three send routines,
// the receive routine and the orderly release of the line at shutdown.
//
// Only the acquisition loop (and the routines it calls) talks to the line, so a reply on
// the line always belongs to the last command sent.
#pragma once

#include "app/globals.h"
#include "app/timing.h"
#include "link/wire.h"
#include "platform/clock.h"
#include "platform/eventpump.h"
#include "platform/serialport.h"

#include <QString>
#include <array>

namespace kr5 {

struct SpeedSetting {
    const char* settings;  // port settings text
    const char* command;   // command that moves every unit to this speed
};

inline constexpr std::array<SpeedSetting, 3> speedtbl{{
    {"9600,N,8,1", "b3"},
    {"19200,N,8,1", "b4"},
    {"38400,N,8,1", "b5"},
}};

inline constexpr int replyShort = 3;   // acknowledgement of a setting command
inline constexpr int replyRead = 9;    // "t", "g" and a gate count
inline constexpr int replyX = 11;      // "x"
inline constexpr int replyIdent = 18;  // "v"
inline constexpr int timeoutNormal = 200;

class Link {
  public:
    Link(Globals& g, SerialPort& port, Clock& clock, EventPump& pump, Timing& timing);

    // Fills the address table and clears the AC unit's address.
    void setadr();

    // Opens port 1 or 2 at "9600,N,8,1". False when it cannot be opened.
    bool openport(int port);
    void closeport();

    // Moves every found unit, then the port, to speed index 0..2, and resynchronises
    // the line with an identify to the detector.
    void setspeed(int index);

    // Sends a command to the detector, the AC unit or the noise discriminator.
    void krout(const QString& cmd) { send(g_.kradr, cmd); }
    void acuout(const QString& cmd) { send(g_.acuadr, cmd); }
    void znout(const QString& cmd) { send(g_.znadr, cmd); }

    // Sends to the unit at an address index (discovery probes every index).
    void sendTo(int index, const QString& cmd) { send(QString(addressChar(index)), cmd); }

    // Collects characters into rxbuf until there are len of them or the time-out has run
    // out. A time-out value t allows t / 2 milliseconds (200 gives 100 ms). Returns the
    // number of polling passes used.
    qint32 receive(qint32 len, qint32 timeout);

    // Sends cmd to the detector (or the noise discriminator) and collects its short
    // acknowledgement, which is not examined.
    void krcommand(const QString& cmd);
    void zncommand(const QString& cmd);

    // Releases the line at the end of the program: remote off on the detector and the
    // noise discriminator, every unit and the port back to 9600 baud, port closed.
    void shutdown();

    // Milliseconds that a time-out value allows.
    static qint64 timeoutMs(qint32 timeout) { return timeout / 2; }

  private:
    void send(const QString& address, const QString& cmd);

    Globals& g_;
    SerialPort& port_;
    Clock& clock_;
    EventPump& pump_;
    Timing& timing_;
};

}  // namespace kr5
