// The input constants' form and their settings file: the file per port with its nine
// lines, the reading of fields and file lines, OK and CANCEL, and refusals that change
// nothing. The number reading rules alone are in numbertext_test.cpp, the Input const
// window in recordswindows_test.cpp.
#include "records/constantsform.h"
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
    InputConstants constants;
    ConstantsForm form{constants, file};

    SettingsTest() { form.setPortDigit(QStringLiteral("1")); }

    QString iniPath(const char* port = "1") const {
        return dir.filePath(QStringLiteral("kr5au%1.ini").arg(QLatin1String(port)));
    }
};

TEST_F(SettingsTest, EachPortHasItsOwnFileInTheWorkingDirectoryByDefault) {
    EXPECT_EQ(SettingsFile().path(QStringLiteral("1")), QStringLiteral("kr5au1.ini"));
    writeBytes(iniPath("1"), "x\r\n1\r\n20\r\n59\r\n 111 \r\n 1 \r\n 1 \r\n 50 \r\n 0 \r\n");
    writeBytes(iniPath("2"), "x\r\n2\r\n20\r\n59\r\n 222 \r\n 1 \r\n 1 \r\n 50 \r\n 0 \r\n");
    form.setPortDigit(QStringLiteral("2"));
    form.loadSettings();
    EXPECT_EQ(constants.ptRatio, 222.0);
    EXPECT_EQ(constants.number, QStringLiteral("2"));
}

TEST_F(SettingsTest, FirstStartShowsTheDefaultsAndOkWritesTheNineLines) {
    form.loadSettings();
    const InputFields& f = form.fields;
    EXPECT_EQ(QStringList({f.name, f.num, f.temp, f.rh, f.pt, f.adj, f.start, f.stop}),
              QStringList({"no name", "1", "20", "59", " 100", "1", "50", "0"}));
    EXPECT_EQ(f.qidx, 0);
    EXPECT_EQ(form.setqText(), QStringLiteral("1"));
    EXPECT_EQ(constants.setQ, 1.0);
    ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    EXPECT_EQ(readBytes(iniPath()),
              QByteArray("no name\r\n1\r\n20\r\n59\r\n 100 \r\n 1 \r\n 1 \r\n 50 \r\n 0 \r\n"));
}

// Leading numbers are taken, counts rounded half to even, and the file has the number
// form of each value between blanks.
TEST_F(SettingsTest, OkReadsLeadingNumbersAndWritesTheFileNumberForm) {
    form.loadSettings();
    form.fields.pt = QStringLiteral("12abc");
    form.fields.adj = QStringLiteral("-0.25");
    form.fields.qidx = 2;
    form.fields.start = QStringLiteral("2.5");
    form.fields.stop = QStringLiteral("3.5");
    ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    EXPECT_EQ(constants.ptRatio, 12.0);
    EXPECT_EQ(constants.setQ, -1.25);
    EXPECT_EQ(constants.startCount, 2);
    EXPECT_EQ(constants.stopCount, 4);
    EXPECT_EQ(readBytes(iniPath()), QByteArray("no name\r\n1\r\n20\r\n59\r\n 12 \r\n-.25 \r\n"
                                               "-1.25 \r\n 2 \r\n 4 \r\n"));
}

TEST_F(SettingsTest, ScrollBarAtNineWithAdjustHalfGivesFiveHundred) {
    form.loadSettings();
    form.fields.adj = QStringLiteral("0.5");
    form.fields.qidx = 9;
    EXPECT_EQ(form.setqText(), QStringLiteral("500"));
    EXPECT_EQ(constants.setQ, 1.0) << "the label alone changes nothing";
    ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    EXPECT_EQ(constants.setQ, 500.0);
    EXPECT_EQ(constants.setQIndex, 9.0);
    EXPECT_EQ(readBytes(iniPath()).split('\n').value(6), QByteArray(" 500 \r"));

    // The label shows what OK takes from an Adjust that is no number: its leading
    // number, or 0 for letters alone.
    form.fields.qidx = 3;
    form.fields.adj = QStringLiteral("2.5pC");
    EXPECT_EQ(form.setqText(), QStringLiteral("25"));
    form.fields.adj = QStringLiteral("abc");
    EXPECT_EQ(form.setqText(), QStringLiteral("0"));
    ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    EXPECT_EQ(constants.setQ, 0.0);
}

