// A serial port for tests whose replies arrive at given virtual times. A responder sees
// every frame written and schedules what the line sends back.
#pragma once

#include "platform/serialport.h"
#include "platform/virtualclock.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <map>
#include <vector>

namespace kr5::test {

class FakeSerialPort : public SerialPort {
  public:
    struct Written {
        qint64 atMs;
        QByteArray bytes;
        QString settings;  // the port's settings when it was written
    };

    explicit FakeSerialPort(VirtualClock& clock) : clock_(clock) {}

    // Ports that open; others fail like a missing device.
    std::vector<int> availablePorts{1, 2};
    // What problem() says after a failed open of a port listed here.
    std::map<int, PortProblem> openProblems;
    // Called for every write; may call deliverIn to answer.
    std::function<void(const QByteArray& frame)> responder;

    // Bytes that arrive on the line after delayMs of virtual time.
    void deliverIn(qint64 delayMs, const QByteArray& bytes);

    bool open(int port, const QString& settings) override;
    bool setSettings(const QString& settings) override;
    bool isOpen() const override { return open_; }
    PortProblem problem() const override { return problem_; }
    // What problem() reports; the tests set it.
    PortProblem problem_;
    void write(const QByteArray& bytes) override;
    QByteArray takeInput() override;
    void discardInput() override { input_.clear(); }
    void close() override { open_ = false; }

    const std::vector<Written>& written() const { return written_; }
    std::vector<QString> writtenCommands() const;  // commands without address and CR LF
    std::vector<int> openedPorts;
    int openPort() const { return port_; }

  private:
    VirtualClock& clock_;
    bool open_ = false;
    int port_ = 0;
    QString settings_;
    QByteArray input_;
    std::vector<Written> written_;
    quint64 generation_ = 0;  // bytes in flight to a port that was closed are lost
};

}  // namespace kr5::test
