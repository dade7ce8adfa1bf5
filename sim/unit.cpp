#include "unit.h"

#include <algorithm>

namespace kr5::sim {

namespace {

quint32 kindCode(UnitKind kind) {
    return static_cast<quint32>(kind) + 1;
}

QByteArray hexDigits(quint64 value, int digits) {
    return QByteArray::number(value, 16).toUpper().rightJustified(digits, '0');
}

}  // namespace

QByteArray hex2(int value) {
    return hexDigits(static_cast<quint64>(std::clamp(value, 0, 0xFF)), 2);
}

QByteArray hex4(quint64 value) {
    return hexDigits(std::min<quint64>(value, 0xFFFF), 4);
}

Unit::Unit(const UnitConfig& config, quint32 seed)
    : config_(config),
      random_(seed, {kindCode(config.kind), static_cast<quint32>(config.address),
                     static_cast<quint32>(config.port)}) {}

int Unit::baudAt(double atUs) {
    if (pendingBaud_ != 0 && atUs >= switchAtUs_) {
        baud_ = pendingBaud_;
        pendingBaud_ = 0;
    }
    return baud_;
}

void Unit::powerCycleAt(double atUs) {
    if (atUs <= poweredOnUs_) {
        return;
    }
    poweredOnUs_ = atUs;
    baud_ = kStartBaud;
    pendingBaud_ = 0;
    busyUntilUs_ = 0.0;
}

void Unit::switchSpeedAt(int baud, double atUs) {
    pendingBaud_ = baud;
    switchAtUs_ = atUs;
}

Answer Unit::handle(const QByteArray& command, double atUs) {
    if (command == "v") {
        return dataReply('v', config_.ident.toLatin1());
    }
    if (command == "b3" || command == "b4" || command == "b5") {
        Answer a = ack();
        a.switchToBaud = command == "b3" ? 9600 : command == "b4" ? 19200 : 38400;
        return a;
    }
    const std::optional<Answer> own = handleOwn(command, atUs);
    return own ? *own : refusal();
}

Answer Unit::dataReply(char letter, const QByteArray& payload) const {
    QByteArray bytes;
    bytes.reserve(payload.size() + 5);
    bytes += 'A';
    bytes += hexDigits(static_cast<quint64>(config_.address & 0x0F), 1);
    bytes += letter;
    bytes += payload;
    bytes += "\r\n";
    return Answer{bytes};
}

int Unit::settingDigit(const QByteArray& command, char letter, int maxDigit) {
    if (command.size() != 2 || command[0] != letter || command[1] < '0' ||
        command[1] > '0' + maxDigit) {
        return -1;
    }
    return command[1] - '0';
}

}  // namespace kr5::sim
