// File > Save and the recording: the stored name it checks, the prepared file with its
// header, REC ON, PAUSE and CLOSE with their markers and captions, the data row of each
// complete reading (with its Adjust), the row count, the Q-N markers, and writes that
// fail for a while and lose nothing. The layout of each line is tested in
// recordlines_test.cpp, the recording frame in recordswindows_test.cpp.
#include "records/recorder.h"
#include "core/format.h"
#include "measure/evaluation.h"
#include "platform/virtualclock.h"
#include "records/constantsform.h"
#include "records/measurementfile.h"
#include "records/recordlines.h"
#include "recordstest.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <optional>

namespace kr5 {
namespace {

using recordstest::acReply;
using recordstest::crlfLines;
using recordstest::cycleReading;
using recordstest::detectorReply;

// The lines of a file, without their CR LF.
using Lines = QList<QByteArray>;

class RecorderTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    VirtualClock clock{QDateTime(QDate(2026, 3, 9), QTime(14, 5, 9))};
    VirtualPump pump{clock};
    Timing timing{clock, pump};
    InputConstants constants;
    UnitsOnLine units;
    Recorder recorder{timing, clock};
    test::FakeDialogs dialogs;
    MeasurementFile measurementFile{constants, units, dialogs, clock, recorder};

    QString csvPath = dir.filePath(QStringLiteral("t1.csv"));
    QStringList captions;        // of Option1, as they change
    std::vector<bool> prepared;  // preparedChanged, in order
    QStringList problems;
    int recovered = 0;
    QString mainCaption;
    int namesNeeded = 0;

    RecorderTest() {
        units.port = 1;
        units.unit(UnitKind::Detector) = FoundUnit{0, QStringLiteral("KR-5 V2.10")};
        units.unit(UnitKind::AcUnit) = FoundUnit{1, QStringLiteral("AU-1 V1.00")};
        constants.name = QStringLiteral("cable 7");
        QObject::connect(&recorder, &Recorder::recOnCaptionChanged,
                         [this](const QString& c) { captions << c; });
        QObject::connect(&recorder, &Recorder::preparedChanged,
                         [this](bool p) { prepared.push_back(p); });
        QObject::connect(&recorder, &Recorder::writeProblem,
                         [this](const QString& text) { problems << text; });
        QObject::connect(&recorder, &Recorder::writeRecovered, [this] { ++recovered; });
        QObject::connect(&measurementFile, &MeasurementFile::captionChanged,
                         [this](const QString& c) { mainCaption = c; });
        QObject::connect(&measurementFile, &MeasurementFile::nameNeeded, [this] { ++namesNeeded; });
    }

    void prepare() {
        dialogs.savePaths.push_back(csvPath);
        ASSERT_TRUE(measurementFile.prepareFile());
    }

    // The lines after the 14 header lines.
    Lines body() const { return crlfLines(csvPath).mid(14); }

