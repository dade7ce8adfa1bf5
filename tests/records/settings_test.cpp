// The input constants' form and their settings file per port. The number reading rules are in
// numbertext_test.cpp, the Input const window in recordswindows_test.cpp.
#include "records/constantsform.h"
#include "records/settingsfile.h"
#include "recordstest.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <thread>
#include <tuple>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kr5 {
namespace {

using recordstest::readBytes;
using recordstest::writeBytes;

struct SettingsTest : ::testing::Test {
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
    EXPECT_EQ(form.loadSettings(), QString()) << "no file is nothing to report";
    const InputFields& f = form.fields;
    EXPECT_EQ(QStringList({f.name, f.number, f.temperature, f.humidity, f.ptRatio, f.adjust,
                           f.start, f.stop}),
              QStringList({"no name", "1", "20", "59", " 100", "1", "50", "0"}));
    EXPECT_EQ(f.setQIndex, 0);
    EXPECT_EQ(form.setQText(), QStringLiteral("1"));
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
    form.fields = {"no name", "1", "20", "59", "12abc", "-0.25", "2.5", "3.5", 2, std::nullopt};
    ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    EXPECT_EQ(
        std::tuple(constants.ptRatio, constants.setQ, constants.startCount, constants.stopCount),
        std::tuple(12.0, -1.25, 2, 4));
    EXPECT_EQ(readBytes(iniPath()), QByteArray("no name\r\n1\r\n20\r\n59\r\n 12 \r\n-.25 \r\n"
                                               "-1.25 \r\n 2 \r\n 4 \r\n"));

