// Recording onto a disk that fills up: only whole lines in the file, and the lines kept
// written later in order.
#include "platform/virtualclock.h"
#include "records/recorder.h"
#include "recordstest.h"
#include "support/fakefiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace kr5 {
namespace {

using Lines = QList<QByteArray>;
using recordstest::marker;
using recordstest::row;
using test::FakeFiles;

const QString csvPath = QStringLiteral("/disk/t1.csv");
const QStringList header = {QStringLiteral("\"Name\",\"cable 7\""), QStringLiteral("\"No.\",1")};
const QByteArray headerFile = "\"Name\",\"cable 7\"\r\n\"No.\",1\r\n";
const qsizetype headerBytes = headerFile.size();

QString warning(qsizetype kept) {
    return QStringLiteral(
               "The measurement file %1 cannot be written (%2). %3 lines are kept and "
               "will be written as soon as the file can be written again.")
        .arg(csvPath, FakeFiles::diskFull)
        .arg(kept);
}

// A recording on the fake disk, with the warnings it gave.
struct Recording {
    VirtualClock clock{QDateTime(QDate(2026, 3, 9), QTime(14, 5, 9))};
    FakeFiles files;
    Recorder recorder{clock, files};
    QStringList problems;
    int recovered = 0;
    int began = 0;  // troubles announced

    Recording() {
        QObject::connect(&recorder, &Recorder::writeProblem,
                         [this](const QString& text) { problems << text; });
        QObject::connect(&recorder, &Recorder::writeRecovered, [this] { ++recovered; });
        QObject::connect(&recorder, &Recorder::writeProblemBegan, [this] { ++began; });
    }
    void reading(int q) { recorder.takeReading(recordstest::cycleReading(2, q, 1, 10, 1000)); }

    // The lines after the header.
    Lines body() const {
        const auto file = files.contents.find(csvPath);
        return file == files.contents.end() ? Lines{"<no file>"}
                                            : recordstest::crlfLines(file->second.mid(headerBytes));
    }
};

// The disk fills at every byte of a recording in turn: the file holds whole lines only, the
// warning counts those that wait, and with room again the next row puts them in, in order.
TEST(RecordFile, ADiskFullAtAnyByteLeavesOnlyWholeLinesAndTheKeptOnesFollowInOrder) {
    // One line per step: rows, a PAUSE and REC ON again, more rows.
    const Lines lines = {row(1), row(22),  marker("PAUSE"), marker("RECON"),
                         row(3), row(444), row(5)};
    const qsizetype lineBytes = lines.join("\r\n").size() + 2;
    for (qint64 room = 0; room <= lineBytes; ++room) {
        SCOPED_TRACE(room);
        Recording r;
        ASSERT_TRUE(r.recorder.prepare(csvPath, header, nullptr));
        ASSERT_EQ(r.files.size(csvPath), headerBytes);
        r.recorder.recordOn();
        r.files.failAfter(room);
        const auto read = [&r](int q) { return [&r, q] { r.reading(q); }; };
        const std::function<void()> pause = [&r] { r.recorder.pauseRecording(); };
        const std::function<void()> recordOn = [&r] { r.recorder.recordOn(); };
        const std::function<void()> steps[] = {read(1), read(22),  pause,  recordOn,
                                               read(3), read(444), read(5)};
        Lines expected = {marker("RECON")};
        qsizetype failedSteps = 0;
        for (const auto& step : steps) {
            step();
            expected << lines[expected.size() - 1];
            const Lines body = r.body();
            ASSERT_EQ(body, expected.mid(0, body.size()));
            const qsizetype kept = expected.size() - body.size();
            ASSERT_EQ(r.recorder.waitingCount(), kept);
            if (kept > 0) {
                ++failedSteps;
                ASSERT_EQ(r.problems.size(), failedSteps);
                EXPECT_EQ(r.problems.constLast(), warning(kept));
            }
        }
        EXPECT_EQ(failedSteps > 0, room < lineBytes);
        EXPECT_EQ(r.recorder.rowsWritten(), 5) << "recording goes on while the disk is full";
        const Lines written = r.body();
        EXPECT_EQ(r.recorder.rowsOnDisk(),
                  std::count_if(written.begin(), written.end(),
                                [](const QByteArray& l) { return !l.startsWith('"'); }));

        r.files.clearFailure();
        r.reading(6);
        expected << row(6);
        EXPECT_EQ(r.body(), expected);
        EXPECT_EQ(std::pair(r.recorder.waitingCount(), r.recorder.rowsOnDisk()),
                  std::pair(qsizetype{0}, qint64{6}));
        EXPECT_EQ(std::pair(r.recovered, r.began),
                  failedSteps > 0 ? std::pair(1, 1) : std::pair(0, 0));
    }
}

// While the disk stays full a try offers the first line alone, however many wait, and no
// more lines than the bound wait: the rest are counted as lost. With room, the kept ones go.
TEST(RecordFile, WhileTheDiskIsFullATryCostsOneLineAndTheWaitingLinesAreBounded) {
    FakeFiles files;
    RecordFile file(files, 3);
    ASSERT_TRUE(file.create(csvPath, header));
    files.failAfter(0);
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(file.append(csvPath, QStringLiteral("row %1").arg(i)));
        EXPECT_EQ(files.lastOffered, 7) << i;
    }
    EXPECT_EQ(std::pair(file.waitingCount(), file.lostCount()), std::pair(qsizetype{3}, qint64{2}));
    files.clearFailure();
    EXPECT_TRUE(file.append(csvPath, QStringLiteral("row 5")));
    EXPECT_EQ(files.contents[csvPath], headerFile + "row 0\r\nrow 1\r\nrow 2\r\nrow 5\r\n");
}