    void reading(double q) { recorder.takeReading(cycleReading(2, q, 1, 10, 1000)); }
};

// A marker line and the data row of reading(q), as the file holds them.
QByteArray marker(const char* tag, const char* time = "14:05:09") {
    return QByteArray("\"") + tag + "\",\"" + time + "\",\"dummy\",\"dummy\",\"dummy\"";
}
QByteArray row(int q) {
    return " 2," + QByteArray::number(q) + ".0, 1,10.0,1000.0";
}

TEST_F(RecorderTest, SaveAsksForTheFileAndWritesTheHeader) {
    constants.temperature = QStringLiteral("20℃");
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
    for (const QString& line : headerLines(constants, units, QDate(2026, 3, 9))) {
        header << line.toLocal8Bit();
    }
    EXPECT_EQ(crlfLines(csvPath), header);
    EXPECT_TRUE(header[0].contains("cable 7"));
    EXPECT_TRUE(header[11].contains("KR-5 V2.10"));
    EXPECT_EQ(recorder.filePath(), csvPath);
    EXPECT_EQ(mainCaption, QStringLiteral("KR-5(1)>") + QDir::toNativeSeparators(csvPath));
    EXPECT_TRUE(recorder.filePrepared());
    EXPECT_FALSE(recorder.recording());
    EXPECT_FALSE(recorder.recOnSelected());
    EXPECT_EQ(prepared, std::vector<bool>{true});

    // While the file is prepared File > Save does nothing at all.
    dialogs.savePaths.push_back(dir.filePath(QStringLiteral("t2.csv")));
    EXPECT_FALSE(measurementFile.prepareFile());
    EXPECT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(recorder.filePath(), csvPath);
}

// The name checked is the one OK stored, which is also the one the header carries: a
// name typed but not confirmed neither allows the save nor reaches the file.
TEST_F(RecorderTest, SaveChecksTheStoredNameNotTheNameField) {
    SettingsFile settings{dir.path()};
    ConstantsForm form{constants, settings};
    form.setPortDigit(QStringLiteral("1"));
    constants.name = QStringLiteral("no name");
    form.loadSettings();

    form.fields.name = QStringLiteral("typed, not confirmed");
    EXPECT_FALSE(measurementFile.prepareFile());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Can not Save under no name."));
    EXPECT_EQ(dialogs.shown[0].buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(namesNeeded, 1);
    EXPECT_TRUE(dialogs.saveRequests.empty());
    EXPECT_FALSE(recorder.filePrepared());
    EXPECT_TRUE(prepared.empty());

    form.fields.name = QStringLiteral("cable 7");
    ASSERT_EQ(form.ok(), ConstantsForm::OkResult::Saved);
    form.fields.name = QStringLiteral("no name");  // typed after OK, not confirmed
    prepare();
    EXPECT_EQ(crlfLines(csvPath).value(0),
              QByteArray(R"("Name","cable 7","dummy","dummy","dummy")"));
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(namesNeeded, 1);
}

TEST_F(RecorderTest, OnlyTheExactNoNameIsRefused) {
    constants.name = QStringLiteral("No Name");
    prepare();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(namesNeeded, 0);
}

// A cancelled dialog, and a file that cannot be created (reported), change nothing.
TEST_F(RecorderTest, CancellingOrAFileThatCannotBeCreatedChangesNothing) {
    EXPECT_FALSE(measurementFile.prepareFile());  // no path queued: cancelled
    EXPECT_TRUE(dialogs.shown.empty());
    dialogs.savePaths.push_back(dir.filePath(QStringLiteral("gone/t1.csv")));
    EXPECT_FALSE(measurementFile.prepareFile());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("t1.csv")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("gone"))));
    EXPECT_TRUE(recorder.filePath().isEmpty());
    EXPECT_TRUE(mainCaption.isEmpty());
    EXPECT_FALSE(recorder.filePrepared());
    EXPECT_TRUE(prepared.empty());
    EXPECT_EQ(namesNeeded, 0);
}

TEST_F(RecorderTest, RecordThreeReadingsThenPause) {
    reading(0);  // no file yet: nothing
    prepare();
    reading(0);                 // prepared, not recording: nothing
    recorder.pauseRecording();  // PAUSE is selected already: nothing happens
    recorder.recordOn();
    recorder.recordOn();  // and so for REC ON while it is selected
    EXPECT_TRUE(recorder.recording());
    reading(1);
    reading(2);
    reading(3);
    EXPECT_EQ(captions, (QStringList{" 1", " 2", " 3"}));
    const qint64 t0 = clock.nowMs();
    recorder.pauseRecording();
    EXPECT_EQ(clock.nowMs() - t0, 100) << "PAUSE waits 100 ms before its marker";
    EXPECT_FALSE(recorder.recording());
    EXPECT_EQ(captions, (QStringList{" 1", " 2", " 3", "REC ON"}));
    EXPECT_EQ(body(), (Lines{marker("RECON"), row(1), row(2), row(3), marker("PAUSE")}));

    // A reading while paused writes nothing and is not counted; REC ON again goes on
    // counting the rows of the file.
    reading(4);
    recorder.recordOn();
    reading(5);
    EXPECT_EQ(recorder.rowsWritten(), 4);
    EXPECT_EQ(captions.constLast(), QStringLiteral(" 4"));
    EXPECT_EQ(body().mid(5), (Lines{marker("RECON"), row(5)}));
}

