#include "reply.h"

#include "core/numeric.h"
#include "core/ranges.h"

namespace kr5 {

namespace {

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

// Characters pos..pos+len-1 (from 1) as a hex number, or -1 when one is not a hex digit.
qint64 strictHex(QStringView text, int pos, int len) {
    if (pos < 1 || pos - 1 + len > text.size()) {
        return -1;
    }
    qint64 value = 0;
    for (const QChar c : text.mid(pos - 1, len)) {
        const int d = hexDigit(c);
        if (d < 0) {
            return -1;
        }
        value = value * 16 + d;
    }
    return value;
}

// Characters pos..pos+len-1 (from 1) as a decimal number, or -1 when one is not a digit.
int strictDecimal(QStringView text, int pos, int len) {
    if (pos < 1 || pos - 1 + len > text.size()) {
        return -1;
    }
    int value = 0;
    for (const QChar c : text.mid(pos - 1, len)) {
        if (c.unicode() < '0' || c.unicode() > '9') {
            return -1;
        }
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

}  // namespace

double AcFields::voltage(double previous) const {
    switch (code & 0x7) {
        case 0:
        case 1:
            return 0.0;
        case 2:
            return digits > 0 ? digits / 10.0 : previous;
        case 3:
            return (1000.0 + digits) / 10.0;
        case 6:
            return 2000.0 / 10.0;
        default:
            return previous;
    }
}

bool AcFields::leavesPreviousStanding() const {
    const int kind = code & 0x7;
    return kind == 4 || kind == 5 || kind == 7 || (kind == 2 && digits == 0);
}

std::optional<DetectorFields> detectorFields(const Reply& reply) {
    if (!reply.whole()) {
        return std::nullopt;
    }
    const qint64 peak = strictHex(reply.text, 4, 2);
    const qint64 rate = strictHex(reply.text, 6, 2);
    const int att = strictDecimal(reply.text, 8, 1);
    const int rateRange = strictDecimal(reply.text, 9, 1);
    if (peak < 0 || rate < 0 || att < 0 || !isRateRange(rateRange)) {
        return std::nullopt;
    }
    return DetectorFields{static_cast<int>(peak), static_cast<int>(rate), att, rateRange};
}

std::optional<AcFields> acFields(const Reply& reply) {
    if (!reply.whole()) {
        return std::nullopt;
    }
    const qint64 code = strictHex(reply.text, 4, 1);
    const int digits = strictDecimal(reply.text, 5, 3);
    if (code < 0 || digits < 0) {
        return std::nullopt;
    }
    return AcFields{static_cast<int>(code), digits};
}

std::optional<NoiseFields> noiseFields(const Reply& reply) {
    if (!reply.whole()) {
        return std::nullopt;
    }
    const int a = strictDecimal(reply.text, 4, 1);
    const int function = strictDecimal(reply.text, 5, 1);
    const int b = strictDecimal(reply.text, 7, 1);
    if (a < 0 || function < 0 || b < 0) {
        return std::nullopt;
    }
    return NoiseFields{a, function, b};
}

std::optional<quint32> gateCount(const Reply& reply) {
    if (!reply.whole()) {
        return std::nullopt;
    }
    const qint64 count = strictHex(reply.text, 4, 4);
    if (count < 0) {
        return std::nullopt;
    }
    return static_cast<quint32>(count);
}

qint32 countRate(quint32 count, qint32 gateTimeMs) {
    return gateTimeMs > 0 ? roundEvenLong(count * 1000.0 / gateTimeMs) : 0;
}

}  // namespace kr5
