// The V-Q window's Save: the result file's outcomes.
#include "records/resultfile.h"
#include "measure/inception.h"
#include "platform/virtualclock.h"
#include "recordstest.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace kr5 {
namespace {

struct ResultFileTest : ::testing::Test {
    // A rise through Set Q 100 at 1200 V and a fall below it at 980 V, at 60 P.P.S.
    ResultFileTest() {
        constants.name = QStringLiteral("test1");
        constants.number = QStringLiteral("7");
        constants.setQ = 100;
        for (const auto& [charge, volts] :
             {std::pair{10, 1000}, {120, 1200}, {150, 1100}, {50, 980}}) {
            Reading r = recordstest::cycleReading(0, charge, 0, 60, volts);
            r.rawPeak = charge;  // at range 0, whose division is 1
            detector.judge(r);
        }
    }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    InputConstants constants;
    VirtualClock clock{QDateTime(QDate(2001, 4, 17), QTime(14, 5, 9))};
    InceptionDetector detector{constants, clock};
    test::FakeDialogs dialogs;

    // How a save asked now ended (the fake answers at once).
    std::optional<ResultSave> saved() {
        std::optional<ResultSave> how;
        saveResult(constants, detector, dialogs, [&how](ResultSave h) { how = h; });
        return how;
    }
};

TEST_F(ResultFileTest, SavedReplacesAnOlderFileWithTheTable) {
    const QString file = path("result.csv");
    recordstest::writeBytes(file, QByteArray(500, 'x'));  // an older, longer file
    dialogs.savePaths = {file};
    EXPECT_EQ(saved(), ResultSave::Saved);
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    const Dialogs::SaveRequest& r = dialogs.saveRequests[0];
    EXPECT_EQ(QStringList({r.title, r.fileName, r.filter}),
              QStringList({"Save", "testCSV.csv", "CSV File(*.csv)|*.csv|"}));
    EXPECT_EQ(std::pair(r.filterIndex, r.askOverwrite), std::pair(1, true));
    EXPECT_EQ(recordstest::readBytes(file),
              QByteArray("\"name\",\"no.\",\"CSV\",\"CEV\",\"date time\"\r\n"
                         "\"test1\",7,1200,980,\"04-17-2001 14:05:09\"\r\n"));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ResultFileTest, UnnamedCancelledAndNotWrittenLeaveNoFile) {
    const QString unwritable = path("missing/folder/r.csv");
    // What, the name, the path given (none: cancelled), the outcome, the dialogs asked and the
    // message shown (none: no message).
    const std::tuple<const char*, const char*, QString, ResultSave, size_t, QString> cases[] = {
        {"unnamed", "no name", path("r.csv"), ResultSave::Unnamed, 0,
         QStringLiteral("Can not Save under no name.")},
        {"cancelled", "test1", QString(), ResultSave::Cancelled, 1, QString()},
        {"not written", "test1", unwritable, ResultSave::NotWritten, 1,
         QStringLiteral("Can not write the file ") + QDir::toNativeSeparators(unwritable) +
             QLatin1Char('.')},
    };
    for (const auto& [what, name, queuedPath, outcome, dialogsAsked, message] : cases) {
        SCOPED_TRACE(what);
        dialogs = test::FakeDialogs();
        dialogs.savePaths = {queuedPath};
        constants.name = QLatin1String(name);
        EXPECT_EQ(saved(), outcome);
        EXPECT_EQ(dialogs.saveRequests.size(), dialogsAsked);
        ASSERT_EQ(dialogs.shown.size(), message.isEmpty() ? 0u : 1u);
        if (!message.isEmpty()) {
            EXPECT_EQ(dialogs.shown[0].text, message);
            EXPECT_EQ(dialogs.shown[0].buttons, Dialogs::Buttons::Ok);
        }
        EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }
}

}  // namespace
}  // namespace kr5
