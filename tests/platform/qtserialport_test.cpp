// The Qt serial port against a pseudo-terminal pair: the address bytes and CR LF pass
// unchanged both ways, the speed can change while the port is open, and what the port
// does once its device goes away. The link's use of a port is tested on fakes in the
// link tests.
#include "platform/qtserialport.h"
#include "platform/qtclock.h"
#include "platform/qteventpump.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <cstdlib>

namespace kr5 {
namespace {

class PtyPair {
  public:
    PtyPair() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
            return;
        }
        termios t{};
        tcgetattr(master_, &t);
        cfmakeraw(&t);
        tcsetattr(master_, TCSANOW, &t);
        slave_ = QString::fromLocal8Bit(ptsname(master_));
    }
    ~PtyPair() { closeMaster(); }
    void closeMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }
    bool ok() const { return master_ >= 0 && !slave_.isEmpty(); }
    int fd() const { return master_; }
    const QString& slave() const { return slave_; }

    // Reads what the port sent until `count` bytes are there or 2 s have passed.
    QByteArray read(int count) const {
        QByteArray out;
        while (out.size() < count) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, 2000) <= 0) {
                break;
            }
            char buf[256];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0) {
                break;
            }
            out.append(buf, static_cast<int>(n));
        }
        return out;
    }

    speed_t speed() const {
        termios t{};
        tcgetattr(master_, &t);
        return cfgetospeed(&t);
    }

  private:
    int master_ = -1;
    QString slave_;
};

QByteArray allAddressBytes() {
    QByteArray b;
    for (int i = 0; i < 16; ++i) {
        b.append(static_cast<char>(0xC0 + i));
    }
    return b + "\r\n";
}

struct QtSerialPortFixture : ::testing::Test {
    PtyPair pty;
    QtClock clock;
    QtEventPump pump{clock};
    QtSerialPort port;

    void SetUp() override {
        ASSERT_TRUE(pty.ok());
        qputenv("KR5AU_PORT1", pty.slave().toLocal8Bit());
        ASSERT_TRUE(port.open(1, QStringLiteral("9600,N,8,1")));
    }
    void TearDown() override { qunsetenv("KR5AU_PORT1"); }

    QByteArray takeWithin(int count, qint64 ms) {
        const qint64 deadline = clock.nowMs() + ms;
        QByteArray got;
        while (got.size() < count && clock.nowMs() < deadline) {
            pump.waitForEvent(deadline);
            got += port.takeInput();
        }
        return got;
    }
};

TEST_F(QtSerialPortFixture, AddressBytesAndCrLfPassUnchangedBothWays) {
    EXPECT_EQ(QtSerialPort::deviceFor(1), pty.slave());
    EXPECT_EQ(pty.speed(), static_cast<speed_t>(B9600));

    port.write(allAddressBytes());
    EXPECT_EQ(pty.read(18), allAddressBytes());

    const QByteArray reply = allAddressBytes();
    ASSERT_EQ(::write(pty.fd(), reply.constData(), static_cast<size_t>(reply.size())),
              reply.size());
    EXPECT_EQ(takeWithin(18, 2000), reply);
}

TEST_F(QtSerialPortFixture, SettingsChangeWhileOpen) {
    ASSERT_TRUE(port.setSettings(QStringLiteral("38400,N,8,1")));
    EXPECT_EQ(pty.speed(), static_cast<speed_t>(B38400));
    EXPECT_TRUE(port.isOpen());
    port.write("\xC0x\r\n");
    EXPECT_EQ(pty.read(4), QByteArray("\xC0x\r\n"));
    EXPECT_FALSE(port.setSettings(QStringLiteral("nonsense")));
}

TEST_F(QtSerialPortFixture, DiscardDropsWhatIsWaiting) {
    ASSERT_EQ(::write(pty.fd(), "stale", 5), 5);
    takeWithin(1, 50);  // let some of it reach the port's buffer
    port.discardInput();
    ASSERT_EQ(::write(pty.fd(), "fresh", 5), 5);
    EXPECT_EQ(takeWithin(5, 2000), QByteArray("fresh"));
}

TEST_F(QtSerialPortFixture, AVanishedDeviceClosesThePortAtTheNextWrite) {
    pty.closeMaster();
    // Nothing comes from a device that is gone; whether the hang-up is noticed while
    // reading depends on the event dispatcher, so the port may still count as open here.
    EXPECT_TRUE(takeWithin(1, 100).isEmpty());
    // A write cannot reach it: the error closes the port at once, without a message.
    port.write("\xC0x\r\n");
    EXPECT_FALSE(port.isOpen());
    // From then on writes are dropped, there is never input, and the settings cannot be
    // applied, so the link's exchanges run into their time-outs.
    port.write("\xC0x\r\n");
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(port.takeInput().isEmpty());
    port.discardInput();
    EXPECT_FALSE(port.setSettings(QStringLiteral("9600,N,8,1")));
    // The device cannot be opened again while it is gone; another one can.
    EXPECT_FALSE(port.open(1, QStringLiteral("9600,N,8,1")));
    PtyPair other;
    ASSERT_TRUE(other.ok());
    qputenv("KR5AU_PORT1", other.slave().toLocal8Bit());
    ASSERT_TRUE(port.open(1, QStringLiteral("9600,N,8,1")));
    port.write("\xC0x\r\n");
    EXPECT_EQ(other.read(4), QByteArray("\xC0x\r\n"));
}

TEST(QtSerialPortOpen, AMissingDeviceIsRefused) {
    qputenv("KR5AU_PORT2", "/dev/does-not-exist-kr5");
    QtSerialPort port;
    EXPECT_FALSE(port.open(2, QStringLiteral("9600,N,8,1")));
    EXPECT_FALSE(port.isOpen());
    qunsetenv("KR5AU_PORT2");
}

}  // namespace
}  // namespace kr5
