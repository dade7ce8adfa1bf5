#include "fakeserialport.h"

#include <algorithm>

namespace kr5::test {

void FakeSerialPort::deliverIn(qint64 delayMs, const QByteArray& bytes) {
    const quint64 gen = generation_;
    clock_.scheduleInMs(delayMs, [this, gen, bytes] {
        if (open_ && gen == generation_) {
            input_ += bytes;
        }
    });
}

bool FakeSerialPort::open(int port, const QString& settings) {
    openedPorts.push_back(port);
    open_ = false;  // a new open starts by closing, as a real port does
    if (std::find(availablePorts.begin(), availablePorts.end(), port) == availablePorts.end() ||
        !LineSettings::parse(settings)) {
        if (const auto why = openProblems.find(port); why != openProblems.end()) {
            problem_ = why->second;
        }
        return false;
    }
    ++generation_;
    open_ = true;
    port_ = port;
    settings_ = settings;
    input_.clear();
    return true;
}

bool FakeSerialPort::setSettings(const QString& settings) {
    if (!open_ || !LineSettings::parse(settings)) {
        return false;
    }
    settings_ = settings;
    return true;
}

void FakeSerialPort::write(const QByteArray& bytes) {
    if (!open_) {
        return;
    }
    written_.push_back({clock_.nowMs(), bytes, settings_});
    if (responder) {
        responder(bytes);
    }
}

QByteArray FakeSerialPort::takeInput() {
    QByteArray out;
    out.swap(input_);
    return out;
}

std::vector<QString> FakeSerialPort::writtenCommands() const {
    std::vector<QString> out;
    for (const Written& w : written_) {
        const QByteArray command = w.bytes.mid(1);
        out.push_back(QString::fromLatin1(command.endsWith("\r\n") ? command.chopped(2) : command));
    }
    return out;
}

}  // namespace kr5::test
