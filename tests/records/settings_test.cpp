// The input constants: the settings file per port with its nine lines, the reading of
// fields and file lines, OK and CANCEL, and refusals that change nothing.
#include "records/inputconstants.h"
#include "records/settingsfile.h"
#include "recordstest.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cmath>
#include <limits>
#include <tuple>

namespace kr5 {
namespace {

using recordstest::readBytes;
using recordstest::writeBytes;

class SettingsTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    SettingsFile file{dir.path()};
    Globals g;
    InputConstants k{g, file};

    SettingsTest() { g.portstr = QStringLiteral("1"); }

    QString iniPath(const char* port = "1") const {
        return dir.filePath(QStringLiteral("kr5au%1.ini").arg(QLatin1String(port)));
    }
};

TEST_F(SettingsTest, EachPortHasItsOwnFileInTheWorkingDirectoryByDefault) {
    EXPECT_EQ(SettingsFile().path(QStringLiteral("1")), QStringLiteral("kr5au1.ini"));
    writeBytes(iniPath("1"), "x\r\n1\r\n20\r\n59\r\n 111 \r\n 1 \r\n 1 \r\n 50 \r\n 0 \r\n");
    writeBytes(iniPath("2"), "x\r\n2\r\n20\r\n59\r\n 222 \r\n 1 \r\n 1 \r\n 50 \r\n 0 \r\n");
    g.portstr = QStringLiteral("2");
    k.ksetv();
    EXPECT_EQ(g.kpt, 222.0);
    EXPECT_EQ(g.knum, QStringLiteral("2"));
}

TEST_F(SettingsTest, FirstStartShowsTheDefaultsAndOkWritesTheNineLines) {
    k.ksetv();
    const InputFields& f = k.fields;
    EXPECT_EQ(QStringList({f.name, f.num, f.temp, f.rh, f.pt, f.adj, f.start, f.stop}),
              QStringList({"no name", "1", "20", "59", " 100", "1", "50", "0"}));
    EXPECT_EQ(f.qidx, 0);
    EXPECT_EQ(k.setqText(), QStringLiteral("1"));
    EXPECT_EQ(g.ksetq, 1.0);
    ASSERT_EQ(k.command1Click(), InputConstants::OkResult::Saved);
    EXPECT_EQ(readBytes(iniPath()),
              QByteArray("no name\r\n1\r\n20\r\n59\r\n 100 \r\n 1 \r\n 1 \r\n 50 \r\n 0 \r\n"));
}

// Leading numbers are taken, counts rounded half to even, and the file has the number
// form of each value between blanks.
TEST_F(SettingsTest, OkReadsLeadingNumbersAndWritesTheFileNumberForm) {
    k.ksetv();
    k.fields.pt = QStringLiteral("12abc");
    k.fields.adj = QStringLiteral("-0.25");
    k.fields.qidx = 2;
    k.fields.start = QStringLiteral("2.5");
    k.fields.stop = QStringLiteral("3.5");
    ASSERT_EQ(k.command1Click(), InputConstants::OkResult::Saved);
    EXPECT_EQ(g.kpt, 12.0);
    EXPECT_EQ(g.ksetq, -1.25);
    EXPECT_EQ(g.kstart, 2);
    EXPECT_EQ(g.kstop, 4);
    EXPECT_EQ(readBytes(iniPath()), QByteArray("no name\r\n1\r\n20\r\n59\r\n 12 \r\n-.25 \r\n"
                                               "-1.25 \r\n 2 \r\n 4 \r\n"));
}

TEST_F(SettingsTest, ScrollBarAtNineWithAdjustHalfGivesFiveHundred) {
    k.ksetv();
    k.fields.adj = QStringLiteral("0.5");
    k.fields.qidx = 9;
    EXPECT_EQ(k.setqText(), QStringLiteral("500"));
    EXPECT_EQ(g.ksetq, 1.0) << "the label alone changes nothing";
    ASSERT_EQ(k.command1Click(), InputConstants::OkResult::Saved);
    EXPECT_EQ(g.ksetq, 500.0);
    EXPECT_EQ(g.kqidx, 9.0);
    EXPECT_EQ(readBytes(iniPath()).split('\n').value(6), QByteArray(" 500 \r"));

    // The label shows what OK takes from an Adjust that is no number: its leading
    // number, or 0 for letters alone.
    k.fields.qidx = 3;
    k.fields.adj = QStringLiteral("2.5pC");
    EXPECT_EQ(k.setqText(), QStringLiteral("25"));
    k.fields.adj = QStringLiteral("abc");
    EXPECT_EQ(k.setqText(), QStringLiteral("0"));
    ASSERT_EQ(k.command1Click(), InputConstants::OkResult::Saved);
    EXPECT_EQ(g.ksetq, 0.0);
}

TEST_F(SettingsTest, CancelBringsBackTheLastOkButKeepsTheName) {
    k.ksetv();
    k.fields.name = QStringLiteral("cable 7");
    k.fields.num = QStringLiteral("42");
    ASSERT_EQ(k.command1Click(), InputConstants::OkResult::Saved);

    k.fields.name = QStringLiteral("typed, not confirmed");
    k.fields.num = QStringLiteral("43");
    k.fields.qidx = 5;
    k.command2Click();
    EXPECT_EQ(g.knum, QStringLiteral("42"));
    EXPECT_EQ(k.fields.num, QStringLiteral("42"));
    EXPECT_EQ(k.fields.name, QStringLiteral("cable 7"));
    EXPECT_EQ(k.fields.qidx, 0);
}

// After a restart the name is not read back, and texts with commas and quotes are read
// back whole without shifting the values after them.
TEST_F(SettingsTest, TextsReadBackWholeAndTheNameNotAtAll) {
    k.ksetv();
    k.fields.name = QStringLiteral("cable 7");
    k.fields.num = QStringLiteral("A-1, second try");
    k.fields.temp = QStringLiteral("\"23\" indoors");
    k.fields.rh = QStringLiteral("  55 , dry ");
    k.fields.pt = QStringLiteral("150");
    ASSERT_EQ(k.command1Click(), InputConstants::OkResult::Saved);

    Globals restarted;
    restarted.portstr = QStringLiteral("1");
    InputConstants again(restarted, file);
    again.ksetv();
    EXPECT_EQ(restarted.kname, QStringLiteral("no name"));
    EXPECT_EQ(again.fields.name, QStringLiteral("no name"));
    EXPECT_EQ(restarted.knum, QStringLiteral("A-1, second try"));
    EXPECT_EQ(restarted.ktemp, QStringLiteral("\"23\" indoors"));
    EXPECT_EQ(restarted.krh, QStringLiteral("  55 , dry "));
    EXPECT_EQ(restarted.kpt, 150.0);
}

TEST_F(SettingsTest, AShortOrBrokenFileKeepsTheValuesAfterTheFailurePoint) {
    struct Case {
        const char* bytes;
        const char* knum;
        double kpt;
        double kadj;
        qint32 kstart;
        qint32 kstop;
    };
    const Case cases[] = {
        {"", "1", 100, 1, 50, 0},
        {"name\r\n7\r\n", "7", 100, 1, 50, 0},
        {"name\r\n7\r\n21\r\n60\r\n 300 \r\n", "7", 300, 1, 50, 0},
        {"name\n7\n21\n60\n 300 \n 2 \n 4 \n 60", "7", 300, 2, 60, 0},  // LF only, no last end
        {"name\r\n7\r\n21\r\n60\r\n 1e999 \r\n 2 \r\n 4 \r\n 60 \r\n 5 \r\n", "7", 100, 1, 50, 0},
        {"name\r\n7\r\n21\r\n60\r\n\"12\",x\r\n 3 , 4\r\n abc\r\n 60 \r\n 5 \r\n", "7", 12, 3, 60,
         5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        writeBytes(iniPath(), c.bytes);
        InputValues fresh = InputValues::of(Globals());
        file.load(QStringLiteral("1"), fresh);
        EXPECT_EQ(fresh.knum, QLatin1String(c.knum));
        EXPECT_EQ(fresh.kpt, c.kpt);
        EXPECT_EQ(fresh.kadj, c.kadj);
        EXPECT_EQ(fresh.kstart, c.kstart);
        EXPECT_EQ(fresh.kstop, c.kstop);
    }
}

TEST_F(SettingsTest, ANumberOutOfRangeIsRefusedAndChangesNothing) {
    k.ksetv();
    k.fields.num = QStringLiteral("99");
    for (const auto& [field, text, caption] :
         {std::tuple{&InputFields::start, "3000000000", "Start Count"},
          {&InputFields::stop, "-1e10", "Stop Count"},
          {&InputFields::adj, "1e999", "Adjust"}}) {
        const QString kept = k.fields.*field;
        k.fields.*field = QLatin1String(text);
        EXPECT_EQ(k.command1Click(), InputConstants::OkResult::Refused) << text;
        EXPECT_TRUE(k.problem().contains(QLatin1String(caption))) << k.problem().toStdString();
        k.fields.*field = kept;
    }
    EXPECT_EQ(g.knum, QStringLiteral("1"));
    EXPECT_FALSE(QFile::exists(iniPath()));

    EXPECT_EQ(k.command1Click(), InputConstants::OkResult::Saved);
    EXPECT_TRUE(k.problem().isEmpty());
    EXPECT_EQ(g.knum, QStringLiteral("99"));
}

TEST_F(SettingsTest, AnUnwritableFileIsReportedAndChangesNothing) {
    k.ksetv();
    int changed = 0;
    k.constantsChanged = [&] { ++changed; };
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("kr5au1.ini")));  // a folder in the way
    k.fields.num = QStringLiteral("77");
    k.fields.adj = QStringLiteral("2");
    k.fields.qidx = 1;
    EXPECT_EQ(k.command1Click(), InputConstants::OkResult::NotWritten);
    EXPECT_TRUE(k.problem().contains(QStringLiteral("kr5au1.ini"))) << k.problem().toStdString();
    EXPECT_EQ(g.knum, QStringLiteral("1"));
    EXPECT_EQ(g.kadj, 1.0);
    EXPECT_EQ(g.ksetq, 1.0);
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(k.fields.num, QStringLiteral("77")) << "the edits stay for another try";

    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("kr5au1.ini")));
    EXPECT_EQ(k.command1Click(), InputConstants::OkResult::Saved);
    EXPECT_EQ(g.ksetq, 4.0);
    EXPECT_EQ(changed, 1);
}

