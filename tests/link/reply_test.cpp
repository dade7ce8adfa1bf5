// The strict readers of replies: the detector's measurement, the AC unit's reading and the
// voltage it gives, the noise discriminator's settings, the gate count and the count rate,
// each checked against a pattern of its own over random text. How the link decides a
// reply's status is in link_test.cpp and lineguard_test.cpp.
#include "link/reply.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <cmath>
#include <random>
#include <tuple>

namespace kr5 {
namespace {

Reply whole(const QString& text) {
    return Reply{Reply::Status::Whole, text};
}
Reply whole(const char* text) {
    return whole(QString::fromLatin1(text));
}

auto asTuple(const DetectorFields& f) {
    return std::tuple(f.peakCode, f.rateCode, f.attRange, f.rateRange);
}
auto asTuple(const NoiseFields& f) {
    return std::tuple(f.channelA, f.function, f.channelB);
}

TEST(DetectorFields, ReadsPeakRateAndTheRangesInUse) {
    const struct {
        const char* text;
        DetectorFields fields;
    } cases[] = {
        {"A0x7F3121\r\n", {0x7F, 0x31, 2, 1}},
        {"A0x000000\r\n", {0, 0, 0, 0}},
        {"A0xFFFF93\r\n", {0xFF, 0xFF, 9, 3}},
        {"A0xff0a93\r\n", {0xFF, 0x0A, 9, 3}},  // lower-case hex digits are hex digits
        {"???7F3121??", {0x7F, 0x31, 2, 1}},    // the frame around the fields is not read
    };
    for (const auto& c : cases) {
        const auto fields = detectorFields(whole(c.text));
        ASSERT_TRUE(fields) << c.text;
        EXPECT_EQ(asTuple(*fields), asTuple(c.fields)) << c.text;
    }
}

TEST(DetectorFields, AFieldNotOfItsKindSpoilsTheReply) {
    for (const char* text : {
             "A0x7G3121\r\n",  // peak
             "A0x-F3121\r\n",  // peak with a sign
             "A0x7F3G21\r\n",  // rate
             "A0x7F 321\r\n",  // rate with a blank
             "A0x7F31A1\r\n",  // attenuator range: a hex digit is no decimal digit
             "A0x7F31 1\r\n",  // attenuator range blank
             "A0x7F3124\r\n",  // rate range 4 names no range
             "A0x7F3129\r\n",  // nor does 9
             "A0x7F312x\r\n",  // rate range not a digit
             "A0x7F312",       // rate range missing
             "",
         }) {
        EXPECT_FALSE(detectorFields(whole(text))) << text;
    }
}

TEST(DetectorFields, RawPeakAndRateScaleTheCodesBy170) {
    const DetectorFields f{170, 170, 0, 0};
    EXPECT_DOUBLE_EQ(f.rawPeak(), 10.0);
    EXPECT_DOUBLE_EQ(f.rawRate(), 100.0);
    const DetectorFields full{0xFF, 0xFF, 0, 0};
    EXPECT_DOUBLE_EQ(full.rawPeak(), 15.0);
    EXPECT_DOUBLE_EQ(full.rawRate(), 150.0);
}

TEST(AcFields, CodeAndDigitsGiveTheVoltage) {
    constexpr double previous = 55.0;
    const struct {
        const char* payload;  // characters 4-7: the code and three digits
        double volts;
    } cases[] = {
        {"0123", 0.0},
        {"1123", 0.0},
        {"2123", 12.3},
        {"2001", 0.1},
        {"2000", previous},  // no reading: the last one stands
        {"3000", 100.0},
        {"3050", 105.0},
        {"3999", 199.9},
        {"6000", 200.0},
        {"6999", 200.0},
        {"4123", previous},
        {"5123", previous},
        {"7123", previous},
        // The bit of value 8 is the unit's own flag: it changes nothing.
        {"8123", 0.0},
        {"9123", 0.0},
        {"A123", 12.3},
        {"a123", 12.3},
        {"A000", previous},
        {"B050", 105.0},
        {"E999", 200.0},
        {"C123", previous},
        {"D123", previous},
        {"F123", previous},
    };
    for (const auto& c : cases) {
        const auto fields = acFields(whole(QStringLiteral("A1t%1\r\n").arg(c.payload)));
        ASSERT_TRUE(fields) << c.payload;
        EXPECT_DOUBLE_EQ(fields->voltage(previous), c.volts) << c.payload;
    }
    const auto fields = acFields(whole("A1tB050\r\n"));
    ASSERT_TRUE(fields);
    EXPECT_EQ(std::pair(fields->code, fields->digits), std::pair(0xB, 50));
}

TEST(AcFields, OnlyAHexCodeAndThreeDecimalDigitsCount) {
    // The old reader took a number wherever it found one; these are all refused now.
    for (const char* payload : {"G123", " 123", "2A12", "2-12", "2 12", "21e2", "2.12", "212"}) {
        EXPECT_FALSE(acFields(whole(QStringLiteral("A1t%1").arg(QLatin1String(payload)))))
            << payload;
    }
}

TEST(NoiseFields, ChannelAFunctionAndChannelB) {
    const auto fields = noiseFields(whole("A2g3217\r\n"));
    ASSERT_TRUE(fields);
    EXPECT_EQ(asTuple(*fields), std::tuple(3, 2, 7));
    // Character 6 is not one of them.
    const auto unread = noiseFields(whole("A2g32x7\r\n"));
    ASSERT_TRUE(unread);
    EXPECT_EQ(asTuple(*unread), std::tuple(3, 2, 7));
    for (const char* text :
         {"A2gx217\r\n", "A2g3x17\r\n", "A2g321x\r\n", "A2gA217\r\n", "A2g321"}) {
        EXPECT_FALSE(noiseFields(whole(text))) << text;
    }
}

TEST(GateCount, FourHexDigits) {
    const struct {
        const char* text;
        std::optional<quint32> count;
    } cases[] = {
        {"A0cFFFF\r\n", 65535u}, {"A0cffff\r\n", 65535u}, {"A0c00A0\r\n", 160u},
        {"A0c0000\r\n", 0u},     {"A0c00G0\r\n", {}},     {"A0c 123\r\n", {}},
        {"A0c-123\r\n", {}},     {"A0c12", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(gateCount(whole(c.text)), c.count) << c.text;
    }
}

TEST(Replies, OnlyAWholeReplyIsRead) {
    for (const auto status : {Reply::Status::Missing, Reply::Status::Short, Reply::Status::Overlong,
                              Reply::Status::Late}) {
        const auto reply = [status](const char* text) {
            return Reply{status, QString::fromLatin1(text)};
        };
        const int n = static_cast<int>(status);
        EXPECT_FALSE(detectorFields(reply("A0x7F3121\r\n"))) << n;
        EXPECT_FALSE(acFields(reply("A1t2123\r\n"))) << n;
        EXPECT_FALSE(noiseFields(reply("A2g3217\r\n"))) << n;
        EXPECT_FALSE(gateCount(reply("A0c00A0\r\n"))) << n;
    }
    EXPECT_FALSE(Reply{}.whole());  // a reply that was never collected is missing
}

TEST(CountRate, PulsesPerSecondRoundedHalvesToEven) {
    const struct {
        quint32 count;
        qint32 gateMs;
        qint32 rate;
    } cases[] = {
        {160, 500, 320}, {65535, 1000, 65535}, {65535, 1, 65535000}, {1, 2000, 0},  // 0.5
        {3, 2000, 2},                                                               // 1.5
        {5, 2000, 2},                                                               // 2.5
        {7, 2000, 4},                                                               // 3.5
        {100, 0, 0},     {100, -5, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(countRate(c.count, c.gateMs), c.rate) << c.count << " in " << c.gateMs << " ms";
    }
}

// Random texts, mostly of the characters the fields hold, against patterns written out
// here: a reader gives fields exactly when its pattern matches, and then the values the
// pattern's groups hold.
TEST(Replies, RandomTextIsReadExactlyWhenItsFieldsAreOfTheirKind) {
    const QRegularExpression::PatternOptions any = QRegularExpression::DotMatchesEverythingOption;
    const QRegularExpression detector(
        QStringLiteral("\\A...([0-9A-Fa-f]{2})([0-9A-Fa-f]{2})([0-9])([0-3])"), any);
    const QRegularExpression ac(QStringLiteral("\\A...([0-9A-Fa-f])([0-9]{3})"), any);
    const QRegularExpression noise(QStringLiteral("\\A...([0-9])([0-9]).([0-9])"), any);
    const QRegularExpression gate(QStringLiteral("\\A...([0-9A-Fa-f]{4})"), any);
    const auto number = [](const QRegularExpressionMatch& m, int group, int base) {
        return m.captured(group).toInt(nullptr, base);
    };

    // Digits of other scripts are digits to Unicode, but not to the units.
    const QString alphabet = QStringLiteral("0123456789ABCDEFabcdefGgx -.+\r\n\uFF10\u0660\uFFFD");
    std::mt19937 rng(20261206);
    std::uniform_int_distribution<int> length(0, 13);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(alphabet.size()) - 1);
    int read[4] = {};
    for (int n = 0; n < 50000; ++n) {
        QString text;
        for (int k = length(rng); k > 0; --k) {
            text += alphabet[pick(rng)];
        }
        const Reply reply = whole(text);
        const std::string shown = text.toStdString();

        const auto d = detectorFields(reply);
        const auto dm = detector.match(text);
        ASSERT_EQ(d.has_value(), dm.hasMatch()) << shown;
        if (d) {
            ++read[0];
            ASSERT_EQ(asTuple(*d), std::tuple(number(dm, 1, 16), number(dm, 2, 16),
                                              number(dm, 3, 10), number(dm, 4, 10)))
                << shown;
        }

        const auto a = acFields(reply);
        const auto am = ac.match(text);
        ASSERT_EQ(a.has_value(), am.hasMatch()) << shown;
        if (a) {
            ++read[1];
            ASSERT_EQ(std::pair(a->code, a->digits),
                      std::pair(number(am, 1, 16), number(am, 2, 10)))
                << shown;
            const double volts = a->voltage(-1.0);
            ASSERT_TRUE(volts == -1.0 || (volts >= 0.0 && volts <= 200.0)) << shown;
        }

        const auto z = noiseFields(reply);
        const auto zm = noise.match(text);
        ASSERT_EQ(z.has_value(), zm.hasMatch()) << shown;
        if (z) {
            ++read[2];
            ASSERT_EQ(asTuple(*z),
                      std::tuple(number(zm, 1, 10), number(zm, 2, 10), number(zm, 3, 10)))
                << shown;
        }

        const auto g = gateCount(reply);
        const auto gm = gate.match(text);
        ASSERT_EQ(g.has_value(), gm.hasMatch()) << shown;
        if (g) {
            ++read[3];
            ASSERT_EQ(*g, static_cast<quint32>(number(gm, 1, 16))) << shown;
        }
    }
    // The draw must reach both sides of every reader.
    for (const int count : read) {
        EXPECT_GT(count, 20);
    }
}

}  // namespace
}  // namespace kr5
