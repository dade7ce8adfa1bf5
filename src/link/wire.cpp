#include "wire.h"

#include "app/numeric.h"

#include <cmath>

namespace kr5 {

namespace {

constexpr char16_t kHalfWidthFirst = 0xFF61;  // byte 0xA1
constexpr char16_t kHalfWidthLast = 0xFF9F;   // byte 0xDF
constexpr unsigned char kHalfWidthFirstByte = 0xA1;

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') {
        return u - '0';
    }
    if (u >= 'A' && u <= 'F') {
        return u - 'A' + 10;
    }
    if (u >= 'a' && u <= 'f') {
        return u - 'a' + 10;
    }
    return -1;
}

bool isDigit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
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

quint32 hexField(QStringView reply, int pos, int len) {
    quint32 value = 0;
    for (const QChar c : field(reply, pos, len)) {
        const int d = hexDigit(c);
        if (d < 0) {
            break;
        }
        value = value * 16 + static_cast<quint32>(d);
    }
    return value;
}

int digitField(QStringView reply, int pos) {
    const QStringView f = field(reply, pos, 1);
    return !f.isEmpty() && isDigit(f[0]) ? f[0].unicode() - '0' : 0;
}

double decimalField(QStringView reply, int pos, int len) {
    const QStringView f = field(reply, pos, len);
    qsizetype i = 0;
    while (i < f.size() && f[i] == QLatin1Char(' ')) {
        ++i;
    }
    double sign = 1.0;
    if (i < f.size() && (f[i] == QLatin1Char('-') || f[i] == QLatin1Char('+'))) {
        sign = f[i] == QLatin1Char('-') ? -1.0 : 1.0;
        ++i;
    }
    double value = 0.0;
    for (; i < f.size() && isDigit(f[i]); ++i) {
        value = value * 10.0 + (f[i].unicode() - '0');
    }
    if (i < f.size() && f[i] == QLatin1Char('.')) {
        double scale = 0.1;
        for (++i; i < f.size() && isDigit(f[i]); ++i, scale /= 10.0) {
            value += (f[i].unicode() - '0') * scale;
        }
    }
    if (i + 1 < f.size() && QStringLiteral("eEdD").contains(f[i])) {
        qsizetype j = i + 1;
        int expSign = 1;
        if (f[j] == QLatin1Char('-') || f[j] == QLatin1Char('+')) {
            expSign = f[j] == QLatin1Char('-') ? -1 : 1;
            ++j;
        }
        int exponent = 0;
        for (; j < f.size() && isDigit(f[j]) && exponent < 400; ++j) {
            exponent = exponent * 10 + (f[j].unicode() - '0');
        }
        value *= std::pow(10.0, expSign * exponent);
    }
    return std::isfinite(value) ? sign * value : 0.0;
}

double acudec(QStringView reply, double& acuval) {
    quint32 code = hexField(reply, 4, 1);
    if (code >= 8) {
        code -= 8;  // the bit of value 8 is a flag of the unit that is not used here
    }
    const double m = decimalField(reply, 5, 3);
    switch (code) {
        case 0:
        case 1:
            acuval = 0.0;
            break;
        case 2:
            if (m > 0) {
                acuval = m / 10.0;
            }
            break;
        case 3:
            acuval = (1000.0 + m) / 10.0;
            break;
        case 6:
            acuval = 2000.0 / 10.0;
            break;
        default:
            break;
    }
    return acuval;
}

quint32 qncount(QStringView reply) {
    return hexField(reply, 4, 4);
}

qint32 qnrate(quint32 count, qint32 gatetime) {
    return gatetime > 0 ? roundEvenLong(count * 1000.0 / gatetime) : 0;
}

QString unitType(QStringView reply) {
    return field(reply, 4, 2).toString();
}

QString unitIdent(QStringView reply) {
    return field(reply, 4, 13).toString();
}

}  // namespace kr5
