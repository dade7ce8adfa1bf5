// Frames, the character view of replies, fields and the AC unit decoder, including a
// randomized run of arbitrary replies through every decoder.
#include "link/wire.h"

#include <gtest/gtest.h>
#include <random>

namespace kr5 {
namespace {

QString addr(int i) {
    return QString(addressChar(i));
}

TEST(Frame, AddressCommandCrLf) {
    EXPECT_EQ(frame(addr(0), u"x"), QByteArray("\xC0\x78\x0D\x0A", 4));
    EXPECT_EQ(frame(addr(15), u"x").at(0), static_cast<char>(0xCF));
    EXPECT_EQ(frame(addr(3), u"c1000"), QByteArray("\xC3"
                                                   "c1000\r\n"));
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(static_cast<unsigned char>(frame(addr(i), u"v").at(0)), 0xC0 + i);
    }
}

TEST(Frame, AddressCharactersAreHalfWidthKatakana) {
    EXPECT_EQ(addressChar(0).unicode(), 0xFF80);
    EXPECT_EQ(addressChar(15).unicode(), 0xFF8F);
}

TEST(LineText, DecodesAsTheUnitsCharacterSetCounts) {
    EXPECT_EQ(decodeLine("AB1"), QStringLiteral("AB1"));
    EXPECT_EQ(decodeLine(QByteArray("\xC0", 1)), QString(addressChar(0)));
    // A lead byte and its partner are one character; a stray high byte is one too.
    EXPECT_EQ(decodeLine(QByteArray("\x82\xA0Z", 3)).size(), 2);
    EXPECT_EQ(decodeLine(QByteArray("\x80\xFF", 2)).size(), 2);
    EXPECT_EQ(decodeLine(QByteArray("\0A", 2)).size(), 2);
    // Round trip of the address bytes.
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(encodeLine(decodeLine(frame(addr(i), u"v"))), frame(addr(i), u"v"));
    }
}

TEST(Fields, HexDigitAndDecimalFieldsTolerateAnything) {
    EXPECT_EQ(hexField(u"XXXFF7F31YY", 4, 2), 0xFFu);
    EXPECT_EQ(hexField(u"XXXff", 4, 2), 0xFFu);
    EXPECT_EQ(hexField(u"XXX1G", 4, 2), 1u);  // a leading number is taken
    EXPECT_EQ(hexField(u"XXXG1", 4, 2), 0u);
    EXPECT_EQ(hexField(u"XXX", 4, 2), 0u);     // missing
    EXPECT_EQ(hexField(u"XXXF", 4, 2), 0xFu);  // cut short
    EXPECT_EQ(digitField(u"XXXFF7F31YY", 8), 3);
    EXPECT_EQ(digitField(u"XXXFF7F3", 9), 0);
    EXPECT_EQ(digitField(u"XXXFF7F3A", 9), 0);
    EXPECT_DOUBLE_EQ(decimalField(u"XXX2123", 5, 3), 123.0);
    EXPECT_DOUBLE_EQ(decimalField(u"XXX212x", 5, 3), 12.0);
    EXPECT_DOUBLE_EQ(decimalField(u"XXX2-12", 5, 3), -12.0);
    EXPECT_DOUBLE_EQ(decimalField(u"XXX21e2", 5, 3), 100.0);
    EXPECT_DOUBLE_EQ(decimalField(u"XXX2 .5", 5, 3), 0.5);
    EXPECT_DOUBLE_EQ(decimalField(u"XXX2abc", 5, 3), 0.0);
}

TEST(Acudec, Codes) {
    double acuval = 55.0;
    EXPECT_DOUBLE_EQ(acudec(u"0xx1000", acuval), 0.0);     // stands for a missing unit
    EXPECT_DOUBLE_EQ(acudec(u"xxxA123xx", acuval), 12.3);  // flag bit 8 is ignored
    EXPECT_DOUBLE_EQ(acudec(u"xxx3050xx", acuval), 105.0);
    EXPECT_DOUBLE_EQ(acudec(u"xxx2000xx", acuval), 105.0);  // a zero reading keeps the last
    EXPECT_DOUBLE_EQ(acudec(u"xxx6999xx", acuval), 200.0);
    EXPECT_DOUBLE_EQ(acudec(u"xxx4123xx", acuval), 200.0);  // unknown code keeps the last
    EXPECT_DOUBLE_EQ(acudec(u"xxx1123xx", acuval), 0.0);
    EXPECT_DOUBLE_EQ(acuval, 0.0);
    EXPECT_DOUBLE_EQ(acudec(u"", acuval), 0.0);  // nothing arrived: code 0
}

TEST(GateCount, FourHexDigitsUnsigned) {
    EXPECT_EQ(qncount(u"xxxFFFFxx"), 65535u);
    EXPECT_EQ(qnrate(qncount(u"xxxFFFFxx"), 1000), 65535);
    EXPECT_EQ(qncount(u"xxx00A0xx"), 160u);
    EXPECT_EQ(qnrate(160, 500), 320);
    EXPECT_EQ(qnrate(1, 2000), 0);  // 0.5 rounds to even
    EXPECT_EQ(qnrate(3, 2000), 2);  // 1.5 rounds to even
    EXPECT_EQ(qnrate(100, 0), 0);
    EXPECT_EQ(qncount(u"xx"), 0u);
}

TEST(Identify, TypeAndText) {
    const QString reply = QStringLiteral("@@@KR-5 SIM 0001**");
    EXPECT_EQ(unitType(reply), QStringLiteral("KR"));
    EXPECT_EQ(unitIdent(reply), QStringLiteral("KR-5 SIM 0001"));
    EXPECT_EQ(unitType(u"@@"), QString());
}

TEST(Decoders, RandomRepliesNeverCrashAndStayInRange) {
    std::mt19937 rng(20261206);
    std::uniform_int_distribution<int> len(0, 64);
    std::uniform_int_distribution<int> byte(0, 255);
    double acuval = 0.0;
    for (int n = 0; n < 100000; ++n) {
        QByteArray raw(len(rng), '\0');
        for (char& c : raw) {
            c = static_cast<char>(byte(rng));
        }
        const QString reply = decodeLine(raw);
        ASSERT_LE(reply.size(), raw.size());
        ASSERT_LE(hexField(reply, 4, 2), 0xFFu);
        ASSERT_LE(hexField(reply, 6, 2), 0xFFu);
        const int att = digitField(reply, 8);
        ASSERT_TRUE(att >= 0 && att <= 9);
        ASSERT_LE(qncount(reply), 0xFFFFu);
        const double es = acudec(reply, acuval);
        ASSERT_TRUE(std::isfinite(es));
        ASSERT_TRUE(std::isfinite(decimalField(reply, 1, 64)));
        unitType(reply);
        unitIdent(reply);
    }
}

}  // namespace
}  // namespace kr5
