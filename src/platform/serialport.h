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

class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // Opens port number `port` (1, 2, ...) with a settings text. False on any failure
    // (no such device, in use, no permission, bad settings); never throws.
    virtual bool open(int port, const QString& settings) = 0;

    // Changes the line settings; the port stays open. False when not applied.
    virtual bool setSettings(const QString& settings) = 0;

    virtual bool isOpen() const = 0;

    // Sends the bytes in one piece. Silently dropped when the port is not open.
    virtual void write(const QByteArray& bytes) = 0;

    // Everything received so far; empties the input buffer.
    virtual QByteArray takeInput() = 0;

    // Drops whatever is waiting in the input, including what the driver still holds.
    virtual void discardInput() = 0;

    virtual void close() = 0;
};

}  // namespace kr5
