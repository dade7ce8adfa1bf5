// The input constants' form and their settings file: the file per port with its nine
// lines, the reading of fields and file lines, OK and CANCEL, and refusals that change
// nothing. The number reading rules alone are in numbertext_test.cpp, the Input const
// window in recordswindows_test.cpp.
#include "records/constantsform.h"
#include "records/settingsfile.h"
#include "recordstest.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <tuple>

namespace kr5 {
namespace {

using recordstest::readBytes;
using recordstest::writeBytes;

class SettingsTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    SettingsFile file{dir.path()};
    InputConstants constants;
    ConstantsForm form{constants, file};

    SettingsTest() { form.setPortDigit(QStringLiteral("1")); }
    QString iniPath(const char* port = "1") const {
        return dir.filePath(QStringLiteral("kr5au%1.ini").arg(QLatin1String(port)));
    }
};

TEST_F(SettingsTest, FirstStartShowsTheDefaultsAndEachPortHasItsOwnFile) {
    EXPECT_EQ(SettingsFile().path(QStringLiteral("1")), QStringLiteral("kr5au1.ini"));
    form.loadSettings();
    const InputFields& f = form.fields;
    EXPECT_EQ(QStringList({f.name, f.num, f.temp, f.rh, f.pt, f.adj, f.start, f.stop}),
              QStringList({"no name", "1", "20", "59", " 100", "1", "50", "0"}));
    EXPECT_EQ(f.qidx, 0);
    EXPECT_EQ(form.setqText(), QStringLiteral("1"));
    ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    EXPECT_EQ(readBytes(iniPath()),
              QByteArray("no name\r\n1\r\n20\r\n59\r\n 100 \r\n 1 \r\n 1 \r\n 50 \r\n 0 \r\n"));

    writeBytes(iniPath("2"), "x\r\n2\r\n20\r\n59\r\n 222 \r\n 1 \r\n 1 \r\n 50 \r\n 0 \r\n");
    form.setPortDigit(QStringLiteral("2"));
    form.loadSettings();
    EXPECT_EQ(constants.ptRatio, 222.0);
    EXPECT_EQ(constants.number, QStringLiteral("2"));
}

// Leading numbers are taken, counts rounded half to even, Set Q is the scroll bar's range
// times Adjust, and the file has the number form of each value between blanks.
TEST_F(SettingsTest, OkReadsLeadingNumbersAndTheSetQLabelShowsWhatOkWillTake) {
    form.loadSettings();
    form.fields.pt = QStringLiteral("12abc");
    form.fields.adj = QStringLiteral("-0.25");
    form.fields.qidx = 2;
    form.fields.start = QStringLiteral("2.5");
    form.fields.stop = QStringLiteral("3.5");
    ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    EXPECT_EQ(
        std::tuple(constants.ptRatio, constants.setQ, constants.startCount, constants.stopCount),
        std::tuple(12.0, -1.25, 2, 4));
    EXPECT_EQ(readBytes(iniPath()), QByteArray("no name\r\n1\r\n20\r\n59\r\n 12 \r\n-.25 \r\n"
                                               "-1.25 \r\n 2 \r\n 4 \r\n"));

    form.fields.adj = QStringLiteral("0.5");
    form.fields.qidx = 9;
    EXPECT_EQ(form.setqText(), QStringLiteral("500"));
    EXPECT_EQ(constants.setQ, -1.25) << "the label alone changes nothing";
    ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    EXPECT_EQ(std::pair(constants.setQ, constants.setQIndex), std::pair(500.0, 9.0));
    form.fields.qidx = 3;
    form.fields.adj = QStringLiteral("2.5pC");
    EXPECT_EQ(form.setqText(), QStringLiteral("25"));
    form.fields.adj = QStringLiteral("abc");
    EXPECT_EQ(form.setqText(), QStringLiteral("0"));
}

// CANCEL and a restart bring back what OK stored: texts with commas and quotes whole,
// without shifting the values after them, and numbers to their last digit; never the name.
TEST_F(SettingsTest, CancelAndRestartBringBackTheLastOkButNotTheName) {
    form.loadSettings();
    form.fields.name = QStringLiteral("cable 7");
    form.fields.num = QStringLiteral("A-1, second try");
    form.fields.temp = QStringLiteral("\"23\" indoors");
    form.fields.rh = QStringLiteral("  55 , dry ");
    form.fields.pt = QStringLiteral("-123456.789012345e-3");  // fifteen digits
    form.fields.start = QStringLiteral("-2147483648");
    form.fields.stop = QStringLiteral("2147483647");
    ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    form.fields.name = QStringLiteral("typed, not confirmed");
    form.fields.num = QStringLiteral("43");
    form.cancel();
    EXPECT_EQ(QStringList({form.fields.name, form.fields.num}),
              QStringList({"cable 7", "A-1, second try"}));

    InputConstants restarted;
    ConstantsForm again(restarted, file);
    again.setPortDigit(QStringLiteral("1"));
    again.loadSettings();
    EXPECT_EQ(
        QStringList({restarted.name, again.fields.name, restarted.number, restarted.temperature,
                     restarted.humidity}),
        QStringList({"no name", "no name", "A-1, second try", "\"23\" indoors", "  55 , dry "}));
    EXPECT_EQ(std::tuple(restarted.ptRatio, restarted.startCount, restarted.stopCount),
              std::tuple(-123.456789012345, INT32_MIN, INT32_MAX));
}

// Each value is taken while its line is there and fits; the first that does not ends the
// reading and the values after it keep their defaults.
TEST_F(SettingsTest, AShortOrBrokenFileKeepsTheValuesAfterTheFailurePoint) {
    struct Case {
        bool complete;
        const char* numberLines;  // after the lines of name, No., Temp. and RH
        double ptRatio, adjust;
        qint32 startCount, stopCount;
    };
    const Case cases[] = {
        {false, "", 100, 1, 50, 0},
        {false, " 300 \r\n", 300, 1, 50, 0},
        {false, " 300 \n 2 \n 4 \n 60", 300, 2, 60, 0},  // LF alone, no last end
        {false, " 1e999 \r\n 2 \r\n 4 \r\n 60 \r\n 5 \r\n", 100, 1, 50, 0},
        {true, "\"12\",x\r\n 3 , 4\r\n abc\r\n 60 \r\n 5 \r\n", 12, 3, 60, 5},
        {true, "\"12\r\n 1 \r\n 1 \r\n -2147483648 \r\n 9 \r\n", 12, 1, INT32_MIN, 9},
        {false, " 1 \r\n 1 \r\n 1 \r\n 2147483648 \r\n 9 \r\n", 1, 1, 50, 0},
        {false, " 1 \r\n 1 \r\n 1 \r\n 8 \r\n -99999999999 \r\n", 1, 1, 8, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.numberLines);
        writeBytes(iniPath(), QByteArray("n\r\n7\r\n21\r\n60\r\n") + c.numberLines);
        InputConstants fresh;
        EXPECT_EQ(file.load(QStringLiteral("1"), fresh), c.complete);
        EXPECT_EQ(fresh.humidity, QStringLiteral("60"));
        EXPECT_EQ(std::tuple(fresh.ptRatio, fresh.adjust, fresh.startCount, fresh.stopCount),
                  std::tuple(c.ptRatio, c.adjust, c.startCount, c.stopCount));
    }
    writeBytes(iniPath(), "n\r\n7\r\n");  // ends among the texts
    InputConstants shortFile;
    EXPECT_FALSE(file.load(QStringLiteral("1"), shortFile));
    EXPECT_EQ(std::pair(shortFile.number, shortFile.temperature),
              std::pair(QStringLiteral("7"), QStringLiteral("20")));
}

// OK refused for a number out of range, or not written (a folder in the file's way):
// reported, nothing stored or signalled, the edits kept for another try.
TEST_F(SettingsTest, ARefusedOrUnwrittenOkChangesNothing) {
    form.loadSettings();
    int changed = 0;
    QObject::connect(&form, &ConstantsForm::constantsChanged, [&] { ++changed; });
    form.fields.num = QStringLiteral("99");
    form.fields.qidx = 1;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("kr5au1.ini")));
    using R = ConstantsForm::OkResult;
    for (const auto& [field, text, result, problem] :
         {std::tuple{&InputFields::start, "3000000000", R::Refused, "Start Count"},
          {&InputFields::stop, "-1e10", R::Refused, "Stop Count"},
          {&InputFields::adj, "1e999", R::Refused, "Adjust"},
          {&InputFields::adj, "2", R::NotWritten, "kr5au1.ini"}}) {
        const QString kept = form.fields.*field;
        form.fields.*field = QLatin1String(text);
        EXPECT_EQ(form.ok(), result) << text;
        EXPECT_TRUE(form.problem().contains(QLatin1String(problem)))
            << form.problem().toStdString();
        EXPECT_EQ(form.fields.*field, QLatin1String(text));
        form.fields.*field = kept;
    }
    EXPECT_EQ(std::tuple(constants.number, constants.adjust, constants.setQ, changed),
              std::tuple(QStringLiteral("1"), 1.0, 1.0, 0));
    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("kr5au1.ini")));
    form.fields.adj = QStringLiteral("2");
    EXPECT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    EXPECT_TRUE(form.problem().isEmpty());
    EXPECT_EQ(std::tuple(constants.number, constants.setQ, changed),
              std::tuple(QStringLiteral("99"), 4.0, 1));
}

}  // namespace
}  // namespace kr5