    form.fields.adjust = QStringLiteral("0.5");
    form.fields.setQIndex = 9;
    EXPECT_EQ(form.setQText(), QStringLiteral("500"));
    EXPECT_EQ(constants.setQ, -1.25) << "the label alone changes nothing";
    ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    EXPECT_EQ(std::pair(constants.setQ, constants.setQIndex), std::pair(500.0, 9.0));
    form.fields.setQIndex = 3;
    form.fields.adjust = QStringLiteral("2.5pC");
    EXPECT_EQ(form.setQText(), QStringLiteral("25"));
    form.fields.adjust = QStringLiteral("abc");
    EXPECT_EQ(form.setQText(), QStringLiteral("0"));
}

// CANCEL and a restart bring back what OK stored: texts with commas and quotes whole,
// without shifting the values after them, and numbers to their last digit; never the name.
TEST_F(SettingsTest, CancelAndRestartBringBackTheLastOkButNotTheName) {
    form.fields = {"cable 7",     "A-1, second try",      "\"23\" indoors",
                   "  55 , dry ", "-123456.789012345e-3", "1",
                   "-2147483648", "2147483647",           0,
                   std::nullopt};
    ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    form.fields.name = QStringLiteral("typed, not confirmed");
    form.fields.number = QStringLiteral("43");
    form.cancel();
    EXPECT_EQ(QStringList({form.fields.name, form.fields.number}),
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

// After a restart the scroll bar stands at the step that gives the Set Q stored, and a Set Q
// that is no step is shown and kept as it is until the bar is moved: OK never changes Set Q
// the operator did not touch.
TEST_F(SettingsTest, TheSetQStoredIsShownAndKeptAfterARestart) {
    const struct {
        const char* setQ;
        int index;
        const char* shown;
    } cases[] = {{" 20 ", 4, "20"}, {" 7 ", 2, "7"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setQ);
        writeBytes(iniPath(), QByteArray("x\r\n1\r\n20\r\n59\r\n 100 \r\n 1 \r\n") + c.setQ +
                                  "\r\n 50 \r\n 0 \r\n");
        form.loadSettings();
        EXPECT_EQ(std::pair(form.fields.setQIndex, form.setQText()),
                  std::pair(c.index, QString::fromLatin1(c.shown)));
        ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
        EXPECT_EQ(constants.setQ, form.setQText().toDouble());
    }
    form.moveSetQ(3);
    EXPECT_EQ(form.setQText(), QStringLiteral("10"));
}

// Each value is taken while its line is there and fits; the first that does not ends the
// reading and the values after it keep their defaults. Each line is read up to 1 KiB and no
// line after the ninth: a longer line ends the reading as a number that does not fit does,
// so a huge file costs no more than a normal one and a name OK stored always reads back.
TEST_F(SettingsTest, AShortBrokenOrHugeFileKeepsTheValuesBeforeTheFailurePoint) {
    const QByteArray texts = "n\r\n7\r\n21\r\n60\r\n";  // name, No., Temp. and RH
    const QByteArray longest(SettingsFile::maxLineBytes, '7');
    const QByteArray tooLong(SettingsFile::maxLineBytes + 1, '7');
    const QByteArray numbers = " 222 \r\n 2 \r\n 2 \r\n 60 \r\n";  // lines 5 to 8
    // The file, whether it is complete, and the values read.
    const std::tuple<QByteArray, bool, QByteArray, double, double, qint32, qint32> cases[] = {
        {texts, false, "7", 100, 1, 50, 0},
        {texts + " 300 \r\n", false, "7", 300, 1, 50, 0},
        {texts + " 300 \n 2 \n 4 \n 60", false, "7", 300, 2, 60, 0},  // LF alone, no last end
        {texts + " 1e999 \r\n 2 \r\n 4 \r\n 60 \r\n 5 \r\n", false, "7", 100, 1, 50, 0},
        {texts + "\"12\",x\r\n 3 , 4\r\n abc\r\n 60 \r\n 5 \r\n", true, "7", 12, 3, 60, 5},
        {texts + "\"12\r\n 1 \r\n 1 \r\n -2147483648 \r\n 9 \r\n", true, "7", 12, 1, INT32_MIN, 9},
        {texts + " 1 \r\n 1 \r\n 1 \r\n 2147483648 \r\n 9 \r\n", false, "7", 1, 1, 50, 0},
        {texts + " 1 \r\n 1 \r\n 1 \r\n 8 \r\n -99999999999 \r\n", false, "7", 1, 1, 8, 0},
        // No number for PT ratio and Adjust: the defaults stay, the rest is read.
        {texts + " junk \r\n 0 \r\n 4 \r\n 60 \r\n 5 \r\n", true, "7", 100, 1, 60, 5},
        // A first line of 4 MB.
        {QByteArray(4 << 20, 'n') + "\r\n9\r\n30\r\n70\r\n" + numbers + " 1", false, "1", 100, 1,
         50, 0},
        // A line of the longest, with CR LF or LF alone, and one a byte longer.
        {"n\r\n" + longest + "\r\n30\r\n70\r\n" + numbers + " 1", true, longest, 222, 2, 60, 1},
        {"n\n" + longest + "\n30\n70\n 222 \n 2 \n 2 \n 60 \n 1\n", true, longest, 222, 2, 60, 1},
        {"n\r\n" + tooLong + "\r\n30\r\n70\r\n" + numbers + " 1", false, "1", 100, 1, 50, 0},
        // A last line without an end, one byte too long.
        {"n\r\n9\r\n30\r\n70\r\n" + numbers + " 1" +
             QByteArray(SettingsFile::maxLineBytes - 1, ' '),
         false, "9", 222, 2, 60, 0},
        // Nine lines and 4 MB after them.
        {"n\r\n9\r\n30\r\n70\r\n" + numbers + " 1\r\n" +
             QByteArray(4 << 20, 'x').replace("xx", "\r\n"),
         true, "9", 222, 2, 60, 1},
    };
    for (const auto& [bytes, complete, number, ptRatio, adjust, startCount, stopCount] : cases) {
        SCOPED_TRACE(bytes.left(40).toStdString());
        writeBytes(iniPath(), bytes);
        InputConstants fresh;
        EXPECT_EQ(file.load(QStringLiteral("1"), fresh), complete);
        EXPECT_EQ(std::tuple(fresh.number.toLatin1(), fresh.ptRatio, fresh.adjust, fresh.startCount,
                             fresh.stopCount),
                  std::tuple(number, ptRatio, adjust, startCount, stopCount));
    }
    writeBytes(iniPath(), texts + " junk \r\n 0 \r\n 4 \r\n 60 \r\n 5 \r\n");
    QString said;
    InputConstants zero;
    file.load(QStringLiteral("1"), zero, &said);
    EXPECT_TRUE(said.contains(QStringLiteral("The settings file %1, line 5: PT ratio 0 would make "
                                             "every reading")
                                  .arg(QDir::toNativeSeparators(iniPath()))) &&
                said.contains(QStringLiteral("line 6: Adjust 0")))
        << said.toStdString();
    writeBytes(iniPath(), "n\r\n7\r\n");  // ends among the texts
    InputConstants shortFile;
    EXPECT_FALSE(file.load(QStringLiteral("1"), shortFile));
    EXPECT_EQ(std::pair(shortFile.number, shortFile.temperature),
              std::pair(QStringLiteral("7"), QStringLiteral("20")));

    form.loadSettings();
    form.fields.name = QString(SettingsFile::maxLineBytes, QLatin1Char('n'));
    ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    InputConstants restarted;
    EXPECT_TRUE(file.load(QStringLiteral("1"), restarted));
}

// OK refused for a number out of range, or not written (a folder in the file's way):
// reported, nothing stored or signalled, the edits kept for another try.
TEST_F(SettingsTest, ARefusedOrUnwrittenOkChangesNothing) {
    form.loadSettings();
    int changed = 0;
    QObject::connect(&form, &ConstantsForm::constantsChanged, [&] { ++changed; });
    form.fields.number = QStringLiteral("99");
    form.fields.setQIndex = 1;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("kr5au1.ini")));
    using R = ConstantsForm::OkResult;
    const std::string tooLong(SettingsFile::maxLineBytes + 1, 'n');
    for (const auto& [field, text, result, problem] :
         {std::tuple{&InputFields::name, tooLong.c_str(), R::Refused, "Name"},
          {&InputFields::humidity, tooLong.c_str(), R::Refused, "RH"},
          {&InputFields::start, "3000000000", R::Refused, "Start Count"},
          {&InputFields::stop, "-1e10", R::Refused, "Stop Count"},
          {&InputFields::adjust, "1e999", R::Refused, "Adjust"},
          {&InputFields::adjust, "2", R::NotWritten, "kr5au1.ini"}}) {
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
    form.fields.adjust = QStringLiteral("2");
    EXPECT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    EXPECT_TRUE(form.problem().isEmpty());
    EXPECT_EQ(std::tuple(constants.number, constants.setQ, changed),
              std::tuple(QStringLiteral("99"), 4.0, 1));
}

// A calibration's Adjust goes in as OK would put it, Set Q kept as the operator set it, the
// file and the fields show it (typed edits not yet confirmed are dropped). A file that cannot be
// written, or a value that is no number, changes nothing.
TEST_F(SettingsTest, StoreAdjustSavesTheConstantsInForceWithTheNewAdjustAndRefillsTheFields) {
    form.fields = {"no name", "1", "20", "59", "250", "1", "50", "0", 3, std::nullopt};
    ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    form.fields.number = QStringLiteral("typed, not confirmed");
    std::string order;
    QObject::connect(&form, &ConstantsForm::constantsChanged, [&] { order += "changed "; });
    QObject::connect(&form, &ConstantsForm::fieldsLoaded, [&] { order += "loaded "; });
    ASSERT_EQ(form.storeAdjust(2.5), ConstantsForm::OkResult::Saved);
    EXPECT_EQ(std::tuple(constants.adjust, constants.setQ, constants.ptRatio, order),
              std::tuple(2.5, 10.0, 250.0, std::string("changed loaded ")));
    EXPECT_EQ(QStringList({form.fields.adjust, form.fields.number}), QStringList({"2.5", "1"}));
    const QByteArray saved = readBytes(iniPath());
    EXPECT_EQ(saved,
              QByteArray("no name\r\n1\r\n20\r\n59\r\n 250 \r\n 2.5 \r\n 10 \r\n 50 \r\n 0 \r\n"));

    ASSERT_TRUE(QFile::remove(iniPath()) && QDir(dir.path()).mkdir(QStringLiteral("kr5au1.ini")));
    EXPECT_EQ(form.storeAdjust(4.0), ConstantsForm::OkResult::NotWritten);
    EXPECT_TRUE(form.problem().contains(QLatin1String("kr5au1.ini")));
    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("kr5au1.ini")));
    writeBytes(iniPath(), saved);
    EXPECT_EQ(form.storeAdjust(std::nan("")), ConstantsForm::OkResult::Refused);
    EXPECT_EQ(std::tuple(constants.adjust, form.fields.adjust, order, readBytes(iniPath())),
              std::tuple(2.5, QStringLiteral("2.5"), std::string("changed loaded "), saved));
}

