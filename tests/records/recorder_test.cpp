// File > Save and the recording: the prepared file with its header, REC ON, PAUSE and
// CLOSE with their markers and captions, data rows, the Q-N markers, and writes that
// fail for a while and lose nothing.
#include "records/recorder.h"
#include "platform/virtualclock.h"
#include "records/measurementfile.h"
#include "records/recordlines.h"
#include "recordstest.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace kr5 {
namespace {

using recordstest::crlfLines;

// The lines of a file, without their CR LF.
using Lines = QList<QByteArray>;

class RecorderTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    Globals g;
    VirtualClock clock{QDateTime(QDate(2026, 3, 9), QTime(14, 5, 9))};
    VirtualPump pump{clock};
    Timing timing{g, clock, pump};
    SettingsFile settings{dir.path()};
    InputConstants constants{g, settings};
    Recorder recorder{g, timing, clock};
    test::FakeDialogs dialogs;
    MeasurementFile csave{g, dialogs, clock, constants, recorder};

    QString csvPath = dir.filePath(QStringLiteral("t1.csv"));
    QStringList captions;        // of Option1, as they change
    std::vector<bool> prepared;  // preparedChanged, in order
    QStringList problems;
    int recovered = 0;
    QString mainCaption;
    int inputConstShown = 0;

    RecorderTest() {
        g.portstr = QStringLiteral("1");
        constants.ksetv();
        constants.fields.name = QStringLiteral("cable 7");
        QObject::connect(&recorder, &Recorder::recOnCaptionChanged,
                         [this](const QString& c) { captions << c; });
        QObject::connect(&recorder, &Recorder::preparedChanged,
                         [this](bool p) { prepared.push_back(p); });
        recorder.onWriteProblem = [this](const QString& text) { problems << text; };
        recorder.onWriteRecovered = [this] { ++recovered; };
        csave.setCaption = [this](const QString& c) { mainCaption = c; };
        csave.showInputConst = [this] { ++inputConstShown; };
    }

    void prepare() {
        dialogs.savePaths.push_back(csvPath);
        ASSERT_TRUE(csave.csaveClick());
    }

    // The lines after the 14 header lines.
    Lines body() const { return crlfLines(csvPath).mid(14); }

    void reading(double q) { recorder.dataRow(2, q, 1, 10, 1000); }
};

// A marker line and the data row of reading(q), as the file holds them.
QByteArray marker(const char* tag, const char* time = "14:05:09") {
    return QByteArray("\"") + tag + "\",\"" + time + "\",\"dummy\",\"dummy\",\"dummy\"";
}
QByteArray row(int q) {
    return " 2," + QByteArray::number(q) + ".0, 1,10.0,1000.0";
}

// The name tested is the field, so a name typed but not confirmed passes, while the name
// written is the confirmed one ("no name" here).
TEST_F(RecorderTest, SaveAsksForTheFileAndWritesTheHeader) {
    g.ktemp = QStringLiteral("20℃");
    prepare();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    const Dialogs::SaveRequest& r = dialogs.saveRequests[0];
    EXPECT_EQ(r.title, QStringLiteral("Save"));
    EXPECT_EQ(r.fileName, QStringLiteral("test.csv"));
    EXPECT_EQ(r.filter, QStringLiteral("CSV File(*.csv)|*.csv|"));
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_TRUE(r.askOverwrite);

    // The lines of the header in the system's encoding, each with CR LF.
    Lines header;
    for (const QString& line : headerLines(g, QDate(2026, 3, 9))) {
        header << line.toLocal8Bit();
    }
    EXPECT_EQ(crlfLines(csvPath), header);
    EXPECT_TRUE(header[0].contains("no name"));
    EXPECT_EQ(g.csvfile, csvPath);
    EXPECT_EQ(mainCaption, QStringLiteral("KR-5(1)>") + QDir::toNativeSeparators(csvPath));
    EXPECT_TRUE(recorder.csvready());
    EXPECT_FALSE(recorder.recOnSelected());
    EXPECT_EQ(prepared, std::vector<bool>{true});
}

TEST_F(RecorderTest, NoNameIsRefusedWithTheInputConstWindow) {
    constants.fields.name = QStringLiteral("no name");
    EXPECT_FALSE(csave.csaveClick());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Can not Save under no name."));
    EXPECT_EQ(dialogs.shown[0].buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(inputConstShown, 1);
    EXPECT_TRUE(dialogs.saveRequests.empty());
    EXPECT_FALSE(recorder.csvready());

    // The test is exact: another case is a name.
    constants.fields.name = QStringLiteral("No Name");
    prepare();
    EXPECT_EQ(dialogs.shown.size(), 1u);
}

// A cancelled dialog, and a file that cannot be created (reported), change nothing.
TEST_F(RecorderTest, CancellingOrAFileThatCannotBeCreatedChangesNothing) {
    g.csvfile = QStringLiteral("earlier.csv");
    EXPECT_FALSE(csave.csaveClick());  // no path queued: cancelled
    EXPECT_TRUE(dialogs.shown.empty());
    dialogs.savePaths.push_back(dir.filePath(QStringLiteral("gone/t1.csv")));
    EXPECT_FALSE(csave.csaveClick());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("t1.csv")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("gone"))));
    EXPECT_EQ(g.csvfile, QStringLiteral("earlier.csv"));
    EXPECT_TRUE(mainCaption.isEmpty());
    EXPECT_FALSE(recorder.csvready());
    EXPECT_TRUE(prepared.empty());
}

