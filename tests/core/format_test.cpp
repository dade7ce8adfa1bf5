// The number texts of the panel, the files, the charts and the captions, in the C locale
// and a German one. Where each text is used is left to the suites of those parts.
#include "core/format.h"

#include <gtest/gtest.h>
#include <QLocale>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace kr5 {
namespace {

struct Case {
    double x;
    const char* expected;
};

struct PatternCase {
    double x;
    const char* pattern;
    const char* expected;
};

std::string show(double x) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", x);
    return buf;
}

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

const std::vector<Case> prefixCases = {
    {2500, " 2.5k"},      {123456, " 123.k"}, {12345678, " 12.3M"}, {7.25, " 7.25"},
    {999.99, " 999."},  // cut, not rounded
    {1000, " 1k"},        {999999, " 999.k"}, {1000000, " 1M"},     {0, " 0"},
    {-0.0, " 0"},         {-2500, "-2500"},  // below 1000, so no prefix
    {-12345678, "-1234"},                    // cut to five characters
    {1250, " 1.25k"},     {125, " 125"},      {0.25, " .25"},       {-0.5, "-.5"},
    {0.1 + 0.2, " .3"},   {1e-20, " .000"},  // never an exponent
    {nan, " NaN"},        {inf, " Inf"},      {-inf, "-Inf"}};

// Each display pattern for 0, 0.5, 5.25 (exact in binary, so a true tie that goes to
// even) and 123.456.
const double gridValues[] = {0, 0.5, 5.25, 123.456};
const struct {
    const char* pattern;
    const char* expected[4];
} patternGrid[] = {{"######.00", {".00", ".50", "5.25", "123.46"}},
                   {"####.0", {".0", ".5", "5.2", "123.5"}},
                   {"00.0", {"00.0", "00.5", "05.2", "123.5"}},
                   {".0", {".0", ".5", "5.2", "123.5"}}};

const std::vector<PatternCase> patternCases = {
    // Values of the panel and the data rows; the integer part is always in full.
    {15000, "######.00", "15000.00"},
    {1234567.891, "######.00", "1234567.89"},
    {-5.25, "####.0", "-5.2"},
    {-0.06, ".0", "-.1"},
    {-0.04, ".0", ".0"},  // no sign on a zero
    {1e20, "####.0", "100000000000000000000.0"},
    {1e-300, "######.00", ".00"},
    // Cycle time: a whole number, empty when it rounds to 0.
    {1000.0 / 3, "####", "333"},
    {0.4, "####", ""},
    {0.5, "####", ""},
    {0.6, "####", "1"},
    {2.5, "####", "2"},
    {-0.3, "####", ""},
    {nan, "####.0", "NaN"},
    {inf, "00.0", "Inf"},
    {-inf, "######.00", "-Inf"},
    // Halves to even on the value's 15-digit decimal form, with carries into new digits.
    {0.375, "######.00", ".38"},
    {2.675, "######.00", "2.68"},  // binary 2.67499..., decimal 2.675
    {0.15, ".0", ".2"},            // binary 0.14999..., decimal 0.15
    {0.25, ".0", ".2"},
    {0.05, "00.0", "00.0"},
    {0.95, "00.0", "01.0"},
    {9.95, ".0", "10.0"},
    {0.0500000000000001, ".0", ".1"}};

// The number form and the plain number text of the same value.
struct NumberCase {
    double x;
    const char* form;
    const char* plain;
};

const std::vector<NumberCase> numberCases = {
    {100, " 100", "100"},
    {-2, "-2", "-2"},
    {0.25, " .25", "0.25"},
    {-0.5, "-.5", "-0.5"},
    {0, " 0", "0"},
    {-0.0, " 0", "0"},
    {1234.5, " 1234.5", "1234.5"},
    {12.3 * 100, " 1230", "1230"},  // 1230.0000000000002 in binary
    {0.1 + 0.2, " .3", "0.3"},
    {1.0 / 3, " .333333333333333", "0.333333333333333"},
    {-2.0 / 3, "-.666666666666667", "-0.666666666666667"},
    {123456789.123456789, " 123456789.123457", "123456789.123457"},
    // Upper bound: whole numbers below 1E+15 are written in full.
    {999999999999999, " 999999999999999", "999999999999999"},
    {999999999999999.9, " 1E+15", "1E+15"},  // rounds up to 15 digits first
    {1e15, " 1E+15", "1E+15"},
    {-1.5e15, "-1.5E+15", "-1.5E+15"},
    {-2.5e20, "-2.5E+20", "-2.5E+20"},
    {1.7976931348623157e308, " 1.79769313486232E+308", "1.79769313486232E+308"},
    // Lower bound: .0001 is the smallest plain fraction.
    {1e-4, " .0001", "0.0001"},
    {-1.5e-4, "-.00015", "-0.00015"},
    {9.999999999999999e-5, " .0001", "0.0001"},  // rounds up to 15 digits first
    {9.99e-5, " 9.99E-05", "9.99E-05"},
    {1e-5, " 1E-05", "1E-05"},
    {4.9406564584124654e-324, " 4.94065645841247E-324", "4.94065645841247E-324"},
    {nan, " NaN", "NaN"},
    {inf, " Inf", "Inf"},
    {-inf, "-Inf", "-Inf"}};

