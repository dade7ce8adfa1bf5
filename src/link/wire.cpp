#include "wire.h"

namespace kr5 {

namespace {

constexpr char16_t kHalfWidthFirst = 0xFF61;  // byte 0xA1
constexpr char16_t kHalfWidthLast = 0xFF9F;   // byte 0xDF
constexpr unsigned char kHalfWidthFirstByte = 0xA1;

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace

QChar addressChar(int index) {
    return QChar(static_cast<char16_t>(0xFF80 + (index & 0x0F)));
}

QByteArray encodeLine(QStringView text) {
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            out.append(static_cast<char>(u));
        } else if (u >= kHalfWidthFirst && u <= kHalfWidthLast) {
            out.append(static_cast<char>(kHalfWidthFirstByte + (u - kHalfWidthFirst)));
        } else {
            out.append('?');
        }
    }
    return out;
}

QString decodeLine(const QByteArray& bytes) {
    QString out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.append(QChar(static_cast<char16_t>(b)));
        } else if (b >= kHalfWidthFirstByte && b <= 0xDF) {
            out.append(QChar(static_cast<char16_t>(kHalfWidthFirst + (b - kHalfWidthFirstByte))));
        } else {
            if (isLeadByte(b) && i + 1 < bytes.size()) {
                ++i;  // a double-byte character counts once
            }
            out.append(QChar(QChar::ReplacementCharacter));
        }
    }
    return out;
}

QByteArray frame(QStringView address, QStringView command) {
    QByteArray out = encodeLine(address);
    out += encodeLine(command);
    out += "\r\n";
    return out;
}

QStringView field(QStringView reply, int pos, int len) {
    const qsizetype start = pos - 1;
    if (start < 0 || len <= 0 || start >= reply.size()) {
        return {};
    }
    return reply.mid(start, qMin<qsizetype>(len, reply.size() - start));
}

QString unitType(QStringView reply) {
    return field(reply, 4, 2).toString();
}

QString unitIdent(QStringView reply) {
    return field(reply, 4, 13).toString();
}

}  // namespace kr5
