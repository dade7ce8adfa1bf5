// Number texts built from the decimal digits of a value. The digits come from
// std::to_chars, which ignores every locale, and all rounding is done on those digits, so
// no text here can pick up a ',' or a rounding of the C library's current mode.
#include "format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace kr5 {

namespace {

constexpr int significantDigits = 15;

// Lowest and highest decimal exponent (the power of ten of the first digit) that the
// number form writes without an exponent.
constexpr int lowestPlainExponent = -4;
constexpr int highestPlainExponent = significantDigits - 1;

// A finite value as decimal digits: |value| = 0.d1 d2 d3 ... x 10^pointPos. digits has
// no leading or trailing zeros and is empty for zero; pointPos counts the digits before
// the point (0 or less for a fraction below .1).
struct Decimal {
    bool negative = false;
    std::string digits;
    int pointPos = 0;
};

void stripTrailingZeros(Decimal& d) {
    const auto last = d.digits.find_last_not_of('0');
    d.digits.resize(last == std::string::npos ? 0 : last + 1);
    if (d.digits.empty()) {
        d.pointPos = 0;
    }
}

// The value rounded to 15 significant digits.
Decimal toDecimal(double x) {
    Decimal d;
    if (x == 0.0) {
        return d;  // -0 as well: zero has no sign
    }
    d.negative = x < 0.0;
    char buf[40];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(x),
                                   std::chars_format::scientific, significantDigits - 1);
    const std::string_view text(buf, static_cast<size_t>(res.ptr - buf));  // d.ddde+XX
    const auto e = text.find('e');
    d.digits.assign(1, text[0]);
    d.digits.append(text.substr(2, e - 2));
    int exponent = 0;
    const auto expText = text.substr(e + 2);  // after "e+" or "e-"
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
    d.pointPos = (text[e + 1] == '-' ? -exponent : exponent) + 1;
    stripTrailingZeros(d);
    return d;
}

// The digit at position i counted from the first significant digit; zeros outside.
char digitAt(const Decimal& d, int i) {
    return i >= 0 && i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<size_t>(i)] : '0';
}

std::string digitRange(const Decimal& d, int from, int to) {
    std::string s;
    for (int i = from; i < to; ++i) {
        s += digitAt(d, i);
    }
    return s;
}

// Adds one unit in the last kept place; an empty digit string stands for 0 there.
void incrementLast(Decimal& d) {
    auto i = static_cast<int>(d.digits.size()) - 1;
    while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') {
        d.digits[static_cast<size_t>(i)] = '0';
        --i;
    }
    if (i < 0) {
        d.digits.insert(d.digits.begin(), '1');
        ++d.pointPos;
    } else {
        ++d.digits[static_cast<size_t>(i)];
    }
}

// Rounds to `places` digits after the point, halves to the even neighbour.
void roundToPlaces(Decimal& d, int places) {
    const int keep = d.pointPos + places;
    const auto count = static_cast<int>(d.digits.size());
    if (keep >= count) {
        return;
    }
    if (keep < 0) {  // below half a unit of the last place
        d.digits.clear();
        d.pointPos = 0;
        return;
    }
    const char first = d.digits[static_cast<size_t>(keep)];
    const bool moreBehind = count > keep + 1;  // digits are nonzero at their end
    const bool lastOdd = (digitAt(d, keep - 1) - '0') % 2 == 1;
    d.digits.resize(static_cast<size_t>(keep));
    if (first > '5' || (first == '5' && (moreBehind || lastOdd))) {
        incrementLast(d);
    }
    stripTrailingZeros(d);
}

// Digits and point without sign and without an exponent; "" before the point of a
// fraction, "0" for zero.
std::string plainDigits(const Decimal& d) {
    if (d.digits.empty()) {
        return "0";
    }
    std::string s = digitRange(d, 0, d.pointPos);
    const auto count = static_cast<int>(d.digits.size());
    if (count > d.pointPos) {
        s += '.' + digitRange(d, d.pointPos, count);
    }
    return s;
}

bool needsExponent(const Decimal& d) {
    const int exponent = d.pointPos - 1;
    return !d.digits.empty() && (exponent < lowestPlainExponent || exponent > highestPlainExponent);
}