// The row carries the charge with the Adjust of the constants (division x raw peak x
// Adjust), the pulse rate at the rate range the detector reported, and the test voltage.
TEST_F(RecorderTest, DataRowsCarryTheChargeWithItsAdjust) {
    struct Case {
        double adjust;
        double ptRatio;
        Reply detector;
        Reply ac;
        const char* row;
    };
    // 0x88 is 8 V of raw peak, 0x11 1 V, 0xFF 15 V; a rate code 0x55 is 50, 0x11 is 10.
    const Case cases[] = {
        {1.0, 100, detectorReply(0x88, 0x55, 3, 2), acReply(123), " 3,80.0, 2,500.0,1230.0"},
        {2.5, 100, detectorReply(0x88, 0x55, 3, 2), acReply(123), " 3,200.0, 2,500.0,1230.0"},
        {0.5, 1000, detectorReply(0x11, 0x11, 9, 3), acReply(50), " 9,500.0, 3,500.0,5000.0"},
        {0.04, 100, detectorReply(0xFF, 0x00, 0, 0), acReply(7), " 0,.6, 0,.0,70.0"},
        {3.0, 100, detectorReply(0x11, 0x11, 5, 1), acReply(200), " 5,150.0, 1,50.0,2000.0"},
    };
    prepare();
    recorder.recordOn();
    Lines expected{marker("RECON")};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        constants.adjust = c.adjust;
        constants.ptRatio = c.ptRatio;
        ReadingEvaluator evaluator(constants, units);
        const Reading r = evaluator.cycle({0, c.detector, c.ac, Reply{}});
        ASSERT_TRUE(r.complete());
        recorder.takeReading(r);
        expected << c.row;
    }
    EXPECT_EQ(body(), expected);
    EXPECT_EQ(recorder.rowsWritten(), 5);
}

// While recording, a row is written for each complete reading and for nothing else, and
// the counter on REC ON counts exactly the rows written.
TEST_F(RecorderTest, OnlyCompleteReadingsMakeRowsAndTheCounterCountsThem) {
    UnitsOnLine withoutAc = units;
    withoutAc.unit(UnitKind::AcUnit) = FoundUnit{};
    constants.adjust = 2.0;
    ReadingEvaluator evaluator(constants, units);
    ReadingEvaluator evaluatorWithoutAc(constants, withoutAc);
    const Reply x = detectorReply(0x88, 0x55, 3, 2);  // 8 V x 10 x 2 = 160 pC, 500 P.P.S.
    Reply garbled = x;
    garbled.text[4] = QLatin1Char('G');
    const Reply late{Reply::Status::Late, x.text};
    const Reply t = acReply(123);

    struct Case {
        const char* what;
        Reading reading;
        const char* row;  // null: no row
    };
    const Case cases[] = {
        {"complete", evaluator.cycle({0, x, t, {}}), " 3,160.0, 2,500.0,1230.0"},
        {"no detector reply", evaluator.cycle({0, Reply{}, t, {}}), nullptr},
        {"detector reply garbled", evaluator.cycle({0, garbled, t, {}}), nullptr},
        {"detector reply late", evaluator.cycle({0, late, t, {}}), nullptr},
        {"no AC reply", evaluator.cycle({0, x, Reply{}, {}}), nullptr},
        {"no AC unit on the line", evaluatorWithoutAc.cycle({0, x, Reply{}, {}}),
         " 3,160.0, 2,500.0,.0"},
        {"Q-N step without its count", evaluator.qnStep(7, std::nullopt, {0, x, t, {}}), nullptr},
        {"Q-N step", evaluator.qnStep(7, 17, {0, x, t, {}}), " 7,3200.0, 0,17.0,1230.0"},
        {"Q-N step without the detector", evaluator.qnStep(7, 17, {0, Reply{}, t, {}}), nullptr},
    };
    prepare();
    recorder.recordOn();
    Lines rows;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.reading.complete(), c.row != nullptr);
        recorder.takeReading(c.reading);
        if (c.row != nullptr) {
            rows << c.row;
        }
        EXPECT_EQ(body().mid(1), rows);
        EXPECT_EQ(recorder.rowsWritten(), rows.size());
        EXPECT_EQ(recorder.recOnCaption(), numberForm(static_cast<double>(rows.size())));
    }
}