TEST_F(SettingsTest, CancelBringsBackTheLastOkButKeepsTheName) {
    form.loadSettings();
    form.fields.name = QStringLiteral("cable 7");
    form.fields.num = QStringLiteral("42");
    ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);

    form.fields.name = QStringLiteral("typed, not confirmed");
    form.fields.num = QStringLiteral("43");
    form.fields.qidx = 5;
    int loaded = 0;
    QObject::connect(&form, &ConstantsForm::fieldsLoaded, [&] { ++loaded; });
    form.cancel();
    EXPECT_EQ(loaded, 1) << "the window shows the fields again";
    EXPECT_EQ(constants.number, QStringLiteral("42"));
    EXPECT_EQ(form.fields.num, QStringLiteral("42"));
    EXPECT_EQ(form.fields.name, QStringLiteral("cable 7"));
    EXPECT_EQ(form.fields.qidx, 0);
}

// After a restart the name is not read back, and texts with commas and quotes are read
// back whole without shifting the values after them.
TEST_F(SettingsTest, TextsReadBackWholeAndTheNameNotAtAll) {
    form.loadSettings();
    form.fields.name = QStringLiteral("cable 7");
    form.fields.num = QStringLiteral("A-1, second try");
    form.fields.temp = QStringLiteral("\"23\" indoors");
    form.fields.rh = QStringLiteral("  55 , dry ");
    form.fields.pt = QStringLiteral("150");
    ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);

    InputConstants restarted;
    ConstantsForm again(restarted, file);
    again.setPortDigit(QStringLiteral("1"));
    again.loadSettings();
    EXPECT_EQ(restarted.name, QStringLiteral("no name"));
    EXPECT_EQ(again.fields.name, QStringLiteral("no name"));
    EXPECT_EQ(restarted.number, QStringLiteral("A-1, second try"));
    EXPECT_EQ(restarted.temperature, QStringLiteral("\"23\" indoors"));
    EXPECT_EQ(restarted.humidity, QStringLiteral("  55 , dry "));
    EXPECT_EQ(restarted.ptRatio, 150.0);
}

TEST_F(SettingsTest, AShortOrBrokenFileKeepsTheValuesAfterTheFailurePoint) {
    struct Case {
        const char* bytes;
        const char* number;
        double ptRatio;
        double adjust;
        qint32 startCount;
        qint32 stopCount;
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
        InputConstants fresh;
        file.load(QStringLiteral("1"), fresh);
        EXPECT_EQ(fresh.number, QLatin1String(c.number));
        EXPECT_EQ(fresh.ptRatio, c.ptRatio);
        EXPECT_EQ(fresh.adjust, c.adjust);
        EXPECT_EQ(fresh.startCount, c.startCount);
        EXPECT_EQ(fresh.stopCount, c.stopCount);
    }
}

TEST_F(SettingsTest, ANumberOutOfRangeIsRefusedAndChangesNothing) {
    form.loadSettings();
    form.fields.num = QStringLiteral("99");
    for (const auto& [field, text, caption] :
         {std::tuple{&InputFields::start, "3000000000", "Start Count"},
          {&InputFields::stop, "-1e10", "Stop Count"},
          {&InputFields::adj, "1e999", "Adjust"}}) {
        const QString kept = form.fields.*field;
        form.fields.*field = QLatin1String(text);
        EXPECT_EQ(form.ok(), ConstantsForm::OkResult::Refused) << text;
        EXPECT_TRUE(form.problem().contains(QLatin1String(caption)))
            << form.problem().toStdString();
        form.fields.*field = kept;
    }
    EXPECT_EQ(constants.number, QStringLiteral("1"));
    EXPECT_FALSE(QFile::exists(iniPath()));

    EXPECT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    EXPECT_TRUE(form.problem().isEmpty());
    EXPECT_EQ(constants.number, QStringLiteral("99"));
}

