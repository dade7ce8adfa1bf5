#include "qtserialport.h"

namespace kr5 {

QtSerialPort::QtSerialPort() {
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError e) { onError(e); });
}

QtSerialPort::~QtSerialPort() {
    close();
}

QString QtSerialPort::deviceFor(int port) {
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
        return false;
    }
    port_.setPortName(deviceFor(port));
    if (!port_.open(QIODevice::ReadWrite)) {
        return false;
    }
    // A pseudo-terminal refuses some ioctls (flow control on some kernels): only the
    // speed and frame matter here, so a refusal of the rest is not a failure.
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!apply(*parsed)) {
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

void QtSerialPort::write(const QByteArray& bytes) {
    if (port_.isOpen()) {
        port_.write(bytes);
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
    // The device went away (adapter pulled out, simulator ended): close once, quietly.
    // Later writes are dropped and receives run into their time-outs.
    if (error == QSerialPort::ResourceError && port_.isOpen()) {
        port_.close();
    }
}

}  // namespace kr5
