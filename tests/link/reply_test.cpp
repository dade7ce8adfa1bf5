// The strict readers of the units' replies, on examples and against patterns of their own over
// random text.
#include "link/reply.h"
#include "support/replies.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <random>
#include <vector>

namespace kr5 {
namespace {

using Values = std::optional<std::vector<int>>;

using test::whole;

// Each reader's fields as a list of numbers, nothing when it refuses the reply.
Values detectorValues(const Reply& reply) {
    const auto f = detectorFields(reply);
    return f ? Values(std::in_place, {f->peakCode, f->rateCode, f->attRange, f->rateRange})
             : std::nullopt;
}
Values acValues(const Reply& reply) {
    const auto f = acFields(reply);
    return f ? Values(std::in_place, {f->code, f->digits}) : std::nullopt;
}
Values noiseValues(const Reply& reply) {
    const auto f = noiseFields(reply);
    return f ? Values(std::in_place, {f->channelA, f->function, f->channelB}) : std::nullopt;
}
Values gateValues(const Reply& reply) {
    const auto count = gateCount(reply);
    return count ? Values(std::in_place, {static_cast<int>(*count)}) : std::nullopt;
}

// One reply a reader: the fields of every kind, and refusals, are drawn from random texts
// further down.
TEST(Replies, EachReaderTakesItsFieldsOnlyFromAWholeReply) {
    // A reader, a whole reply, and the values it reads.
    const std::tuple<Values (*)(const Reply&), const char*, std::vector<int>> cases[] = {
        {detectorValues, "A0x7F3121\r\n", {0x7F, 0x31, 2, 1}},
        {acValues, "A1tB050\r\n", {0xB, 50}},
        {noiseValues, "A2g3217\r\n", {3, 2, 7}},
        {gateValues, "A0cFFFF\r\n", {65535}},
    };
    for (const auto& [read, text, values] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(read(whole(text)).value_or(std::vector<int>{}), values);
        // Only a whole reply is read, however good its fields.
        for (const auto status :
             {Reply::Status::Missing, Reply::Status::Short, Reply::Status::Overlong}) {
            EXPECT_FALSE(read(Reply{status, QString::fromLatin1(text)}));
        }
    }
    EXPECT_FALSE(Reply{}.whole());  // a reply that was never collected is missing
    const DetectorFields full{0xFF, 170, 0, 0};
    EXPECT_EQ(std::pair(full.rawPeak(), full.rawRate()), std::pair(15.0, 100.0));
}

TEST(AcFields, CodeAndDigitsGiveTheVoltageAsCountsGiveTheRate) {
    constexpr double previous = 55.0;
    // The code and three digits; the bit of value 8 in the code is the unit's own flag.
    const std::pair<const char*, double> cases[] = {
        {"0123", 0.0},      {"1123", 0.0},      {"2123", 12.3},     {"2001", 0.1},
        {"2000", previous},  // no reading: the last one stands
        {"3000", 100.0},    {"3050", 105.0},    {"3999", 199.9},    {"6000", 200.0},
        {"6999", 200.0},    {"4123", previous}, {"5123", previous}, {"7123", previous},
        {"8123", 0.0},      {"9123", 0.0},      {"a123", 12.3},     {"A000", previous},
        {"B050", 105.0},    {"E999", 200.0},    {"D123", previous}, {"F123", previous}};
    for (const auto& [payload, volts] : cases) {
        const auto fields = acFields(whole(QStringLiteral("A1t%1\r\n").arg(payload)));
        ASSERT_TRUE(fields) << payload;
        EXPECT_DOUBLE_EQ(fields->voltage(previous), volts) << payload;
    }
    // A count rate is pulses per second, rounded halves to even.
    const std::tuple<quint32, qint32, qint32> counts[] = {
        {160, 500, 320}, {65535, 1, 65535000}, {1, 2000, 0}, {3, 2000, 2},
        {5, 2000, 2},    {7, 2000, 4},         {100, 0, 0},  {100, -5, 0}};
    for (const auto& [count, gateMs, rate] : counts) {
        EXPECT_EQ(countRate(count, gateMs), rate) << count << " in " << gateMs << " ms";
    }
}

// Random texts, mostly of the characters the fields hold, against patterns written out
// here: a reader gives fields exactly when its pattern matches, and then the values of the
// pattern's groups.
TEST(Replies, RandomTextIsReadExactlyWhenItsFieldsAreOfTheirKind) {
    // A reader, the pattern of its fields after the three characters in front, their bases.
    const std::tuple<Values (*)(const Reply&), const char*, std::vector<int>> readers[] = {
        {detectorValues, "([0-9A-Fa-f]{2})([0-9A-Fa-f]{2})([0-9])([0-3])", {16, 16, 10, 10}},
        {acValues, "([0-9A-Fa-f])([0-9]{3})", {16, 10}},
        {noiseValues, "([0-9])([0-9]).([0-9])", {10, 10, 10}},
        {gateValues, "([0-9A-Fa-f]{4})", {16}},
    };
    // Digits of other scripts are digits to Unicode, but not to the units.
    const QString alphabet = QStringLiteral("0123456789ABCDEFabcdefGgx -.+\r\n\uFF10\u0660\uFFFD");
    std::mt19937 rng(20261206);
    std::uniform_int_distribution<int> length(0, 13);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(alphabet.size()) - 1);
    for (const auto& [read, fields, bases] : readers) {
        const QRegularExpression pattern(QStringLiteral("\\A...") + QLatin1String(fields),
                                         QRegularExpression::DotMatchesEverythingOption);
        int matched = 0;
        for (int n = 0; n < 50000; ++n) {
            QString text;
            for (int k = length(rng); k > 0; --k) {
                text += alphabet[pick(rng)];
            }
            const auto match = pattern.match(text);
            Values expected;
            if (match.hasMatch()) {
                expected.emplace();
                for (size_t g = 0; g < bases.size(); ++g) {
                    expected->push_back(
                        match.captured(static_cast<int>(g) + 1).toInt(nullptr, bases[g]));
                }
            }
            ASSERT_EQ(read(whole(text)), expected) << fields << ": " << text.toStdString();
            matched += expected ? 1 : 0;
        }
        EXPECT_GT(matched, 20) << fields;  // the draw must reach both sides of every reader
    }
}

}  // namespace
}  // namespace kr5
