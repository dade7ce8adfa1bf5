// The Qt serial port against a pseudo-terminal pair: bytes both ways, the speed, a vanished
// device, why an open failed, and which device a port names.
#include "platform/qtserialport.h"
#include "platform/fiberwaiter.h"
#include "platform/qtclock.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <cstdlib>

namespace kr5 {
namespace {

// The far end of the line: a pseudo-terminal whose device the port opens as port 1.
class FarEnd {
  public:
    FarEnd() : fd_(posix_openpt(O_RDWR | O_NOCTTY)) {
        termios t{};
        if (fd_ >= 0 && grantpt(fd_) == 0 && unlockpt(fd_) == 0 && tcgetattr(fd_, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(fd_, TCSANOW, &t);
            qputenv("KR5AU_PORT1", ptsname(fd_));
        }
    }
    ~FarEnd() { hangUp(); }
    void hangUp() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    bool send(const QByteArray& bytes) const {
        return ::write(fd_, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
    }
    // What the port sent, until count bytes are there or 2 s have passed.
    QByteArray read(int count) const {
        QByteArray out;
        char buf[256];
        pollfd p{fd_, POLLIN, 0};
        ssize_t n = 0;
        while (out.size() < count && poll(&p, 1, 2000) > 0 &&
               (n = ::read(fd_, buf, sizeof buf)) > 0) {
            out.append(buf, static_cast<int>(n));
        }
        return out;
    }
    speed_t speed() const {
        termios t{};
        tcgetattr(fd_, &t);
        return cfgetospeed(&t);
    }

  private:
    int fd_;
};

const QString k9600 = QStringLiteral("9600,N,8,1");
const QByteArray kFrame = "\xC0x\r\n";

struct QtSerialPortTest : ::testing::Test {
    FarEnd far;
    QtClock clock;
    FiberWaiter waiter{clock};
    QtSerialPort port;

    void SetUp() override { ASSERT_TRUE(port.open(1, k9600)); }
    void TearDown() override { qunsetenv("KR5AU_PORT1"); }

    QByteArray takeWithin(int count, qint64 ms) {
        const qint64 deadline = clock.nowMs() + ms;
        QByteArray got;
        // As the measurement takes its replies: the port's input wakes the waiting fiber.
        waiter.run([&] {
            while (got.size() < count && clock.nowMs() < deadline) {
                waiter.waitUntil(deadline);
                got += port.takeInput();
            }
        });
        if (got.size() == count) {
            EXPECT_LT(clock.nowMs(), deadline) << "woken by the input, not by the deadline";
        }
        return got;
    }
};

TEST_F(QtSerialPortTest, BytesPassBothWaysAtTheSpeedSetWaitingInputIsDroppedAndTheDeviceIsHeld) {
    const QByteArray all = QByteArray::fromHex("C0C1C2C3C4C5C6C7C8C9CACBCCCDCECF0D0A");
    EXPECT_EQ(far.speed(), static_cast<speed_t>(B9600));
    port.write(all);
    EXPECT_EQ(far.read(18), all);
    ASSERT_TRUE(far.send(all));
    EXPECT_EQ(takeWithin(18, 2000), all);

    ASSERT_TRUE(port.setSettings(QStringLiteral("38400,N,8,1")));
    EXPECT_EQ(far.speed(), static_cast<speed_t>(B38400));
    port.write(kFrame);
    EXPECT_EQ(far.read(4), kFrame);
    EXPECT_FALSE(port.setSettings(QStringLiteral("nonsense")));

    ASSERT_TRUE(far.send("stale"));
    // Events only, so that the bytes reach the port's buffer without being taken.
    waiter.run([&] {
        for (const qint64 until = clock.nowMs() + 50; clock.nowMs() < until;) {
            waiter.waitUntil(until);
        }
    });
    port.discardInput();
    ASSERT_TRUE(far.send("fresh"));
    EXPECT_EQ(takeWithin(5, 2000), QByteArray("fresh"));
    // QSerialPort reports a device that another program holds as a permission error, as it
    // does a device the user may not open: the two must still be told apart.
    QtSerialPort second;
    EXPECT_FALSE(second.open(1, k9600));
    EXPECT_EQ(std::pair(second.problem().kind, second.problem().device),
              std::pair(PortProblem::Kind::InUse, QString::fromLocal8Bit(qgetenv("KR5AU_PORT1"))));
    // The holder is undisturbed, and once it lets go the device is free.
    port.write(kFrame);
    EXPECT_EQ(far.read(4), kFrame);
    port.close();
    EXPECT_TRUE(second.open(1, k9600));
    EXPECT_EQ(second.problem().kind, PortProblem::Kind::None);
}

TEST_F(QtSerialPortTest, AVanishedDeviceClosesThePortAtTheNextWriteAndStaysGone) {
    far.hangUp();
    // Nothing comes from a device that is gone; whether the hang-up is noticed while
    // reading depends on the event dispatcher, so the port may still count as open here.
    EXPECT_TRUE(takeWithin(1, 100).isEmpty());
    // A write cannot reach it: the error closes the port at once, without a message. From
    // then on writes are dropped, there is never input, and the settings cannot be applied,
    // so the link's exchanges run into their time-outs.
    const QString device = QString::fromLocal8Bit(qgetenv("KR5AU_PORT1"));
    EXPECT_EQ(port.problem().kind, PortProblem::Kind::None);
    port.write(kFrame);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.problem().kind, PortProblem::Kind::Lost);
    EXPECT_EQ(port.problem().device, device);
    port.write(kFrame);
    port.discardInput();
    EXPECT_TRUE(port.takeInput().isEmpty());
    EXPECT_FALSE(port.setSettings(k9600));
    EXPECT_FALSE(port.isOpen());
    // The device cannot be opened again while it is gone, nor one that never was; another
    // one can.
    EXPECT_FALSE(port.open(1, k9600));
    EXPECT_EQ(port.problem().kind, PortProblem::Kind::Missing);
    qputenv("KR5AU_PORT2", "/dev/does-not-exist-kr5");
    EXPECT_FALSE(port.open(2, k9600));
    EXPECT_EQ(port.problem().kind, PortProblem::Kind::Missing);
    EXPECT_EQ(port.problem().device, QStringLiteral("/dev/does-not-exist-kr5"));
    qunsetenv("KR5AU_PORT2");
    FarEnd other;
    ASSERT_TRUE(port.open(1, k9600));
    EXPECT_EQ(port.problem().kind, PortProblem::Kind::None);
    port.write(kFrame);
    EXPECT_EQ(other.read(4), kFrame);
}

// A write the driver refuses is the device gone too, as the hang-up above is.
TEST_F(QtSerialPortTest, AWriteErrorCountsAsThePortLost) {
    emit static_cast<QSerialPort&>(port.device()).errorOccurred(QSerialPort::WriteError);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.problem().kind, PortProblem::Kind::Lost);
}

// The first trouble with a USB adapter on Linux: it belongs to a group the user is not
// in. Root may open anything, so then the open is tried by a child that gave up root.
TEST_F(QtSerialPortTest, ADeviceTheUserMayNotOpenNamesTheGroupThatOwnsIt) {
    port.close();
    const QByteArray device = qgetenv("KR5AU_PORT1");
    const bool root = geteuid() == 0;
    if (root) {
        const group* dialout = getgrnam("dialout");
        ASSERT_EQ(chown(device.constData(), 0, dialout ? dialout->gr_gid : 5), 0);
        ASSERT_EQ(chmod(device.constData(), 0660), 0);
    } else {
        ASSERT_EQ(chmod(device.constData(), 0), 0);
    }
    struct stat info {};
    ASSERT_EQ(stat(device.constData(), &info), 0);
    const group* owner = getgrgid(info.st_gid);
    ASSERT_NE(owner, nullptr);
    const QString ownerName = QString::fromLocal8Bit(owner->gr_name);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {  // ends with 0, or 2 to 4 for what went wrong
        const uid_t nobody = 65534;
        if (root && (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)) {
            _exit(2);
        }
        QtSerialPort denied;
        if (denied.open(1, k9600) || denied.problem().kind != PortProblem::Kind::PermissionDenied) {
            _exit(3);
        }
        _exit(denied.problem().detail == ownerName ? 0 : 4);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "3: not refused as denied, 4: the group not named " << ownerName.toStdString();
}

// The device named by the option, else by KR5AU_PORTn, else the system's own for the port.
TEST(QtSerialPortDevice, TheOptionTheVariableOrTheSystemsName) {
    qunsetenv("KR5AU_PORT1");
    qunsetenv("KR5AU_PORT2");
    QtSerialPort port;
#ifdef Q_OS_WIN
    const QStringList system{"COM1", "COM2"};
#else
    const QStringList system{"/dev/ttyS0", "/dev/ttyS1"};
#endif
    EXPECT_EQ(QStringList({port.deviceFor(1), port.deviceFor(2)}), system);
    qputenv("KR5AU_PORT1", "/tmp/variable-port");
    port.setDevice(1, QStringLiteral("/tmp/option-port"));
    EXPECT_EQ(port.deviceFor(1), QStringLiteral("/tmp/option-port"));
    port.setDevice(1, QString());  // an empty name gives the choice back
    EXPECT_EQ(port.deviceFor(1), QStringLiteral("/tmp/variable-port"));
    qunsetenv("KR5AU_PORT1");
}

}  // namespace
}  // namespace kr5
