// The number reading rules of the constants; the form and settings file that use them are in
// settings_test.cpp.
#include "records/numbertext.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QString>
#include <cstdint>
#include <utility>

namespace kr5 {
namespace {

TEST(LeadingNumber, TakesTheNumberAtTheStartOrGivesZero) {
    // A second point, a blank, a comma (in every locale) or an "e" without digits ends the
    // number; a text without a leading number gives 0, and so does one too small for a
    // double.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::pair<const char*, double> cases[] = {
        {"12abc", 12},   {" 100 ", 100}, {"\t-2", -2},     {"+7", 7},     {".25", 0.25},
        {"-.5e2x", -50}, {"1.5.7", 1.5}, {"3e", 3},        {"3e+", 3},    {"2E-3", 0.002},
        {"1 2", 1},      {"5.", 5},      {"1e308", 1e308}, {"1e-400", 0}, {"abc", 0},
        {"", 0},         {"   ", 0},     {"-", 0},         {".", 0},      {"+.", 0},
        {"e5", 0},       {"x12", 0},     {"１２", 0},      {"0,5", 0},    {"2,5", 2}};
    for (const auto& [text, value] : cases) {
        const LeadingNumber n = leadingNumber(QString::fromUtf8(text));
        EXPECT_EQ(n.value, value) << text;
        EXPECT_TRUE(n.fits) << text;
    }
    QLocale::setDefault(before);
    const QString tinyFraction = QStringLiteral("0.") + QString(400, QLatin1Char('0')) + u'1';
    EXPECT_EQ(std::pair(leadingNumber(tinyFraction).value, leadingNumber(tinyFraction).fits),
              std::pair(0.0, true));
    for (const QString& text :
         {QStringLiteral("1e400"), QStringLiteral("-1e400"), QString(400, QLatin1Char('9'))}) {
        EXPECT_FALSE(leadingNumber(text).fits) << text.size();
    }
}

TEST(LeadingCount, RoundsHalvesToEvenAndRefusesWhatLiesOutside32Bits) {
    const std::pair<const char16_t*, qint32> cases[] = {{u"2.5", 2},
                                                        {u"3.5", 4},
                                                        {u"-2.5", -2},
                                                        {u"2.51", 3},
                                                        {u"50 P.P.S", 50},
                                                        {u"none", 0},
                                                        {u"2147483647", INT32_MAX},
                                                        {u"2147483647.4", INT32_MAX},
                                                        {u"-2147483648", INT32_MIN}};
    for (const auto& [text, value] : cases) {
        const LeadingCount c = leadingCount(text);
        EXPECT_EQ(c.value, value) << QString::fromUtf16(text).toStdString();
        EXPECT_TRUE(c.fits) << QString::fromUtf16(text).toStdString();
    }
    for (const char16_t* text :
         {u"2147483648", u"2147483647.5", u"-2147483649", u"4294967296", u"1e19", u"1e400"}) {
        const LeadingCount c = leadingCount(text);
        EXPECT_FALSE(c.fits) << QString::fromUtf16(text).toStdString();
        EXPECT_EQ(c.value, 0);
    }
}

}  // namespace
}  // namespace kr5