void expectPattern(double x, const char* pattern, const char* expected) {
    SCOPED_TRACE("x = " + show(x) + ", pattern " + pattern);
    EXPECT_EQ(formatPattern(x, QString::fromLatin1(pattern)).toStdString(), expected);
}

// Every text is the same in the C locale and in a German one (decimal comma): the Qt
// default locale is set, and the C library's too where the system has it.
TEST(Format, TablesInTheCLocaleAndAGermanOne) {
    for (const bool german : {false, true}) {
        SCOPED_TRACE(german ? "German locale" : "C locale");
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());
        if (german) {
            for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German"}) {
                if (std::setlocale(LC_ALL, name) != nullptr) {
                    break;
                }
            }
            QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
            ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
        }
        for (const Case& c : prefixCases) {
            SCOPED_TRACE("x = " + show(c.x));
            EXPECT_EQ(prefixedNumber(c.x).toStdString(), c.expected);
        }
        for (const auto& row : patternGrid) {
            for (int i = 0; i < 4; ++i) {
                expectPattern(gridValues[i], row.pattern, row.expected[i]);
            }
        }
        for (const PatternCase& c : patternCases) {
            expectPattern(c.x, c.pattern, c.expected);
        }
        for (const NumberCase& c : numberCases) {
            SCOPED_TRACE("x = " + show(c.x));
            EXPECT_EQ(numberForm(c.x).toStdString(), c.form);
            EXPECT_EQ(plainNumber(c.x).toStdString(), c.plain);
        }
    }
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, "C");
}

// Over many magnitudes the number part stays within five characters, the prefix matches
// the magnitude, and the kept digits are a prefix of the full number text.
TEST(Prefixfmt, ShortAndConsistentOverMagnitudes) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> power(-8, 12);
    for (int i = 0; i < 20000; ++i) {
        const double x = mantissa(rng) * std::pow(10.0, power(rng));
        SCOPED_TRACE("x = " + show(x));
        const QString t = prefixedNumber(x);
        const QString prefix = x >= 1e6   ? QStringLiteral("M")
                               : x >= 1e3 ? QStringLiteral("k")
                                          : QString();
        ASSERT_TRUE(t.endsWith(prefix));
        const QString number = t.chopped(prefix.size());
        ASSERT_LE(number.size(), 5);
        const double scaled = x >= 1e6 ? x / 1e6 : x >= 1e3 ? x / 1e3 : x;
        ASSERT_TRUE(numberForm(scaled).startsWith(number) || std::fabs(scaled) < 1e-4);
    }
}

// The shown text is the value rounded to the pattern's places: never more than half a
// unit away, and always with exactly the places of the pattern.
TEST(FormatPattern, WithinHalfAUnitOfTheValue) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> value(-20000.0, 20000.0);
    const struct {
        const char* pattern;
        double unit;
        int places;
    } patterns[] = {{"######.00", 0.01, 2}, {"####.0", 0.1, 1}, {"00.0", 0.1, 1}, {".0", 0.1, 1}};
    for (int i = 0; i < 20000; ++i) {
        const double x = value(rng);
        for (const auto& p : patterns) {
            SCOPED_TRACE("x = " + show(x) + ", pattern " + p.pattern);
            const std::string t = formatPattern(x, QString::fromLatin1(p.pattern)).toStdString();
            ASSERT_EQ(t.size() - t.find('.') - 1, static_cast<size_t>(p.places));
            ASSERT_LE(std::fabs(std::strtod(t.c_str(), nullptr) - x), p.unit / 2 + 1e-9);
        }
    }
}

// Read back, the text gives the value to 15 significant digits, in plain and exponent
// form alike.
TEST(NumberForm, ReadsBackToFifteenDigits) {
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> power(-300, 300);
    std::bernoulli_distribution negative(0.5);
    for (int i = 0; i < 20000; ++i) {
        const double x = (negative(rng) ? -1 : 1) * mantissa(rng) * std::pow(10.0, power(rng));
        SCOPED_TRACE("x = " + show(x));
        const std::string t = numberForm(x).toStdString();
        ASSERT_EQ(t[0], x < 0 ? '-' : ' ');
        ASSERT_NEAR(std::strtod(t.c_str(), nullptr) / x, 1.0, 1e-14);
        ASSERT_EQ(t.find('E') != std::string::npos, std::fabs(x) >= 1e15 || std::fabs(x) < 1e-4);
    }
}

}  // namespace
}  // namespace kr5
