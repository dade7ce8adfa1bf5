// File > Save and the recording: the stored name it checks, the header, REC ON, PAUSE and
// CLOSE with their markers and captions, the data row of each complete reading as the
// evaluator makes it, and the row count. A disk that fills up is in recordfile_test.cpp.
#include "records/recorder.h"
#include "core/format.h"
#include "measure/evaluation.h"
#include "platform/qtfiles.h"
#include "platform/virtualclock.h"
#include "records/measurementfile.h"
#include "records/recordlines.h"
#include "recordstest.h"
#include "support/fakedialogs.h"
#include "support/followrecorder.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <optional>

namespace kr5 {
namespace {

using recordstest::acReply;
using recordstest::crlfLines;
using recordstest::detectorReply;
using recordstest::marker;
using recordstest::row;
using Lines = QList<QByteArray>;

class RecorderTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    VirtualClock clock{QDateTime(QDate(2026, 3, 9), QTime(14, 5, 9))};
    InputConstants constants;
    UnitsOnLine units;
    QtFiles files;
    Recorder recorder{clock, files};
    RecorderView view;
    test::FakeDialogs dialogs;
    MeasurementFile measurementFile{constants, units, dialogs, clock, files, view};

    QString csvPath = dir.filePath(QStringLiteral("t1.csv"));
    QStringList captions;  // of REC ON, as they change
    std::vector<bool> prepared;
    QStringList problems;
    int recovered = 0;
    QString mainCaption;
    int namesNeeded = 0;

    RecorderTest() {
        units.port = 1;
        units.unit(UnitKind::Detector) = FoundUnit{0, QStringLiteral("KR-5 V2.10")};
        units.unit(UnitKind::AcUnit) = FoundUnit{1, QStringLiteral("AU-1 V1.00")};
        constants.name = QStringLiteral("cable 7");
        test::followRecorder(recorder, view);
        QObject::connect(&measurementFile, &MeasurementFile::created, &recorder, &Recorder::adopt);
        QObject::connect(&recorder, &Recorder::recOnCaptionChanged,
                         [this](auto c) { captions << c; });
        QObject::connect(&recorder, &Recorder::preparedChanged,
                         [this](bool p) { prepared.push_back(p); });
        QObject::connect(&recorder, &Recorder::writeProblem,
                         [this](auto text) { problems << text; });
        QObject::connect(&recorder, &Recorder::writeRecovered, [this] { ++recovered; });
        QObject::connect(&measurementFile, &MeasurementFile::captionChanged,
                         [this](auto c) { mainCaption = c; });
        QObject::connect(&measurementFile, &MeasurementFile::nameNeeded, [this] { ++namesNeeded; });
    }

