// Frames, the character view of line bytes, the field cutter and the identification fields
// discovery reads. The measurement fields and their strict readers are in reply_test.cpp.
#include "link/wire.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

QString addr(int i) {
    return QString(addressChar(i));
}

TEST(Frame, AddressCommandCrLf) {
    EXPECT_EQ(frame(addr(0), u"x"), QByteArray("\xC0\x78\x0D\x0A", 4));
    EXPECT_EQ(frame(addr(3), u"c1000"), QByteArray("\xC3"
                                                   "c1000\r\n"));
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(static_cast<unsigned char>(frame(addr(i), u"v").at(0)), 0xC0 + i);
    }
}

TEST(Frame, AddressCharactersAreHalfWidthKatakanaAndWrapAtSixteen) {
    EXPECT_EQ(addressChar(0).unicode(), 0xFF80);
    EXPECT_EQ(addressChar(15).unicode(), 0xFF8F);
    EXPECT_EQ(addressChar(16), addressChar(0));  // only the low four bits name a unit
}

TEST(LineText, EncodesKatakanaAsOneByteAndAnythingElseAsQuestionMark) {
    EXPECT_EQ(encodeLine(u"x1\r\n"), QByteArray("x1\r\n"));
    EXPECT_EQ(encodeLine(QString(QChar(0xFF61))), QByteArray("\xA1"));
    EXPECT_EQ(encodeLine(QString(QChar(0xFF9F))), QByteArray("\xDF"));
    // Outside the one-byte range: full-width question mark, e acute, a katakana just past
    // the half-width block.
    EXPECT_EQ(encodeLine(u"\uFF1F\u00E9\uFFA0"), QByteArray("???"));
}

TEST(LineText, DecodesAsTheUnitsCharacterSetCounts) {
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"AB1", QStringLiteral("AB1")},
        {QByteArray("\xC0", 1), QString(addressChar(0))},
        {QByteArray("\xA1\xDF", 2), QStringLiteral("\uFF61\uFF9F")},
        // A lead byte takes its partner: one character.
        {QByteArray("\x82\xA0Z", 3), QStringLiteral("\uFFFDZ")},
        {QByteArray("\xE0\x40", 2), QStringLiteral("\uFFFD")},
        // A lead byte at the very end stands alone.
        {QByteArray("Z\x9F", 2), QStringLiteral("Z\uFFFD")},
        // Bytes that are no character at all, one each.
        {QByteArray("\x80\xA0\xFD\xFF", 4), QString(4, QChar::ReplacementCharacter)},
        {QByteArray("\0A", 2), QString(QChar(0)).append(u'A')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decodeLine(c.bytes), c.text) << c.bytes.toHex().constData();
    }
    // Every frame survives the round trip.
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(encodeLine(decodeLine(frame(addr(i), u"v"))), frame(addr(i), u"v"));
    }
}

TEST(Field, CountsFromOneAndIsCutShortWhereTheReplyEnds) {
    const struct {
        int pos;
        int len;
        const char* expected;
    } cases[] = {
        {1, 3, "A0x"}, {4, 2, "7F"}, {10, 5, "1"},
        {11, 1, ""},   {0, 3, ""},  // there is no character 0
        {4, 0, ""},    {4, -1, ""},
    };
    const QString reply = QStringLiteral("A0x7F31021");
    for (const auto& c : cases) {
        EXPECT_EQ(field(reply, c.pos, c.len).toString(), QLatin1String(c.expected))
            << c.pos << "," << c.len;
    }
}

TEST(Identify, TypeAndTextAreCutFromTheReply) {
    const QString reply = QStringLiteral("A0vKR-5 SIM 0001\r\n");
    EXPECT_EQ(unitType(reply), QStringLiteral("KR"));
    EXPECT_EQ(unitIdent(reply), QStringLiteral("KR-5 SIM 0001"));
    EXPECT_EQ(unitType(u"A0"), QString());
    EXPECT_EQ(unitIdent(u"A0vKR-5"), QStringLiteral("KR-5"));  // cut short, not padded
}

}  // namespace
}  // namespace kr5
