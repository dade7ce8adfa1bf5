#include "numbertext.h"

#include "core/numeric.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace kr5 {

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The characters of the number at the start of text, without its sign, in the form
// std::from_chars reads ("12.5e-3", ".5", "3."); empty when there is none.
struct NumberChars {
    bool negative = false;
    std::string mantissa;  // digits and point
    std::string exponent;  // "e-3" or empty
};

qsizetype skipBlanks(QStringView text, qsizetype i) {
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) {
        ++i;
    }
    return i;
}

qsizetype readMantissa(QStringView text, qsizetype i, std::string& out) {
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isDigit(c)) {
            out += static_cast<char>(c.unicode());
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
            out += '.';
        } else {
            break;
        }
    }
    return i;
}

void readExponent(QStringView text, qsizetype i, std::string& out) {
    if (i >= text.size() || (text[i] != QLatin1Char('e') && text[i] != QLatin1Char('E'))) {
        return;
    }
    std::string e = "e";
    ++i;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        e += static_cast<char>(text[i].unicode());
        ++i;
    }
    const auto digitsFrom = e.size();
    for (; i < text.size() && isDigit(text[i]); ++i) {
        e += static_cast<char>(text[i].unicode());
    }
    if (e.size() > digitsFrom) {
        out = e;  // an "e" without digits is not part of the number
    }
}

NumberChars numberChars(QStringView text) {
    NumberChars n;
    qsizetype i = skipBlanks(text, 0);
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        n.negative = text[i] == QLatin1Char('-');
        ++i;
    }
    i = readMantissa(text, i, n.mantissa);
    if (n.mantissa.find_first_of("0123456789") == std::string::npos) {
        return {};
    }
    readExponent(text, i, n.exponent);
    return n;
}

// Power of ten of the first significant digit plus one, held within +-1e9, for a number
// that from_chars found out of range: zero or less means it was too small.
long long decimalMagnitude(const NumberChars& n) {
    const std::string& m = n.mantissa;
    const auto point = m.find('.');
    const std::string integer = m.substr(0, point);
    const auto firstNonZero = integer.find_first_not_of('0');
    long long magnitude = 0;
    if (firstNonZero != std::string::npos) {
        magnitude = static_cast<long long>(integer.size() - firstNonZero);
    } else if (point != std::string::npos) {
        const std::string fraction = m.substr(point + 1);
        const auto first = fraction.find_first_not_of('0');
        magnitude = -static_cast<long long>(first == std::string::npos ? 0 : first);
    }
    long long exponent = 0;
    const bool minus = n.exponent.size() > 1 && n.exponent[1] == '-';
    for (char c : n.exponent) {
        if (c >= '0' && c <= '9') {
            exponent = std::min(exponent * 10 + (c - '0'), 1000000000LL);
        }
    }
    return magnitude + (minus ? -exponent : exponent);
}

}  // namespace

LeadingNumber leadingNumber(QStringView text) {
    const NumberChars n = numberChars(text);
    if (n.mantissa.empty()) {
        return {};
    }
    const std::string s = n.mantissa + n.exponent;
    double value = 0.0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        if (decimalMagnitude(n) <= 0) {
            return {};
        }
        return {0.0, false};
    }
    if (res.ec != std::errc() || !std::isfinite(value)) {
        return {0.0, false};
    }
    return {n.negative ? -value : value, true};
}

LeadingCount leadingCount(QStringView text) {
    const LeadingNumber n = leadingNumber(text);
    if (!n.fits) {
        return {0, false};
    }
    const qint64 r = roundEven(n.value);
    if (r < std::numeric_limits<qint32>::min() || r > std::numeric_limits<qint32>::max()) {
        return {0, false};
    }
    return {static_cast<qint32>(r), true};
}

}  // namespace kr5