// "d.dddE+XX" with at least two exponent digits.
std::string exponentDigits(const Decimal& d) {
    std::string s(1, d.digits[0]);
    if (d.digits.size() > 1) {
        s += '.' + d.digits.substr(1);
    }
    const int exponent = d.pointPos - 1;
    const std::string power = std::to_string(std::abs(exponent));
    s += exponent < 0 ? "E-" : "E+";
    return s + (power.size() < 2 ? "0" : "") + power;
}

QString nonFiniteText(double x, const char* positiveSign) {
    if (std::isnan(x)) {
        return QString::fromLatin1(positiveSign) + QStringLiteral("NaN");
    }
    return x > 0 ? QString::fromLatin1(positiveSign) + QStringLiteral("Inf")
                 : QStringLiteral("-Inf");
}

QString latin1(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

struct Pattern {
    int minIntegerDigits = 0;  // from the first "0" before the point to the point
    int places = 0;
    bool point = false;
};

Pattern parsePattern(QStringView pattern) {
    Pattern p;
    const auto pointAt = pattern.indexOf(QLatin1Char('.'));
    p.point = pointAt >= 0;
    const QStringView integerPart = p.point ? pattern.left(pointAt) : pattern;
    p.places = p.point ? static_cast<int>(pattern.size() - pointAt - 1) : 0;
    const auto firstZero = integerPart.indexOf(QLatin1Char('0'));
    p.minIntegerDigits = firstZero < 0 ? 0 : static_cast<int>(integerPart.size() - firstZero);
    return p;
}

}  // namespace

QString prefixedNumber(double x) {
    if (!std::isfinite(x)) {
        return nonFiniteText(x, " ");
    }
    const char* prefix = "";
    if (x >= 1000000.0) {
        x /= 1000000.0;
        prefix = "M";
    } else if (x >= 1000.0) {
        x /= 1000.0;
        prefix = "k";
    }
    const Decimal d = toDecimal(x);
    const std::string text = (d.negative ? "-" : " ") + plainDigits(d);
    return latin1(text.substr(0, 5)) + QLatin1String(prefix);
}

QString formatPattern(double x, QStringView pattern) {
    if (!std::isfinite(x)) {
        return nonFiniteText(x, "");
    }
    const Pattern p = parsePattern(pattern);
    Decimal d = toDecimal(x);
    roundToPlaces(d, p.places);
    std::string integer = digitRange(d, 0, d.pointPos);
    if (static_cast<int>(integer.size()) < p.minIntegerDigits) {
        integer.insert(0, static_cast<size_t>(p.minIntegerDigits) - integer.size(), '0');
    }
    std::string text = (d.negative && !d.digits.empty() ? "-" : "") + integer;
    if (p.point) {
        text += '.' + digitRange(d, d.pointPos, d.pointPos + p.places);
    }
    return latin1(text);
}

QString numberForm(double x) {
    if (!std::isfinite(x)) {
        return nonFiniteText(x, " ");
    }
    const Decimal d = toDecimal(x);
    const std::string body = needsExponent(d) ? exponentDigits(d) : plainDigits(d);
    return latin1((d.negative ? "-" : " ") + body);
}

int chargePlaces(double pc) {
    return pc >= 100 ? 0 : pc >= 10 ? 1 : 2;
}

QString chargeText(double pc) {
    const double scale = std::pow(10.0, chargePlaces(pc));
    return plainNumber(std::round(pc * scale) / scale);
}

QString testLevelText(double kv) {
    const double tenths = std::round(kv * 10.0);
    if (std::abs(kv * 10.0 - tenths) < 1e-9) {
        return QString::number(tenths / 10.0, 'f', 1);
    }
    return plainNumber(std::round(kv * 1000.0) / 1000.0);
}

QString plainNumber(double x) {
    if (!std::isfinite(x)) {
        return nonFiniteText(x, "");
    }
    const Decimal d = toDecimal(x);
    if (needsExponent(d)) {
        return latin1((d.negative ? "-" : "") + exponentDigits(d));
    }
    const bool fraction = !d.digits.empty() && d.pointPos <= 0;
    return latin1((d.negative ? "-" : "") + std::string(fraction ? "0" : "") + plainDigits(d));
}

}  // namespace kr5
