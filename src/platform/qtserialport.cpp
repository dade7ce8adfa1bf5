#include "qtserialport.h"

#include "fiberwaiter.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace kr5 {

namespace {

#ifdef Q_OS_UNIX
// The group that owns the device, by name when the system knows one.
QString owningGroup(const QString& device) {
    struct stat info {};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0) {
        return {};
    }
    const group* owner = ::getgrgid(info.st_gid);
    return owner ? QString::fromLocal8Bit(owner->gr_name) : QString::number(info.st_gid);
}
#endif

// Why QSerialPort could not open the device. It reports a device that another program
// holds (its lock file, or exclusive use taken by the driver) as a permission error too,
// so the device's own access rights tell the two apart.
PortProblem openProblem(const QString& device, const QSerialPort& port) {
    PortProblem p{PortProblem::Kind::Other, device, port.errorString()};
    switch (port.error()) {
        case QSerialPort::DeviceNotFoundError:
            p.kind = PortProblem::Kind::Missing;
            break;
        case QSerialPort::PermissionError:
#ifdef Q_OS_UNIX
            if (::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0) {
                p.kind = PortProblem::Kind::PermissionDenied;
                p.detail = owningGroup(device);
            } else {
                p.kind = PortProblem::Kind::InUse;
            }
#else
            // Windows opens serial devices exclusively: "access denied" is another holder.
            p.kind = PortProblem::Kind::InUse;
#endif
            break;
        default:
            break;
    }
    return p;
}

}  // namespace

QtSerialPort::QtSerialPort() {
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError e) {
                         onError(e);
                         FiberWaiter::wakeThisThread();
                     });
    // The measurement waits on its own thread for what comes in.
    QObject::connect(&port_, &QSerialPort::readyRead, &port_,
                     [] { FiberWaiter::wakeThisThread(); });
}

QtSerialPort::~QtSerialPort() {
    close();
}

void QtSerialPort::setDevice(int port, const QString& device) {
    devices_[port] = device;
}

QString QtSerialPort::deviceFor(int port) const {
    if (const auto named = devices_.find(port);
        named != devices_.end() && !named->second.isEmpty()) {
        return named->second;
    }
    const QByteArray override = qgetenv(QStringLiteral("KR5AU_PORT%1").arg(port).toLatin1());
    if (!override.isEmpty()) {
        return QString::fromLocal8Bit(override);
    }
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}

bool QtSerialPort::open(int port, const QString& settings) {
    close();
    const auto parsed = LineSettings::parse(settings);
    if (port < 1 || !parsed) {
        problem_ = {PortProblem::Kind::Other, QString(),
                    QStringLiteral("no such port or settings")};
        return false;
    }
    const QString device = deviceFor(port);
    port_.setPortName(device);
    if (!port_.open(QIODevice::ReadWrite)) {
        problem_ = openProblem(device, port_);
        return false;
    }
    problem_ = {PortProblem::Kind::None, device, QString()};
    // A pseudo-terminal refuses some ioctls (flow control on some kernels): only the
    // speed and frame matter here, so a refusal of the rest is not a failure.
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!apply(*parsed)) {
        problem_ = {PortProblem::Kind::Other, device, port_.errorString()};
        close();
        return false;
    }
    port_.clear(QSerialPort::AllDirections);
    port_.clearError();
    return true;
}

bool QtSerialPort::apply(const LineSettings& s) {
    const QSerialPort::Parity parity = s.parity == 'E'   ? QSerialPort::EvenParity
                                       : s.parity == 'O' ? QSerialPort::OddParity
                                       : s.parity == 'M' ? QSerialPort::MarkParity
                                       : s.parity == 'S' ? QSerialPort::SpaceParity
                                                         : QSerialPort::NoParity;
    return port_.setBaudRate(s.baud) &&
           port_.setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits)) &&
           port_.setParity(parity) &&
           port_.setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
}

bool QtSerialPort::setSettings(const QString& settings) {
    const auto parsed = LineSettings::parse(settings);
    return port_.isOpen() && parsed && apply(*parsed);
}

qsizetype QtSerialPort::writeToDriver(const QByteArray& bytes) {
    qsizetype done = 0;
#ifdef Q_OS_UNIX
    // Straight to the driver when nothing waits in QSerialPort's own buffer: a write
    // through it also watches the device for room to write, which costs the event loop
    // two more passes per frame, and a frame of a few bytes always has room.
    if (port_.bytesToWrite() == 0) {
        while (done < bytes.size()) {
            const ssize_t n = ::write(static_cast<int>(port_.handle()), bytes.constData() + done,
                                      static_cast<size_t>(bytes.size() - done));
            if (n > 0) {
                done += n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                break;
            }
        }
    }
#endif
    return done;
}

void QtSerialPort::write(const QByteArray& bytes) {
    if (!port_.isOpen()) {
        return;
    }
    const qsizetype done = writeToDriver(bytes);
    if (done < bytes.size()) {
        // The driver's buffer is full, or the device failed: QSerialPort takes the rest
        // and reports a failure as it always does.
        port_.write(bytes.mid(done));
        // Hand the frame to the driver now rather than at the next pass of the event
        // loop: the reply time starts from here.
        port_.flush();
    }
}

QByteArray QtSerialPort::takeInput() {
    return port_.isOpen() ? port_.readAll() : QByteArray();
}

void QtSerialPort::discardInput() {
    if (port_.isOpen()) {
        port_.readAll();
        port_.clear(QSerialPort::Input);
    }
}

void QtSerialPort::close() {
    if (port_.isOpen()) {
        port_.close();
    }
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    // The device went away (adapter pulled out, simulator ended), or a frame could not be
    // written to it: close once, quietly, and let the link see the port lost. Later writes
    // are dropped and receives run into their time-outs.
    const bool gone = error == QSerialPort::ResourceError || error == QSerialPort::WriteError;
    if (gone && port_.isOpen()) {
        // The device stays as the open named it.
        problem_.kind = PortProblem::Kind::Lost;
        problem_.detail = port_.errorString();
        port_.close();
    }
}

}  // namespace kr5
