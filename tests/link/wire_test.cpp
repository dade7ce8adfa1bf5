// Frames, the character view of line bytes, the field cutter and the identification fields
// discovery reads. The measurement fields and their strict readers are in reply_test.cpp.
#include "link/wire.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

TEST(LineText, DecodesAsTheUnitsCharacterSetCounts) {
    const std::pair<QByteArray, QString> cases[] = {
        {"AB1", QStringLiteral("AB1")},
        {QByteArray("\xA1\xDF", 2), QStringLiteral("\uFF61\uFF9F")},
        {QByteArray("\x82\xA0Z", 3), QStringLiteral("\uFFFDZ")},  // a lead byte takes its partner
        {QByteArray("\xE0\x40", 2), QStringLiteral("\uFFFD")},
        {QByteArray("Z\x9F", 2), QStringLiteral("Z\uFFFD")},  // a lead byte at the end stands alone
        {QByteArray("\x80\xA0\xFD\xFF", 4), QString(4, QChar::ReplacementCharacter)},
        {QByteArray("\0A", 2), QString(QChar(0)).append(u'A')},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(decodeLine(bytes), text) << bytes.toHex().constData();
    }
    // Encoded, katakana take one byte and anything else a question mark.
    EXPECT_EQ(encodeLine(u"x1\r\n"), QByteArray("x1\r\n"));
    EXPECT_EQ(encodeLine(u"\uFF61\uFF9F"), QByteArray("\xA1\xDF"));
    // Full-width question mark, e acute, a katakana just past the half-width block.
    EXPECT_EQ(encodeLine(u"\uFF1F\u00E9\uFFA0"), QByteArray("???"));
}

TEST(Field, CountsFromOneAndIsCutShortWhereTheReplyEndsAsFramesWrapTheAddressAtSixteen) {
    const std::tuple<int, int, const char*> cases[] = {
        {1, 3, "A0x"}, {4, 2, "7F"}, {10, 5, "1"},
        {11, 1, ""},   {0, 3, ""},  // there is no character 0
        {4, 0, ""},    {4, -1, ""}};
    for (const auto& [pos, len, expected] : cases) {
        EXPECT_EQ(field(u"A0x7F31021", pos, len).toString(), QLatin1String(expected))
            << pos << "," << len;
    }
    const QString reply = QStringLiteral("A0vKR-5 SIM 0001\r\n");
    EXPECT_EQ(unitType(reply), QStringLiteral("KR"));
    EXPECT_EQ(unitIdent(reply), QStringLiteral("KR-5 SIM 0001"));
    EXPECT_EQ(unitType(u"A0"), QString());
    EXPECT_EQ(unitIdent(u"A0vKR-5"), QStringLiteral("KR-5"));  // cut short, not padded
    // A frame: the address byte, the command and CR LF; the address wraps at sixteen.
    EXPECT_EQ(frame(QString(addressChar(3)), u"c1000"), QByteArray("\303c1000\r\n"));
    for (int i = 0; i < 16; ++i) {
        const QByteArray bytes = frame(QString(addressChar(i)), u"v");
        EXPECT_EQ(bytes, QByteArray(1, static_cast<char>(0xC0 + i)) + "v\r\n");
        EXPECT_EQ(encodeLine(decodeLine(bytes)), bytes);  // every frame survives the round trip
    }
    EXPECT_EQ(addressChar(16), addressChar(0));  // only the low four bits name a unit
}

}  // namespace
}  // namespace kr5