TEST_F(RecorderTest, CloseWhilePausedWritesOnlyRecoff) {
    prepare();
    recorder.recordOn();
    reading(1);
    recorder.pauseRecording();
    clock.advanceMs(60'000);
    recorder.closeFile();
    EXPECT_EQ(body().mid(3), (Lines{marker("RECOFF", "14:06:09")}));
    EXPECT_FALSE(recorder.filePrepared());
    EXPECT_EQ(prepared, (std::vector<bool>{true, false}));
}

TEST_F(RecorderTest, CloseWhileRecordingWritesRecoffThenPauseAfterTwoWaits) {
    clock.advanceMs(950);  // 14:05:09.95: the first wait crosses into the next second
    prepare();
    recorder.recordOn();
    reading(1);
    const qint64 t0 = clock.nowMs();
    recorder.closeFile();
    EXPECT_EQ(clock.nowMs() - t0, 200);
    EXPECT_FALSE(recorder.recording());
    EXPECT_FALSE(recorder.recOnSelected());
    EXPECT_EQ(recorder.recOnCaption(), QStringLiteral("REC ON"));
    EXPECT_EQ(body(), (Lines{marker("RECON"), row(1), marker("RECOFF", "14:05:10"),
                             marker("PAUSE", "14:05:10")}));

    // Nothing more goes to the closed file, and File > Save may prepare a new one.
    reading(2);
    recorder.recordOn();
    EXPECT_EQ(body().size(), 4);
    csvPath = dir.filePath(QStringLiteral("t2.csv"));
    prepare();
    EXPECT_EQ(recorder.rowsWritten(), 0);
}

TEST_F(RecorderTest, ClicksDuringTheWaitOfPauseAreNotTaken) {
    prepare();
    recorder.recordOn();
    std::vector<bool> selections;
    QObject::connect(&recorder, &Recorder::selectionChanged,
                     [&](bool recOn) { selections.push_back(recOn); });
    clock.scheduleInMs(50, [this] { recorder.recordOn(); });
    recorder.pauseRecording();
    EXPECT_FALSE(recorder.recording());
    EXPECT_FALSE(recorder.recOnSelected());
    // The refused click has the buttons show PAUSE selected again.
    EXPECT_EQ(selections, (std::vector<bool>{false, false}));
    EXPECT_EQ(body().size(), 2);  // RECON, PAUSE
}

TEST_F(RecorderTest, QnMarkersOnlyWhileRecording) {
    prepare();
    recorder.appendQnStart(QStringLiteral("dry"), QStringLiteral(" 12.5kV"), 5);
    recorder.appendQnEnd();
    EXPECT_TRUE(body().isEmpty());

    recorder.recordOn();
    recorder.appendQnStart(QStringLiteral("dry"), QStringLiteral(" 12.5kV"), 5);
    recorder.appendQnEnd();
    EXPECT_EQ(body().mid(1),
              (Lines{R"("QNstartD","14:05:09","dry"," 12.5kV", 5)", marker("QNend")}));
    EXPECT_EQ(recorder.rowsWritten(), 0) << "markers are no rows";
}

TEST_F(RecorderTest, AFolderRemovedMidRecordingLosesNoRow) {
    const QString sub = dir.filePath(QStringLiteral("run"));
    ASSERT_TRUE(QDir().mkpath(sub));
    csvPath = sub + QStringLiteral("/t1.csv");
    prepare();
    recorder.recordOn();
    reading(1);

    ASSERT_TRUE(QDir(sub).removeRecursively());
    reading(2);
    reading(3);
    recorder.pauseRecording();
    recorder.recordOn();
    EXPECT_EQ(recorder.waitingCount(), 4);
    ASSERT_EQ(problems.size(), 4);
    EXPECT_TRUE(problems.constLast().contains(csvPath)) << problems.constLast().toStdString();
    EXPECT_TRUE(problems.constLast().contains(QStringLiteral("4 lines")));
    EXPECT_EQ(recorder.rowsWritten(), 3) << "recording goes on";
    EXPECT_EQ(recovered, 0);

    // The folder comes back, empty; the next write puts every kept line first, in order.
    ASSERT_TRUE(QDir().mkpath(sub));
    reading(4);
    EXPECT_EQ(recorder.waitingCount(), 0);
    EXPECT_EQ(recovered, 1);
    EXPECT_EQ(crlfLines(csvPath),
              (Lines{row(2), row(3), marker("PAUSE"), marker("RECON"), row(4)}));
    reading(5);
    EXPECT_EQ(recovered, 1) << "recovered once per problem";
}

}  // namespace
}  // namespace kr5