#ifdef Q_OS_UNIX
// A path that is no regular file is never opened, since a FIFO would hold the start until
// something writes to it and a device might never end: the defaults stay and the form says
// which file it ignored, for the program to show.
TEST_F(SettingsTest, APathThatIsNoRegularFileIsIgnoredWithAMessageNamingIt) {
    const QString path = iniPath();
    const QByteArray name = QFile::encodeName(path);
    const std::pair<const char*, std::function<bool()>> cases[] = {
        {"a FIFO", [&] { return ::mkfifo(name.constData(), 0600) == 0; }},
        {"a device", [&] { return QFile::link(QStringLiteral("/dev/null"), path); }},
        {"a folder", [&] { return QDir(dir.path()).mkdir(QStringLiteral("kr5au1.ini")); }},
    };
    for (const auto& [what, make] : cases) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(make());
        InputConstants fresh;
        ConstantsForm startForm(fresh, file);
        startForm.setPortDigit(QStringLiteral("1"));
        // Whatever opens the path for reading gets another settings file through it: a FIFO
        // that the load opened would give these values instead of holding the test for ever.
        std::atomic<bool> loaded{false};
        std::thread feeder([&] {
            static const char other[] =
                "x\r\n9\r\n30\r\n70\r\n 222 \r\n 2 \r\n 2 \r\n 60 \r\n 1 \r\n";
            // Opening to write without waiting needs a reader there; a load that never comes
            // to the path is given 10 s.
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!loaded && std::chrono::steady_clock::now() < giveUp) {
                const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    [[maybe_unused]] const auto written = ::write(fd, other, sizeof other - 1);
                    ::close(fd);
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
        const QString message = startForm.loadSettings();
        loaded = true;
        feeder.join();
        EXPECT_EQ(message, QStringLiteral("The settings file %1 is not a regular file and was not "
                                          "read. The default input constants are used.")
                               .arg(QDir::toNativeSeparators(path)));
        EXPECT_EQ(
            QStringList({startForm.fields.number, startForm.fields.ptRatio, startForm.fields.stop}),
            QStringList({"1", " 100", "0"}));
        ASSERT_TRUE(QFile::remove(path) || QDir(dir.path()).rmdir(QStringLiteral("kr5au1.ini")));
    }
}
#endif

}  // namespace
}  // namespace kr5
