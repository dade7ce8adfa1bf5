// The number texts, in the C locale and a German one. Where each text is used is left to the
// suites of those parts.
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
#include <utility>
#include <vector>

namespace kr5 {
namespace {

std::string show(double x) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", x);
    return buf;
}

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

// Cut, not rounded, to five characters; below 1000 no prefix; never an exponent.
const std::pair<double, const char*> prefixCases[] = {
    {2500, " 2.5k"},    {123456, " 123.k"}, {12345678, " 12.3M"}, {7.25, " 7.25"},
    {999.99, " 999."},  {1000, " 1k"},      {999999, " 999.k"},   {1000000, " 1M"},
    {0, " 0"},          {-0.0, " 0"},       {-2500, "-2500"},     {-12345678, "-1234"},
    {1250, " 1.25k"},   {125, " 125"},      {0.25, " .25"},       {-0.5, "-.5"},
    {0.1 + 0.2, " .3"}, {1e-20, " .000"},   {nan, " NaN"},        {inf, " Inf"},
    {-inf, "-Inf"}};

// The texts of each display pattern. 0, 0.5, 5.25 (exact in binary, so a true tie that
// goes to even) and 123.456 through every pattern; the integer part always in full; no
// sign on a zero; the cycle time a whole number, empty when it rounds to 0; halves to even
// on the value's 15-digit decimal form (2.675 is 2.67499... in binary, 0.15 is
// 0.14999...), with carries into new digits.
using Text = std::pair<double, const char*>;
const std::vector<Text> chargeTexts{{0, ".00"},          {0.5, ".50"},
                                    {5.25, "5.25"},      {123.456, "123.46"},
                                    {15000, "15000.00"}, {1234567.891, "1234567.89"},
                                    {1e-300, ".00"},     {-inf, "-Inf"},
                                    {0.375, ".38"},      {2.675, "2.68"}};
const std::vector<Text> pulseRateTexts{{0, ".0"},       {0.5, ".5"},
                                       {5.25, "5.2"},   {123.456, "123.5"},
                                       {-5.25, "-5.2"}, {1e20, "100000000000000000000.0"},
                                       {nan, "NaN"}};
const std::vector<Text> esTexts{{0, "00.0"},  {0.5, "00.5"},  {5.25, "05.2"}, {123.456, "123.5"},
                                {inf, "Inf"}, {0.05, "00.0"}, {0.95, "01.0"}};
const std::vector<Text> dataRowTexts{
    {0, ".0"},     {0.5, ".5"},  {5.25, "5.2"}, {123.456, "123.5"}, {-0.06, "-.1"},
    {-0.04, ".0"}, {0.15, ".2"}, {0.25, ".2"},  {9.95, "10.0"},     {0.0500000000000001, ".1"}};
const std::vector<Text> cycleTimeTexts{{1000.0 / 3, "333"}, {0.4, ""},  {0.5, ""},
                                       {0.6, "1"},          {2.5, "2"}, {-0.3, ""}};
const std::pair<const char*, const std::vector<Text>*> patternTexts[] = {
    {"######.00", &chargeTexts},
    {"####.0", &pulseRateTexts},
    {"00.0", &esTexts},
    {".0", &dataRowTexts},
    {"####", &cycleTimeTexts}};

// The number form and the plain number text of the same value.
const std::tuple<double, const char*, const char*> numberCases[] = {
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
        for (const auto& [x, expected] : prefixCases) {
            EXPECT_EQ(prefixedNumber(x).toStdString(), expected) << "x = " << show(x);
        }
        for (const auto& [pattern, texts] : patternTexts) {
            for (const auto& [x, text] : *texts) {
                EXPECT_EQ(formatPattern(x, QString::fromLatin1(pattern)).toStdString(), text)
                    << "x = " << show(x) << ", pattern " << pattern;
            }
        }
        for (const auto& [x, form, plain] : numberCases) {
            SCOPED_TRACE("x = " + show(x));
            EXPECT_EQ(numberForm(x).toStdString(), form);
            EXPECT_EQ(plainNumber(x).toStdString(), plain);
        }
    }
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, "C");
}

// A prefixed number keeps to five characters and the digits of the full number text; a
// pattern's text has its places, within half a unit; the number form reads back to 15 digits.
TEST(Format, RandomValuesKeepTheirShapeAndReadBack) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> prefixPower(-8, 12), power(-300, 300);
    std::uniform_real_distribution<double> value(-20000.0, 20000.0);
    std::bernoulli_distribution negative(0.5);
    const std::tuple<const char*, double, size_t> patterns[] = {
        {"######.00", 0.01, 2}, {"####.0", 0.1, 1}, {"00.0", 0.1, 1}, {".0", 0.1, 1}};
    for (int i = 0; i < 20000; ++i) {
        const double sign = negative(rng) ? -1 : 1;
        const double x = sign * mantissa(rng) * std::pow(10.0, prefixPower(rng));
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

        const double v = value(rng);
        for (const auto& [pattern, unit, places] : patterns) {
            SCOPED_TRACE("v = " + show(v) + ", pattern " + pattern);
            const std::string text = formatPattern(v, QString::fromLatin1(pattern)).toStdString();
            ASSERT_EQ(text.size() - text.find('.') - 1, places);
            ASSERT_LE(std::fabs(std::strtod(text.c_str(), nullptr) - v), unit / 2 + 1e-9);
        }

        const double y = sign * mantissa(rng) * std::pow(10.0, power(rng));
        SCOPED_TRACE("y = " + show(y));
        const std::string form = numberForm(y).toStdString();
        ASSERT_EQ(form[0], y < 0 ? '-' : ' ');
        ASSERT_NEAR(std::strtod(form.c_str(), nullptr) / y, 1.0, 1e-14);
        ASSERT_EQ(form.find('E') != std::string::npos, std::fabs(y) >= 1e15 || std::fabs(y) < 1e-4);
    }
}

}  // namespace
}  // namespace kr5