TEST_F(SettingsTest, AnUnwritableFileIsReportedAndChangesNothing) {
    form.loadSettings();
    int changed = 0;
    QObject::connect(&form, &ConstantsForm::constantsChanged, [&] { ++changed; });
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("kr5au1.ini")));  // a folder in the way
    form.fields.num = QStringLiteral("77");
    form.fields.adj = QStringLiteral("2");
    form.fields.qidx = 1;
    EXPECT_EQ(form.ok(), ConstantsForm::OkResult::NotWritten);
    EXPECT_TRUE(form.problem().contains(QStringLiteral("kr5au1.ini")))
        << form.problem().toStdString();
    EXPECT_EQ(constants.number, QStringLiteral("1"));
    EXPECT_EQ(constants.adjust, 1.0);
    EXPECT_EQ(constants.setQ, 1.0);
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(form.fields.num, QStringLiteral("77")) << "the edits stay for another try";

    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("kr5au1.ini")));
    EXPECT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    EXPECT_EQ(constants.setQ, 4.0);
    EXPECT_EQ(changed, 1);
}

TEST_F(SettingsTest, SavedValuesReadBackEqual) {
    QRandomGenerator rng(20260105);
    for (int round = 0; round < 200; ++round) {
        InputConstants v;
        QString text;
        for (int i = 0; i < rng.bounded(12); ++i) {
            // Printable characters including commas, quotes and blanks; no line ends.
            text += QChar(static_cast<char16_t>(rng.bounded(0x20, 0x7f)));
        }
        v.number = text;
        v.temperature = text + QStringLiteral("℃");
        v.ptRatio = (rng.generateDouble() - 0.5) * std::pow(10.0, rng.bounded(-6, 12));
        v.adjust = rng.bounded(1000) / 8.0;
        v.setQ = v.adjust * 1000;
        v.startCount = static_cast<qint32>(rng.generate());
        v.stopCount = -static_cast<qint32>(rng.bounded(1000));
        ASSERT_TRUE(file.save(QStringLiteral("1"), v));

        InputConstants back;
        ASSERT_TRUE(file.load(QStringLiteral("1"), back));
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(back.number, v.number);
        EXPECT_EQ(back.temperature, v.temperature);
        EXPECT_NEAR(back.ptRatio, v.ptRatio, std::fabs(v.ptRatio) * 1e-14);
        EXPECT_EQ(back.adjust, v.adjust);
        EXPECT_EQ(back.setQ, v.setQ);
        EXPECT_EQ(back.startCount, v.startCount);
        EXPECT_EQ(back.stopCount, v.stopCount);
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
        InputConstants v;
        file.load(QStringLiteral("1"), v);
        EXPECT_TRUE(std::isfinite(v.ptRatio) && std::isfinite(v.adjust) && std::isfinite(v.setQ))
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
        InputConstants v;
        const bool complete = file.load(QStringLiteral("1"), v);
        SCOPED_TRACE(digits.toStdString());
        if (value >= std::numeric_limits<qint32>::min() &&
            value <= std::numeric_limits<qint32>::max()) {
            EXPECT_TRUE(complete);
            EXPECT_EQ(v.startCount, static_cast<qint32>(value));
            EXPECT_EQ(v.stopCount, 9);
        } else {
            EXPECT_FALSE(complete);
            EXPECT_EQ(v.startCount, 50);
            EXPECT_EQ(v.stopCount, 0);
        }
    }
}

}  // namespace
}  // namespace kr5
