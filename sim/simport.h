// The serial port of the program on a simulated bench, in virtual time. What the program
// writes leaves at 10 bit times per byte at the port's speed; the frames reach the bench
// when their last byte is through, and the units' answers arrive byte by byte at the
// moments the bench gives. Every arrival is an action on the VirtualClock, so a program
// that waits through a VirtualWaiter wakes when a byte comes in.
//
// Bench time is the clock's time: the bench's second 0 is the clock's microsecond 0.
// The bench and the clock must outlive the port.
#pragma once

#include "bench.h"
#include "platform/serialport.h"
#include "platform/virtualclock.h"

#include <QByteArray>
#include <map>
#include <memory>

namespace kr5::sim {

class SimPort : public kr5::SerialPort {
  public:
    SimPort(Bench& bench, kr5::VirtualClock& clock);
    ~SimPort() override;
    SimPort(const SimPort&) = delete;
    SimPort& operator=(const SimPort&) = delete;

    // Fails for a port number the bench has no line on, or whose adapter is pulled out.
    bool open(int port, const QString& settings) override;
    bool setSettings(const QString& settings) override;
    bool isOpen() const override { return open_; }
    kr5::PortProblem problem() const override { return problem_; }
    void write(const QByteArray& bytes) override;
    QByteArray takeInput() override;
    void discardInput() override;
    void close() override;

    int portNumber() const { return port_; }
    int baud() const { return baud_; }
    // When the last byte written so far will have left the port.
    double txFreeUs() const { return txFreeUs_; }

    // Every frame the bench received, from any port.
    const std::vector<FrameRecord>& frameLog() const { return bench_.frames(); }

  private:
    struct Arrival {
        QByteArray bytes;
        int baud = 0;
        quint64 session = 0;
    };

    void sendToBench(int port, int baud, const QByteArray& bytes, double atUs);
    void collectArrived();
    void watchPresence();
    bool stillPlugged();

    Bench& bench_;
    kr5::VirtualClock& clock_;
    // Actions on the clock hold a weak reference, so that a port destroyed before they
    // run leaves them harmless.
    std::shared_ptr<SimPort*> self_;
    bool open_ = false;
    int port_ = 0;
    int baud_ = 9600;
    quint64 session_ = 0;  // counts opens: bytes meant for an earlier session are lost
    double txFreeUs_ = 0.0;
    std::multimap<qint64, Arrival> arriving_;
    QByteArray input_;
    kr5::PortProblem problem_;
};

}  // namespace kr5::sim
