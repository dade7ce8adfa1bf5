// The one serial line to the instruments, as the link uses it: open a numbered port with
// a settings text, change the settings while open, write bytes, take what has arrived.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace kr5 {

// A settings text such as "9600,N,8,1": baud rate, parity, data bits, stop bits.
struct LineSettings {
    int baud = 9600;
    char parity = 'N';
    int dataBits = 8;
    int stopBits = 1;

    static std::optional<LineSettings> parse(const QString& text);
};

// What went wrong with a port: why its last open failed, or why the open port was lost.
struct PortProblem {
    enum class Kind {
        None,
        Missing,           // no such device
        PermissionDenied,  // the user may not open it (detail: the group that owns it)
        InUse,             // another program holds it
        Lost,              // it was open and went away (adapter pulled, device gone)
        Other,
    };
    Kind kind = Kind::None;
    QString device;  // the device the port number stands for ("/dev/ttyUSB0")
    QString detail;  // the system's own words, or the group that owns the device
};

class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // Opens port number `port` (1, 2, ...) with a settings text. False on any failure
    // (no such device, in use, no permission, bad settings); never throws.
    virtual bool open(int port, const QString& settings) = 0;

    // Changes the line settings; the port stays open. False when not applied.
    virtual bool setSettings(const QString& settings) = 0;

    // False after a close, and after the port was lost: a device that goes away (or a
    // write that fails) closes the port, and problem() then says Lost.
    virtual bool isOpen() const = 0;

    // Why the last open failed or the port was lost; Kind::None while all is well.
    virtual PortProblem problem() const = 0;

    // Sends the bytes in one piece. Silently dropped when the port is not open.
    virtual void write(const QByteArray& bytes) = 0;

    // Everything received so far; empties the input buffer.
    virtual QByteArray takeInput() = 0;

    // Drops whatever is waiting in the input, including what the driver still holds.
    virtual void discardInput() = 0;

    virtual void close() = 0;
};

}  // namespace kr5
