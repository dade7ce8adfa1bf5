// The number texts and the range title colours.
#include "app/format.h"

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

template <typename F>
void expectTable(F format, const std::vector<Case>& table) {
    for (const Case& c : table) {
        SCOPED_TRACE("x = " + show(c.x));
        EXPECT_EQ(format(c.x).toStdString(), c.expected);
    }
}

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

const std::vector<Case> prefixCases = {
    {2500, " 2.5k"},      {123456, " 123.k"}, {12345678, " 12.3M"}, {7.25, " 7.25"},
    {999.5, " 999."},     {999.99, " 999."},  // cut, not rounded
    {1000, " 1k"},        {999999, " 999.k"}, {1000000, " 1M"},     {0, " 0"},
    {-0.0, " 0"},         {-2500, "-2500"},  // below 1000, so no prefix
    {-12345678, "-1234"},                    // cut to five characters
    {1250, " 1.25k"},     {12.5, " 12.5"},    {0.25, " .25"},       {-0.5, "-.5"},
    {0.1 + 0.2, " .3"},   {1e-20, " .000"},  // never an exponent
    {nan, " NaN"},        {inf, " Inf"},      {-inf, "-Inf"},
};

// The display patterns; 5.25 is exact in binary, so it is a true tie and goes to even.
const std::vector<PatternCase> patternCases = {
    {0, "######.00", ".00"},
    {0.5, "######.00", ".50"},
    {5.25, "######.00", "5.25"},
    {123.456, "######.00", "123.46"},
    {0, "####.0", ".0"},
    {0.5, "####.0", ".5"},
    {5.25, "####.0", "5.2"},
    {123.456, "####.0", "123.5"},
    {0, "00.0", "00.0"},
    {0.5, "00.0", "00.5"},
    {5.25, "00.0", "05.2"},
    {123.456, "00.0", "123.5"},
    {0, ".0", ".0"},
    {0.5, ".0", ".5"},
    {5.25, ".0", "5.2"},
    {123.456, ".0", "123.5"},
    // Values of the panel and the data rows.
    {15000, "######.00", "15000.00"},
    {1234567.891, "######.00", "1234567.89"},  // integer part in full
    {0.46, ".0", ".5"},
    {0.04, ".0", ".0"},
    {1234.56, ".0", "1234.6"},
    {45, ".0", "45.0"},
    {-5.25, "####.0", "-5.2"},
    {-0.06, ".0", "-.1"},
    {-0.04, ".0", ".0"},  // no sign on a zero
    {1e20, "####.0", "100000000000000000000.0"},
    {1e-300, "######.00", ".00"},
    // Cycle time: a whole number, empty when it rounds to 0.
    {1000, "####", "1000"},
    {1000.0 / 3, "####", "333"},
    {12345678, "####", "12345678"},
    {0.4, "####", ""},
    {0.5, "####", ""},
    {0.6, "####", "1"},
    {1.5, "####", "2"},
    {2.5, "####", "2"},
    {-0.3, "####", ""},
    {nan, "####.0", "NaN"},
    {inf, "00.0", "Inf"},
    {-inf, "######.00", "-Inf"},
};

// Halves to even on the value's 15-digit decimal form, with carries into new digits.
const std::vector<PatternCase> tieCases = {
    {0.125, "######.00", ".12"},
    {0.375, "######.00", ".38"},
    {2.675, "######.00", "2.68"},  // binary 2.67499..., decimal 2.675
    {0.15, ".0", ".2"},            // binary 0.14999..., decimal 0.15
    {0.25, ".0", ".2"},
    {0.05, "00.0", "00.0"},
    {0.95, "00.0", "01.0"},
    {9.95, ".0", "10.0"},
    {99.95, "00.0", "100.0"},
    {0.251, ".0", ".3"},  // above the half
    {0.0500000000000001, ".0", ".1"},
};

const std::vector<Case> numberFormCases = {
    {100, " 100"},
    {50, " 50"},
    {-2, "-2"},
    {0.25, " .25"},
    {-0.5, "-.5"},
    {0, " 0"},
    {-0.0, " 0"},
    {1234.5, " 1234.5"},
    {0.1 + 0.2, " .3"},
    {1.0 / 3, " .333333333333333"},
    {-2.0 / 3, "-.666666666666667"},
    {123456789.123456789, " 123456789.123457"},
    // Upper bound: whole numbers below 1E+15 are written in full.
    {999999999999999, " 999999999999999"},
    {999999999999999.9, " 1E+15"},  // rounds up to 15 digits first
    {1e15, " 1E+15"},
    {-1.5e15, "-1.5E+15"},
    {1.7976931348623157e308, " 1.79769313486232E+308"},
    // Lower bound: .0001 is the smallest plain fraction.
    {1e-4, " .0001"},
    {-1.5e-4, "-.00015"},
    {9.999999999999999e-5, " .0001"},  // rounds up to 15 digits first
    {9.99e-5, " 9.99E-05"},
    {1e-5, " 1E-05"},
    {4.9406564584124654e-324, " 4.94065645841247E-324"},
    {nan, " NaN"},
    {inf, " Inf"},
    {-inf, "-Inf"},
};