TEST_F(SettingsTest, SavedValuesReadBackEqual) {
    QRandomGenerator rng(20260105);
    for (int round = 0; round < 200; ++round) {
        InputValues v = InputValues::of(g);
        QString text;
        for (int i = 0; i < rng.bounded(12); ++i) {
            // Printable characters including commas, quotes and blanks; no line ends.
            text += QChar(static_cast<char16_t>(rng.bounded(0x20, 0x7f)));
        }
        v.knum = text;
        v.ktemp = text + QStringLiteral("℃");
        v.kpt = (rng.generateDouble() - 0.5) * std::pow(10.0, rng.bounded(-6, 12));
        v.kadj = rng.bounded(1000) / 8.0;
        v.ksetq = v.kadj * 1000;
        v.kstart = static_cast<qint32>(rng.generate());
        v.kstop = -static_cast<qint32>(rng.bounded(1000));
        ASSERT_TRUE(file.save(QStringLiteral("1"), v));

        InputValues back;
        ASSERT_TRUE(file.load(QStringLiteral("1"), back));
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(back.knum, v.knum);
        EXPECT_EQ(back.ktemp, v.ktemp);
        EXPECT_NEAR(back.kpt, v.kpt, std::fabs(v.kpt) * 1e-14);
        EXPECT_EQ(back.kadj, v.kadj);
        EXPECT_EQ(back.ksetq, v.ksetq);
        EXPECT_EQ(back.kstart, v.kstart);
        EXPECT_EQ(back.kstop, v.kstop);
    }
}