    void prepare() {
        dialogs.savePaths.push_back(csvPath);
        measurementFile.prepareFile();
        ASSERT_TRUE(recorder.filePrepared());
    }
    Lines body() const { return crlfLines(csvPath).mid(14); }  // after the header
    void reading(double q) { recorder.takeReading(recordstest::cycleReading(2, q, 1, 10, 1000)); }
};

// File > Save checks the stored name, which the header carries (only "no name" exactly is
// refused); a cancelled dialog, and a file that cannot be created (reported), change
// nothing. While a file is prepared it does nothing at all.
TEST_F(RecorderTest, SaveChecksTheStoredNameAndWritesTheHeaderOnce) {
    constants.name = QStringLiteral("no name");
    measurementFile.prepareFile();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(std::pair(dialogs.shown[0].text, dialogs.shown[0].buttons),
              std::pair(QStringLiteral("Can not Save under no name."), Dialogs::Buttons::Ok));
    EXPECT_EQ(namesNeeded, 1);
    EXPECT_TRUE(dialogs.saveRequests.empty());
    constants.name = QStringLiteral("No Name");
    measurementFile.prepareFile();  // no path queued: cancelled
    dialogs.savePaths.push_back(dir.filePath(QStringLiteral("gone/t1.csv")));
    measurementFile.prepareFile();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_TRUE(dialogs.shown[1].text.contains(QStringLiteral("t1.csv")));
    EXPECT_TRUE(recorder.filePath().isEmpty() && mainCaption.isEmpty() && prepared.empty());

    constants.temperature = QStringLiteral("20℃");
    prepare();
    ASSERT_EQ(dialogs.saveRequests.size(), 3u);
    const Dialogs::SaveRequest& r = dialogs.saveRequests[2];
    EXPECT_EQ(QStringList({r.title, r.fileName, r.filter}),
              QStringList({"Save", "test.csv", "CSV File(*.csv)|*.csv|"}));
    EXPECT_EQ(std::pair(r.filterIndex, r.askOverwrite), std::pair(1, true));
    Lines header;  // in the system's encoding, each line with CR LF
    for (const QString& line : headerLines(constants, units, QDate(2026, 3, 9))) {
        header << line.toLocal8Bit();
    }
    EXPECT_EQ(crlfLines(csvPath), header);
    EXPECT_EQ(header[0], QByteArray(R"("Name","No Name","dummy","dummy","dummy")"));
    EXPECT_EQ(mainCaption, QStringLiteral("KR-5(1)>") + QDir::toNativeSeparators(csvPath));
    EXPECT_FALSE(recorder.recording() || recorder.recOnSelected());
    EXPECT_EQ(prepared, std::vector<bool>{true});

    dialogs.savePaths.push_back(dir.filePath(QStringLiteral("t2.csv")));
    measurementFile.prepareFile();
    EXPECT_EQ(std::pair(dialogs.saveRequests.size(), recorder.filePath()),
              std::pair(size_t{3}, csvPath));
}

TEST_F(RecorderTest, RecordPauseAndCloseWithTheirMarkersAndCaptions) {
    reading(0);  // no file yet: nothing
    prepare();
    reading(0);  // prepared, not recording: nothing, and no Q-N markers
    recorder.appendQnStart(QStringLiteral("dry"), QStringLiteral(" 12.5kV"), 5);
    recorder.appendQnEnd();
    recorder.pauseRecording();  // PAUSE is selected already: nothing happens
    EXPECT_TRUE(body().isEmpty());
    recorder.recordOn();
    recorder.recordOn();  // and so for REC ON while it is selected
    reading(1);
    reading(2);
    recorder.appendQnStart(QStringLiteral("dry"), QStringLiteral(" 12.5kV"), 5);
    recorder.appendQnEnd();
    reading(3);
    EXPECT_EQ(captions, (QStringList{" 1", " 2", " 3"})) << "markers are no rows";

    // PAUSE writes its marker at once and waits for nothing: a handler never holds up the
    // line, nor runs an event loop of its own.
    const qint64 t0 = clock.nowMs();
    recorder.pauseRecording();
    EXPECT_EQ(clock.nowMs(), t0);
    EXPECT_FALSE(clock.hasPending());
    EXPECT_FALSE(recorder.recording() || recorder.recOnSelected());
    EXPECT_EQ(captions.constLast(), QStringLiteral("REC ON"));
    EXPECT_EQ(body(),
              (Lines{marker("RECON"), row(1), row(2), R"("QNstartD","14:05:09","dry"," 12.5kV", 5)",
                     marker("QNend"), row(3), marker("PAUSE")}));

    // A reading while paused is not counted; REC ON again goes on counting the file's rows.
    reading(4);
    recorder.recordOn();
    reading(5);
    EXPECT_EQ(std::pair(recorder.rowsWritten(), captions.constLast()),
              std::pair(4, QStringLiteral(" 4")));
    recorder.pauseRecording();
    clock.advanceMs(60'000);
    recorder.closeFile();  // while paused: RECOFF alone
    EXPECT_EQ(body().mid(7),
              (Lines{marker("RECON"), row(5), marker("PAUSE"), marker("RECOFF", "14:06:09")}));
    EXPECT_EQ(prepared, (std::vector<bool>{true, false}));

    // A new file counts from 0. Closed while recording: RECOFF, then PAUSE, and nothing
    // more goes to the closed file.
    csvPath = dir.filePath(QStringLiteral("t2.csv"));
    prepare();
    EXPECT_EQ(recorder.rowsWritten(), 0);
    recorder.recordOn();
    reading(1);
    clock.advanceMs(1000);
    recorder.closeFile();
    EXPECT_FALSE(recorder.recording() || recorder.recOnSelected());
    reading(2);
    recorder.recordOn();
    EXPECT_EQ(body(), (Lines{marker("RECON", "14:06:09"), row(1), marker("RECOFF", "14:06:10"),
                             marker("PAUSE", "14:06:10")}));
}

// A row for each complete reading and for nothing else, with the charge at the Adjust of
// the constants (division x raw peak x Adjust), the pulse rate at the rate range the
// detector reported and the test voltage; REC ON counts exactly the rows written.
TEST_F(RecorderTest, OnlyCompleteReadingsMakeRowsWithTheirAdjustAndAreCounted) {
    UnitsOnLine withoutAc = units;
    withoutAc.unit(UnitKind::AcUnit) = FoundUnit{};
    ReadingEvaluator evaluator(constants, units);
    ReadingEvaluator evaluatorWithoutAc(constants, withoutAc);
    const auto cycle = [&](double adjust, const Reply& x, const Reply& t, double ptRatio = 100) {
        constants.adjust = adjust;
        constants.ptRatio = ptRatio;
        return evaluator.cycle({0, x, t, {}});
    };
    // 0x88 is 8 V of raw peak, 0x11 1 V, 0xFF 15 V; a rate code 0x55 is 50, 0x11 is 10.
    // Which replies make a reading complete is tested in the measure suite.
    const Reply x = detectorReply(0x88, 0x55, 3, 2);
    const Reply t = acReply(123);
    struct Case {
        const char* what;
        Reading reading;
        const char* row;  // null: no row
    };
    const Case cases[] = {
        {"Adjust 1", cycle(1.0, x, t), " 3,80.0, 2,500.0,1230.0"},
        {"Adjust 2.5", cycle(2.5, x, t), " 3,200.0, 2,500.0,1230.0"},
        {"PT ratio 1000", cycle(0.5, detectorReply(0x11, 0x11, 9, 3), acReply(50), 1000),
         " 9,500.0, 3,500.0,5000.0"},
        {"no detector reply", cycle(2.0, Reply{}, t), nullptr},
        {"no AC unit on the line", evaluatorWithoutAc.cycle({0, x, Reply{}, {}}),
         " 3,160.0, 2,500.0,.0"},
        {"Q-N step without its count", evaluator.qnStep(7, std::nullopt, {0, x, t, {}}), nullptr},
        {"Q-N step", evaluator.qnStep(7, 17, {0, x, t, {}}), " 7,3200.0, 0,17.0,1230.0"},
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

// Lines still waiting for a file that could not be written never follow the header of a
// new file of the same name.
// A file deleted during recording is never made again without its header: the rows go on
// in the next numbered file, with the header and a RECON marker before them. With its
// folder gone too, they wait until the folder is there again.
TEST_F(RecorderTest, AFileGoneDuringRecordingGoesOnInANumberedFileWithItsHeader) {
    QStringList replacedBy;
    QObject::connect(&recorder, &Recorder::fileReplaced,
                     [&](const QString& path, const QString&) { replacedBy << path; });
    const QString sub = dir.filePath(QStringLiteral("run"));
    ASSERT_TRUE(QDir().mkpath(sub));
    csvPath = sub + QStringLiteral("/t1.csv");
    prepare();
    recorder.recordOn();
    reading(1);
    const Lines header = crlfLines(csvPath).mid(0, 14);
    ASSERT_TRUE(QFile::remove(csvPath));
    reading(2);
    EXPECT_FALSE(QFile::exists(csvPath));
    EXPECT_EQ(crlfLines(sub + QStringLiteral("/t1-2.csv")),
              header + (Lines{marker("RECON"), row(2)}));
    ASSERT_TRUE(QDir(sub).removeRecursively());
    reading(3);
    ASSERT_TRUE(QDir().mkpath(sub));
    reading(4);
    EXPECT_EQ(crlfLines(sub + QStringLiteral("/t1-3.csv")),
              header + (Lines{marker("RECON"), row(3), row(4)}));
    EXPECT_EQ(replacedBy,
              (QStringList{sub + QStringLiteral("/t1-2.csv"), sub + QStringLiteral("/t1-3.csv")}));
    EXPECT_EQ(recorder.filePath(), sub + QStringLiteral("/t1-3.csv"));
}

TEST_F(RecorderTest, ANewFileOfTheSameNameTakesNoneOfTheOldOnesWaitingLines) {
    const QString sub = dir.filePath(QStringLiteral("run"));
    ASSERT_TRUE(QDir().mkpath(sub));
    csvPath = sub + QStringLiteral("/t1.csv");
    prepare();
    recorder.recordOn();
    ASSERT_TRUE(QDir(sub).removeRecursively());
    reading(1);
    recorder.closeFile();
    ASSERT_GT(recorder.waitingCount(), 0);
    ASSERT_TRUE(QDir().mkpath(sub));
    prepare();
    recorder.recordOn();
    reading(2);
    EXPECT_EQ(recorder.waitingCount(), 0);
    EXPECT_EQ(crlfLines(csvPath).mid(14), (Lines{marker("RECON"), row(2)}));
}

}  // namespace
}  // namespace kr5