const std::vector<Case> plainNumberCases = {
    {1200, "1200"},
    {1234.5, "1234.5"},
    {980, "980"},
    {12.3 * 100, "1230"},  // 1230.0000000000002 in binary
    {0, "0"},
    {-0.0, "0"},
    {-3, "-3"},
    {0.5, "0.5"},
    {-0.5, "-0.5"},
    {1.0 / 3, "0.333333333333333"},
    {1e-4, "0.0001"},
    {1e-5, "1E-05"},
    {999999999999999, "999999999999999"},
    {1e15, "1E+15"},
    {-2.5e20, "-2.5E+20"},
    {nan, "NaN"},
    {inf, "Inf"},
    {-inf, "-Inf"},
};

void expectPatternTable(const std::vector<PatternCase>& table) {
    for (const PatternCase& c : table) {
        SCOPED_TRACE("x = " + show(c.x) + ", pattern " + c.pattern);
        EXPECT_EQ(formatPattern(c.x, QString::fromLatin1(c.pattern)).toStdString(), c.expected);
    }
}

void expectAllTables() {
    expectTable(prefixfmt, prefixCases);
    expectPatternTable(patternCases);
    expectPatternTable(tieCases);
    expectTable(numberForm, numberFormCases);
    expectTable(plainNumber, plainNumberCases);
}

TEST(Prefixfmt, Table) {
    expectTable(prefixfmt, prefixCases);
}

TEST(Prefixfmt, ColourLegendCharges) {
    const double divisions[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};
    const char* kadj1[] = {" 1", " 2", " 5", " 10", " 20", " 50", " 100", " 200", " 500", " 1k"};
    const char* kadj25[] = {" 2.5", " 5",   " 12.5", " 25",    " 50",
                            " 125", " 250", " 500",  " 1.25k", " 2.5k"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(prefixfmt(divisions[i] * 1.0).toStdString(), kadj1[i]);
        EXPECT_EQ(prefixfmt(divisions[i] * 2.5).toStdString(), kadj25[i]);
    }
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
        const QString t = prefixfmt(x);
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

TEST(FormatPattern, PanelAndRowTable) {
    expectPatternTable(patternCases);
}

TEST(FormatPattern, HalvesGoToEven) {
    expectPatternTable(tieCases);
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

TEST(NumberForm, Table) {
    expectTable(numberForm, numberFormCases);
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

TEST(PlainNumber, Table) {
    expectTable(plainNumber, plainNumberCases);
}

// Every text is the same in the C locale and in a German one (decimal comma): the Qt
// default locale is set, and the C library's too where the system has it.
class FormatLocale : public ::testing::Test {
  protected:
    void TearDown() override {
        QLocale::setDefault(QLocale::c());
        std::setlocale(LC_ALL, "C");
    }
};

TEST_F(FormatLocale, CLocale) {
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
    expectAllTables();
}

TEST_F(FormatLocale, GermanLocale) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            break;
        }
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    expectAllTables();
}

class FakeTitles : public RangeTitles {
  public:
    void setRangeTitleColours(quint32 inputAtt, quint32 rateRange) override {
        ++calls;
        inputAttColour = inputAtt;
        rateRangeColour = rateRange;
    }
    int calls = 0;
    quint32 inputAttColour = 0xDEADBEEF;
    quint32 rateRangeColour = 0xDEADBEEF;
};

TEST(Autocolor, EachTitleFollowsItsOwnFlag) {
    const quint32 lightRed = 0x0000FF;
    const quint32 black = 0x000000;
    const struct {
        bool autoatt;
        bool autorate;
        quint32 att;
        quint32 rate;
    } cases[] = {{true, true, lightRed, lightRed},
                 {true, false, lightRed, black},
                 {false, true, black, lightRed},
                 {false, false, black, black}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.autoatt) + "/" + std::to_string(c.autorate));
        Globals g;
        g.autoatt = c.autoatt;
        g.autorate = c.autorate;
        FakeTitles titles;
        autocolor(g, titles);
        EXPECT_EQ(titles.calls, 1);
        EXPECT_EQ(titles.inputAttColour, c.att);
        EXPECT_EQ(titles.rateRangeColour, c.rate);
    }
}

}  // namespace
}  // namespace kr5
