// The serial line on QSerialPort. Port N is "COMn" on Windows and /dev/ttyS<n-1> elsewhere;
// another device for port 1 or 2 (a pseudo-terminal of the instrument simulator, a USB
// adapter) is named on the command line (setDevice) or, failing that, by the environment
// variables KR5AU_PORT1 and KR5AU_PORT2.
#pragma once

#include "serialport.h"

#include <QSerialPort>
#include <map>

namespace kr5 {

class QtSerialPort : public SerialPort {
  public:
    QtSerialPort();
    ~QtSerialPort() override;

    // Port 1 or 2 is this device from now on, whatever the environment says; an empty
    // name gives the choice back to it.
    void setDevice(int port, const QString& device);
    // The device that port number `port` stands for on this machine.
    QString deviceFor(int port) const;

    bool open(int port, const QString& settings) override;
    bool setSettings(const QString& settings) override;
    bool isOpen() const override { return port_.isOpen(); }
    PortProblem problem() const override { return problem_; }
    void write(const QByteArray& bytes) override;
    QByteArray takeInput() override;
    void discardInput() override;
    void close() override;

    // The device object, to be moved to the thread that uses the line.
    QObject& device() { return port_; }

  private:
    bool apply(const LineSettings& s);
    void onError(QSerialPort::SerialPortError error);
    // Writes what the driver takes at once; returns how many bytes that was.
    qsizetype writeToDriver(const QByteArray& bytes);

    QSerialPort port_;
    PortProblem problem_;
    std::map<int, QString> devices_;  // set by setDevice
};

}  // namespace kr5
