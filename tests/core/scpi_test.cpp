// The SCPI text layer: header matching, lines of several commands, parameters, the bytes
// refused, and the error queue.
#include "core/scpi.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

enum Id { Idn, Cls, MeasCharge, MeasVoltage, Attenuator, AttenuatorQ, Mode };

struct ScpiTest : ::testing::Test {
    ScpiTest() {
        table.add(Idn, "*IDN?");
        table.add(Cls, "*CLS");
        table.add(MeasCharge, "MEASure:CHARge?");
        table.add(MeasVoltage, "MEASure:VOLTage?");
        table.add(Attenuator, "SENSe:ATTenuator");
        table.add(AttenuatorQ, "SENSe:ATTenuator?");
        table.add(Mode, "SENSe:MODE");
    }

    // The ids of a line's commands, or the error code of the one that failed.
    QList<int> outcome(const QByteArray& line) const {
        QList<int> ids;
        for (const ScpiCommand& command : table.parseLine(line))
            ids << (command.error ? command.error : command.id);
        return ids;
    }

    ScpiCommandTable table;
};

using Ids = QList<int>;

TEST_F(ScpiTest, HeadersMatchShortOrLongFormInAnyCaseAndSemicolonsKeepThePath) {
    for (const char* line : {"MEAS:CHAR?", "measure:charge?", ":Meas:Charge?", "MEASURE:char?"})
        EXPECT_EQ(outcome(line), Ids{MeasCharge}) << line;
    EXPECT_EQ(outcome("*idn?"), Ids{Idn});
    EXPECT_EQ(outcome("sens:att?"), Ids{AttenuatorQ});
    EXPECT_EQ(outcome("SENS:ATT 3"), Ids{Attenuator});

    const int undefined = scpierror::UndefinedHeader;
    for (const char* line : {"MEASU:CHAR?", "MEAS:CHARG?", "ME:CHAR?", "MEAS:CHAR", "*IDN", "*CLS?",
                             "MEAS?", "FOO:BAR"})
        EXPECT_EQ(outcome(line), Ids{undefined}) << line;
    for (const char* line : {"MEAS::CHAR?", "MEAS:CHAR??", ":", "*", "MEAS:CH-AR?"})
        EXPECT_EQ(outcome(line), Ids{scpierror::Syntax}) << line;
    // Semicolons keep the path and stop at the first fault.
    EXPECT_EQ(outcome("MEAS:CHAR?;VOLT?"), (Ids{MeasCharge, MeasVoltage}));
    EXPECT_EQ(outcome("MEAS:CHAR?;*IDN?;VOLT?"), (Ids{MeasCharge, Idn, MeasVoltage}));
    // Not under the path: looked up from the root.
    EXPECT_EQ(outcome("MEAS:CHAR?;SENS:ATT 2;MODE AUTO"), (Ids{MeasCharge, Attenuator, Mode}));
    EXPECT_EQ(outcome("*CLS;;MEAS:CHAR?;\r\n"), (Ids{Cls, MeasCharge}));
    EXPECT_EQ(outcome("*CLS;MEASU:CHAR?;*IDN?"), (Ids{Cls, scpierror::UndefinedHeader}));
    EXPECT_TRUE(table.parseLine("  \r\n").isEmpty());
}

