#include "framelog.h"

namespace kr5::sim {

namespace {
constexpr int kMaxCommand = 32;

bool isAddressByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0xC0 && b <= 0xCF;
}
}  // namespace

void parseFrame(FrameRecord& frame) {
    frame.address = -1;
    frame.command.clear();
    const QByteArray& raw = frame.raw;
    if (raw.size() < 4 || !raw.endsWith("\r\n")) {
        return;
    }
    const qsizetype end = raw.size() - 2;  // the CR
    qsizetype at = end - 1;
    while (at >= 0 && !isAddressByte(raw[at])) {
        --at;
    }
    if (at < 0 || end - at - 1 < 1 || end - at - 1 > kMaxCommand) {
        return;
    }
    const QByteArray command = raw.mid(at + 1, end - at - 1);
    for (const char c : command) {
        if (c < 0x21 || c > 0x7E) {
            return;
        }
    }
    frame.address = static_cast<unsigned char>(raw[at]) - 0xC0;
    frame.command = command;
}

QString formatFrame(const FrameRecord& frame) {
    const QString head = QStringLiteral("%1 port%2 %3 ")
                             .arg(frame.atUs / 1000.0, 0, 'f', 3)
                             .arg(frame.port)
                             .arg(frame.baud);
    if (frame.address < 0) {
        return head + QStringLiteral("?? ") + QString::fromLatin1(frame.raw.toHex().toUpper());
    }
    return head + QString::number(0xC0 + frame.address, 16).toUpper() + QLatin1Char(' ') +
           QString::fromLatin1(frame.command);
}

}  // namespace kr5::sim
