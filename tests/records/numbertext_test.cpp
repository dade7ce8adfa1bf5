// The number reading rules of the constants: the leading number of a text, '.' as the
// decimal point in every locale, counts rounded half to even and held to 32 bits.
#include "records/numbertext.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <QString>

namespace kr5 {
namespace {

double lead(const char* text) {
    return leadingNumber(QString::fromUtf8(text)).value;
}

TEST(LeadingNumber, TakesTheNumberAtTheStartAndStopsAtTheFirstOtherCharacter) {
    EXPECT_EQ(lead("12abc"), 12.0);
    EXPECT_EQ(lead(" 100 "), 100.0);
    EXPECT_EQ(lead("\t-2"), -2.0);
    EXPECT_EQ(lead("+7"), 7.0);
    EXPECT_EQ(lead(".25"), 0.25);
    EXPECT_EQ(lead("-.5e2x"), -50.0);
    EXPECT_EQ(lead("1.5.7"), 1.5);  // a second point ends the number
    EXPECT_EQ(lead("3e"), 3.0);     // an exponent needs digits
    EXPECT_EQ(lead("3e+"), 3.0);
    EXPECT_EQ(lead("2E-3"), 0.002);
    EXPECT_EQ(lead("1 2"), 1.0);  // a blank ends it
    EXPECT_EQ(lead("5."), 5.0);
}

TEST(LeadingNumber, TextsWithoutALeadingNumberGiveZero) {
    for (const char* text : {"abc", "", "   ", "-", ".", "+.", "e5", "x12", "１２"}) {
        const LeadingNumber n = leadingNumber(QString::fromUtf8(text));
        EXPECT_EQ(n.value, 0.0) << text;
        EXPECT_TRUE(n.fits) << text;
    }
}

TEST(LeadingNumber, CommaIsNeverTheDecimalPointWhateverTheLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(lead("0,5"), 0.0);
    EXPECT_EQ(lead("2.5"), 2.5);
    QLocale::setDefault(before);
}

TEST(LeadingNumber, BeyondADoubleDoesNotFitButTooSmallReadsAsZero) {
    EXPECT_FALSE(leadingNumber(u"1e400").fits);
    EXPECT_FALSE(leadingNumber(u"-1e400").fits);
    EXPECT_FALSE(leadingNumber(QString(400, QLatin1Char('9'))).fits);
    const LeadingNumber tiny = leadingNumber(u"1e-400");
    EXPECT_TRUE(tiny.fits);
    EXPECT_EQ(tiny.value, 0.0);
    const LeadingNumber tinyFraction =
        leadingNumber(QStringLiteral("0.") + QString(400, QLatin1Char('0')) + QStringLiteral("1"));
    EXPECT_TRUE(tinyFraction.fits);
    EXPECT_EQ(tinyFraction.value, 0.0);
    EXPECT_EQ(lead("1e308"), 1e308);
}

TEST(LeadingCount, RoundsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(leadingCount(u"2.5").value, 2);
    EXPECT_EQ(leadingCount(u"3.5").value, 4);
    EXPECT_EQ(leadingCount(u"-2.5").value, -2);
    EXPECT_EQ(leadingCount(u"2.51").value, 3);
    EXPECT_EQ(leadingCount(u"50 P.P.S").value, 50);
    EXPECT_EQ(leadingCount(u"none").value, 0);
}

TEST(LeadingCount, OutsideThe32BitRangeIsRefusedNotWrapped) {
    EXPECT_EQ(leadingCount(u"2147483647").value, 2147483647);
    EXPECT_TRUE(leadingCount(u"2147483647.4").fits);
    EXPECT_EQ(leadingCount(u"-2147483648").value, -2147483647 - 1);
    for (const char16_t* text :
         {u"2147483648", u"2147483647.5", u"-2147483649", u"4294967296", u"1e19", u"1e400"}) {
        const LeadingCount c = leadingCount(text);
        EXPECT_FALSE(c.fits) << QString::fromUtf16(text).toStdString();
        EXPECT_EQ(c.value, 0);
    }
}

}  // namespace
}  // namespace kr5