TEST_F(ScpiTest, ParametersOfEachKindOnLinesOfAnyLength) {
    const QList<ScpiCommand> commands =
        table.parseLine(R"(SENS:MODE "a;b,""c""" , 'it''s',-1.5E2, PAUS;SENS:ATT 7)");
    ASSERT_EQ(commands.size(), 2);
    const QList<ScpiParam>& p = commands.at(0).params;
    ASSERT_EQ(p.size(), 4);
    using Kind = ScpiParam::Kind;
    EXPECT_EQ(std::tuple(p[0].kind, p[0].text, p[1].kind, p[1].text),
              std::tuple(Kind::String, R"(a;b,"c")", Kind::String, "it's"));
    EXPECT_EQ(std::tuple(p[2].kind, p[2].number, p[3].kind, p[3].text),
              std::tuple(Kind::Number, -150.0, Kind::Word, "PAUS"));
    EXPECT_EQ(commands.at(1).params.at(0).number, 7.0);

    for (const char* line :
         {R"(SENS:MODE "abc)", R"(SENS:MODE "a"b")", R"(SENS:MODE "a"b"c")", "SENS:MODE 1,,2",
          "SENS:MODE 1,", "SENS:MODE 1.2.3", "SENS:MODE 1E", "SENS:MODE #H1F"})
        EXPECT_EQ(outcome(line), Ids{scpierror::Syntax}) << line;
    // Control bytes and NUL are syntax errors, but a tab is a blank.
    EXPECT_EQ(outcome("SENS:ATT\t3"), Ids{Attenuator});
    EXPECT_EQ(outcome(QByteArray("*CLS;SENS:ATT \0 3", 17)), (Ids{Cls, scpierror::Syntax}));
    EXPECT_EQ(outcome("SENS:MODE \"a\x01\""), Ids{scpierror::Syntax});
    EXPECT_EQ(outcome("MEAS:CHAR?\r;*IDN?"), Ids{scpierror::Syntax});
    // Very long lines parse whole.
    const QByteArray params = QByteArray("1,").repeated(50000) + "2";
    const QList<ScpiCommand> longOnes = table.parseLine("SENS:MODE " + params);
    ASSERT_EQ(longOnes.size(), 1);
    EXPECT_EQ(longOnes.at(0).params.size(), 50001);
    EXPECT_EQ(outcome(QByteArray(100000, 'A')), Ids{scpierror::UndefinedHeader});
    EXPECT_EQ(outcome("SENS:MODE \"" + QByteArray(100000, 'x')), Ids{scpierror::Syntax});
}

TEST(ScpiParamTest, HelpersCheckKindAndRange) {
    const auto param = [](const QByteArray& text) {
        ScpiCommandTable table;
        table.add(0, "SET");
        return table.parseLine("SET " + text).at(0).params.at(0);
    };
    for (const auto& [text, low, value] :
         {std::tuple{"5", 0, 5}, {"1E1", 0, 10}, {"max", 0, 10}, {"MIN", 3, 3}})
        EXPECT_EQ(intIn(param(text), low, 10), value) << text;
    for (const char* bad : {"11", "-1", "2.5", "ON", "\"5\""})
        EXPECT_FALSE(intIn(param(bad), 0, 10)) << bad;

    for (const auto& [text, value] :
         {std::pair{"on", true}, {"OFF", false}, {"1", true}, {"0", false}})
        EXPECT_EQ(boolean(param(text)), value) << text;
    for (const char* bad : {"2", "ONN", "\"ON\""})
        EXPECT_FALSE(boolean(param(bad))) << bad;

    for (const auto& [text, index] : {std::pair{"pause", 1}, {"PAUS", 1}, {"auto", 0}})
        EXPECT_EQ(word(param(text), {"AUTO", "PAUSe"}), index) << text;
    EXPECT_FALSE(word(param("PAU"), {"AUTO", "PAUSe"}));
}

TEST(ScpiErrorQueueTest, OldestFirstOverflowAndTexts) {
    ScpiErrorQueue queue;
    EXPECT_EQ(queue.next(), "0,\"No error\"");
    queue.push(scpierror::UndefinedHeader);
    queue.push(scpierror::NoError);
    queue.push(scpierror::DataOutOfRange);
    EXPECT_EQ(queue.next(), "-113,\"Undefined header\"");
    EXPECT_EQ(queue.next(), "-222,\"Data out of range\"");
    EXPECT_EQ(queue.next(), "0,\"No error\"");

    for (int i = 0; i < ScpiErrorQueue::capacity() + 3; ++i)
        queue.push(i == 0 ? scpierror::Syntax : scpierror::SettingsConflict);
    EXPECT_EQ(queue.count(), ScpiErrorQueue::capacity());
    EXPECT_EQ(queue.next(), "-102,\"Syntax error\"");
    for (int i = 1; i < ScpiErrorQueue::capacity() - 1; ++i)
        EXPECT_EQ(queue.next(), "-221,\"Settings conflict\"");
    EXPECT_EQ(queue.next(), "-350,\"Queue overflow\"");
    EXPECT_TRUE(queue.isEmpty());

    queue.push(scpierror::Execution);
    queue.push(-241);
    queue.push(scpierror::Command);
    queue.clear();
    EXPECT_EQ(queue.next(), "0,\"No error\"");
    EXPECT_EQ(std::tuple(scpiErrorText(-200), scpiErrorText(-241), scpiErrorText(-100)),
              std::tuple("Execution error", "Execution error", "Command error"));

    // A detail that could break the reply's one quoted string on one line cannot.
    queue.push(scpierror::Execution, "cannot create \"a\nb\"");
    EXPECT_EQ(queue.next(), "-200,\"Execution error; cannot create \"\"a b\"\"\"");
}

}  // namespace
}  // namespace kr5