TEST_F(RecorderTest, RecordThreeReadingsThenPause) {
    prepare();
    recorder.option2Click();  // PAUSE is selected already: nothing happens
    recorder.option1Click();
    recorder.option1Click();  // and so for REC ON while it is selected
    EXPECT_TRUE(g.recon);
    reading(1);
    reading(2);
    reading(3);
    EXPECT_EQ(captions, (QStringList{" 1", " 2", " 3"}));
    const qint64 t0 = clock.nowMs();
    recorder.option2Click();
    EXPECT_EQ(clock.nowMs() - t0, 100) << "PAUSE waits 100 ms before its marker";
    EXPECT_FALSE(g.recon);
    EXPECT_EQ(captions, (QStringList{" 1", " 2", " 3", "REC ON"}));
    EXPECT_EQ(body(), (Lines{marker("RECON"), row(1), row(2), row(3), marker("PAUSE")}));

    // A reading while paused writes nothing; REC ON again goes on counting.
    reading(4);
    recorder.option1Click();
    reading(5);
    EXPECT_EQ(recorder.recno(), 4);
    EXPECT_EQ(captions.constLast(), QStringLiteral(" 4"));
    EXPECT_EQ(body().mid(5), (Lines{marker("RECON"), row(5)}));
}

TEST_F(RecorderTest, CloseWhilePausedWritesOnlyRecoff) {
    prepare();
    recorder.option1Click();
    reading(1);
    recorder.option2Click();
    clock.advanceMs(60'000);
    recorder.bcloseClick();
    EXPECT_EQ(body().mid(3), (Lines{marker("RECOFF", "14:06:09")}));
    EXPECT_FALSE(recorder.csvready());
    EXPECT_EQ(prepared, (std::vector<bool>{true, false}));
}

TEST_F(RecorderTest, CloseWhileRecordingWritesRecoffThenPauseAfterTwoWaits) {
    clock.advanceMs(950);  // 14:05:09.95: the first wait crosses into the next second
    prepare();
    recorder.option1Click();
    reading(1);
    const qint64 t0 = clock.nowMs();
    recorder.bcloseClick();
    EXPECT_EQ(clock.nowMs() - t0, 200);
    EXPECT_FALSE(g.recon);
    EXPECT_FALSE(recorder.recOnSelected());
    EXPECT_EQ(recorder.recOnCaption(), QStringLiteral("REC ON"));
    EXPECT_EQ(body(), (Lines{marker("RECON"), row(1), marker("RECOFF", "14:05:10"),
                             marker("PAUSE", "14:05:10")}));

    // Nothing more goes to the closed file, and File > Save may prepare a new one.
    reading(2);
    recorder.option1Click();
    EXPECT_EQ(body().size(), 4);
    csvPath = dir.filePath(QStringLiteral("t2.csv"));
    prepare();
    EXPECT_EQ(recorder.recno(), 0);
}

TEST_F(RecorderTest, ClicksDuringTheWaitOfPauseAreNotTaken) {
    prepare();
    recorder.option1Click();
    clock.scheduleInMs(50, [this] { recorder.option1Click(); });
    recorder.option2Click();
    EXPECT_FALSE(g.recon);
    EXPECT_FALSE(recorder.recOnSelected());
    EXPECT_EQ(body().size(), 2);  // RECON, PAUSE
}

TEST_F(RecorderTest, QnStepRowsAndMarkersOnlyWhileRecording) {
    prepare();
    g.qncond = QStringLiteral("dry");
    g.qntv = QStringLiteral(" 12.5kV");
    g.qnloops = 5;
    recorder.appendQnStart();
    recorder.appendQnEnd();
    EXPECT_TRUE(body().isEmpty());

    recorder.option1Click();
    recorder.appendQnStart();
    recorder.dataRow(7, 200 * 1.5, 0, 17, 0);
    recorder.appendQnEnd();
    EXPECT_EQ(body().mid(1), (Lines{R"("QNstartD","14:05:09","dry"," 12.5kV", 5)",
                                    " 7,300.0, 0,17.0,.0", marker("QNend")}));
}

TEST_F(RecorderTest, RowsFollowTheMeasurementFileWhenAnotherSaveMovesIt) {
    prepare();
    recorder.option1Click();
    reading(1);
    const QString vqFile = dir.filePath(QStringLiteral("testCSV.csv"));
    g.csvfile = vqFile;
    reading(2);
    EXPECT_EQ(body().size(), 2);
    EXPECT_EQ(crlfLines(vqFile), (Lines{row(2)}));
}

TEST_F(RecorderTest, AFolderRemovedMidRecordingLosesNoRow) {
    const QString sub = dir.filePath(QStringLiteral("run"));
    ASSERT_TRUE(QDir().mkpath(sub));
    csvPath = sub + QStringLiteral("/t1.csv");
    prepare();
    recorder.option1Click();
    reading(1);

    ASSERT_TRUE(QDir(sub).removeRecursively());
    reading(2);
    reading(3);
    recorder.option2Click();
    recorder.option1Click();
    EXPECT_EQ(recorder.waitingCount(), 4);
    ASSERT_EQ(problems.size(), 4);
    EXPECT_TRUE(problems.constLast().contains(csvPath)) << problems.constLast().toStdString();
    EXPECT_TRUE(problems.constLast().contains(QStringLiteral("4 lines")));
    EXPECT_EQ(recorder.recno(), 3) << "recording goes on";

    // The folder comes back, empty; the next write puts every kept line first, in order.
    ASSERT_TRUE(QDir().mkpath(sub));
    reading(4);
    EXPECT_EQ(recorder.waitingCount(), 0);
    EXPECT_EQ(recovered, 1);
    EXPECT_EQ(crlfLines(csvPath),
              (Lines{row(2), row(3), marker("PAUSE"), marker("RECON"), row(4)}));
}

}  // namespace
}  // namespace kr5