// A part line that the file system will not cut either stays the last thing in the file:
// nothing is appended after it until it is cut, then the kept lines follow whole.
TEST(RecordFile, APartLineThatCannotBeCutYetIsCutBeforeAnythingFollowsIt) {
    Recording r;
    ASSERT_TRUE(r.recorder.prepare(csvPath, header, nullptr));
    r.recorder.recordOn();
    r.files.failAfter(row(1).size() + 2 + 5);  // row 1 and five bytes of row 2
    r.files.cutsFail = true;
    r.reading(1);
    r.reading(2);
    const QByteArray torn = r.files.contents[csvPath];
    ASSERT_TRUE(torn.endsWith("\r\n" + row(2).left(5)));
    EXPECT_EQ(r.recorder.waitingCount(), 1);

    r.files.clearFailure();  // room again, but the part line still cannot be cut
    r.reading(3);
    EXPECT_EQ(r.files.contents[csvPath], torn);
    EXPECT_EQ(r.recorder.waitingCount(), 2);
    EXPECT_TRUE(r.problems.constLast().contains(FakeFiles::cutRefused));

    r.files.cutsFail = false;
    r.reading(4);
    EXPECT_EQ(r.body(), (Lines{marker("RECON"), row(1), row(2), row(3), row(4)}));
    EXPECT_EQ(r.recovered, 1);
}

// File > Save on a full disk: no header part is left, the old file stays as it was, and
// the reason is given; with room again the file is created whole.
TEST(RecordFile, AHeaderThatDoesNotFitLeavesTheOldFileAsItWas) {
    Recording r;
    r.files.contents[csvPath] = "an older test\r\n";
    r.files.failAfter(headerBytes - 1);
    QString problem;
    EXPECT_FALSE(r.recorder.prepare(csvPath, header, &problem));
    EXPECT_EQ(problem, FakeFiles::diskFull);
    EXPECT_EQ(r.files.contents[csvPath], QByteArray("an older test\r\n"));
    EXPECT_FALSE(r.recorder.filePrepared());

    r.files.clearFailure();
    ASSERT_TRUE(r.recorder.prepare(csvPath, header, &problem));
    EXPECT_EQ(r.files.contents[csvPath], headerFile);
}

}  // namespace
}  // namespace kr5
