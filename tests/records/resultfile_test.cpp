// The V-Q window's Save: the result file's outcomes (saved byte for byte, refused without
// a name, cancelled, not written) and that it leaves the measurement file and the
// recording alone. Finding the inception and extinction is tested in the measure suite,
// the Save menu item of the V-Q window in the charts suite.
#include "records/resultfile.h"
#include "measure/evaluation.h"
#include "platform/virtualclock.h"
#include "records/recorder.h"
#include "records/recordlines.h"
#include "recordstest.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace kr5 {
namespace {

using recordstest::acReply;
using recordstest::crlfLines;
using recordstest::detectorReply;
using recordstest::readBytes;

// A save dialog's request in one line.
QString requestText(const Dialogs::SaveRequest& r) {
    return QStringList{r.title, r.fileName, r.filter, QString::number(r.filterIndex),
                       QLatin1String(r.askOverwrite ? "ask" : "overwrite")}
        .join(QLatin1Char(' '));
}

class ResultFileTest : public ::testing::Test {
  protected:
    ResultFileTest() {
        constants.name = QStringLiteral("test1");
        constants.number = QStringLiteral("7");
        constants.setQ = 100;
        units.port = 1;
        units.unit(UnitKind::Detector) = FoundUnit{0, QStringLiteral("KR-5 V2.10")};
        units.unit(UnitKind::AcUnit) = FoundUnit{1, QStringLiteral("AU-1 V1.00")};
    }

    // A rise through Set Q at 1200 V and a fall below it at 980 V, at 60 P.P.S.
    void inceptionAndExtinction() {
        ReadingEvaluator evaluator(constants, units);
        const std::pair<Reply, int> readings[] = {
            {detectorReply(170, 102, 0, 0), 100},  // 10 pC at 1000 V
            {detectorReply(204, 102, 3, 0), 120},  // 120 pC at 1200 V: inception
            {detectorReply(255, 102, 3, 0), 110},  // 150 pC at 1100 V
            {detectorReply(170, 102, 2, 0), 98},   // 50 pC at 980 V: extinction
        };
        for (const auto& [x, esTenths] : readings) {
            detector.judge(evaluator.cycle({0, x, acReply(esTenths), Reply{}}));
        }
    }

    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    InputConstants constants;
    UnitsOnLine units;
    VirtualClock clock{QDateTime(QDate(2001, 4, 17), QTime(14, 5, 9))};
    InceptionDetector detector{constants, clock};
    test::FakeDialogs dialogs;
};

TEST_F(ResultFileTest, SavedReplacesAnOlderFileWithTheTable) {
    inceptionAndExtinction();
    const QString file = path("result.csv");
    recordstest::writeBytes(file, QByteArray(500, 'x'));  // an older, longer file
    dialogs.savePaths = {file};
    EXPECT_EQ(saveResult(constants, detector, dialogs), ResultSave::Saved);
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(requestText(dialogs.saveRequests[0]),
              QStringLiteral("Save testCSV.csv CSV File(*.csv)|*.csv| 1 ask"));
    EXPECT_EQ(readBytes(file), QByteArray("\"name\",\"no.\",\"CSV\",\"CEV\",\"date time\"\r\n"
                                          "\"test1\",7,1200,980,\"04-17-2001 14:05:09\"\r\n"));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ResultFileTest, UnnamedCancelledAndNotWrittenLeaveNoFile) {
    inceptionAndExtinction();
    struct Case {
        const char* what;
        const char* name;
        QString queuedPath;  // empty: the dialog is cancelled
        ResultSave outcome;
        size_t dialogsAsked;
        QString message;  // empty: none
    };
    const QString unwritable = path("missing/folder/r.csv");
    const Case cases[] = {
        {"unnamed", "no name", path("r.csv"), ResultSave::Unnamed, 0,
         QStringLiteral("Can not Save under no name.")},
        {"cancelled", "test1", QString(), ResultSave::Cancelled, 1, QString()},
        {"not written", "test1", unwritable, ResultSave::NotWritten, 1,
         QStringLiteral("Can not write the file ") + QDir::toNativeSeparators(unwritable) +
             QLatin1Char('.')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs = test::FakeDialogs();
        dialogs.savePaths = {c.queuedPath};
        constants.name = QLatin1String(c.name);
        EXPECT_EQ(saveResult(constants, detector, dialogs), c.outcome);
        EXPECT_EQ(dialogs.saveRequests.size(), c.dialogsAsked);
        ASSERT_EQ(dialogs.shown.size(), c.message.isEmpty() ? 0u : 1u);
        if (!c.message.isEmpty()) {
            EXPECT_EQ(dialogs.shown[0].text, c.message);
            EXPECT_EQ(dialogs.shown[0].buttons, Dialogs::Buttons::Ok);
        }
        EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }
}

// A result saved during a recording: the rows keep going to the measurement file, and the
// result file holds the table only.
TEST_F(ResultFileTest, SavingTheResultLeavesTheRecordingAlone) {
    VirtualPump pump{clock};
    Timing timing{clock, pump};
    Recorder recorder{timing, clock};
    const QString measurement = path("t1.csv");
    ASSERT_TRUE(recorder.prepare(measurement, {QStringLiteral("header")}, nullptr));
    recorder.recordOn();
    recorder.takeReading(recordstest::cycleReading(2, 1, 1, 10, 1000));

    inceptionAndExtinction();
    const bool standing = detector.inceptionStanding();
    const QString result = path("testCSV.csv");
    dialogs.savePaths = {result};
    ASSERT_EQ(saveResult(constants, detector, dialogs), ResultSave::Saved);
    const QByteArray table = readBytes(result);

    recorder.takeReading(recordstest::cycleReading(2, 2, 1, 10, 1000));
    EXPECT_EQ(recorder.filePath(), measurement);
    EXPECT_TRUE(recorder.recording());
    EXPECT_EQ(recorder.rowsWritten(), 2);
    EXPECT_EQ(crlfLines(measurement).mid(2),
              (QList<QByteArray>{" 2,1.0, 1,10.0,1000.0", " 2,2.0, 1,10.0,1000.0"}));
    EXPECT_EQ(readBytes(result), table);
    EXPECT_EQ(detector.inceptionStanding(), standing);
}

}  // namespace
}  // namespace kr5