TEST_F(SettingsTest, ArbitraryBytesNeverBreakTheLoader) {
    QRandomGenerator rng(77);
    const QByteArray alphabet = "0123456789.-+eE ,\"\r\n\tx\xff\xc3";
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes;
        const int size = rng.bounded(200);
        for (int i = 0; i < size; ++i) {
            bytes += rng.bounded(4) == 0 ? static_cast<char>(rng.bounded(256))
                                         : alphabet[rng.bounded(alphabet.size())];
        }
        writeBytes(iniPath(), bytes);
        InputValues v = InputValues::of(Globals());
        file.load(QStringLiteral("1"), v);
        EXPECT_TRUE(std::isfinite(v.kpt) && std::isfinite(v.kadj) && std::isfinite(v.ksetq))
            << bytes.toHex().toStdString();
    }
}

TEST_F(SettingsTest, ACountLineIsTakenWhenItFitsAndStopsTheLoadWhenItDoesNot) {
    QRandomGenerator rng(31);
    for (int round = 0; round < 500; ++round) {
        QString digits = rng.bounded(2) ? QStringLiteral("-") : QString();
        const int count = rng.bounded(1, 21);
        for (int i = 0; i < count; ++i) {
            digits += QChar(static_cast<char16_t>(u'0' + rng.bounded(10)));
        }
        writeBytes(iniPath(), "n\r\n1\r\n20\r\n59\r\n 100 \r\n 1 \r\n 1 \r\n " + digits.toLatin1() +
                                  " \r\n 9 \r\n");
        const double value = digits.toDouble();
        InputValues v = InputValues::of(Globals());
        const bool complete = file.load(QStringLiteral("1"), v);
        SCOPED_TRACE(digits.toStdString());
        if (value >= std::numeric_limits<qint32>::min() &&
            value <= std::numeric_limits<qint32>::max()) {
            EXPECT_TRUE(complete);
            EXPECT_EQ(v.kstart, static_cast<qint32>(value));
            EXPECT_EQ(v.kstop, 9);
        } else {
            EXPECT_FALSE(complete);
            EXPECT_EQ(v.kstart, 50);
            EXPECT_EQ(v.kstop, 0);
        }
    }
}

}  // namespace
}  // namespace kr5
