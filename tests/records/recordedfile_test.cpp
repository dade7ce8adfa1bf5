// Reading a measurement file back: a recording, damaged headers and lines, a long file in
// slices, and the rows replayed as readings.
#include "records/recordedfile.h"
#include "core/format.h"
#include "platform/qtfiles.h"
#include "platform/virtualclock.h"
#include "records/recordedreadings.h"
#include "records/recorder.h"
#include "records/recordlines.h"
#include "recordstest.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <tuple>

namespace kr5 {
namespace {

using recordstest::cycleReading;
using recordstest::writeBytes;

Reading qnStep(int att, qint32 count) {
    Reading r = cycleReading(att, 3.0 * (att + 1), 0, count, 1250.0);
    r.kind = Reading::Kind::QnStep;
    r.countRate = count;
    return r;
}

struct RecordedFileTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("t1.csv"));
    InputConstants constants;
    UnitsOnLine units;

    RecordedFileTest() {
        constants.name = QStringLiteral("12\" rod, phase A");
        constants.temperature = QStringLiteral("20℃");
        constants.ptRatio = 1000.0;
        constants.adjust = 2.5;
        constants.setQ = 12.5;  // range 2: 5 x 2.5
        constants.startCount = 40;
        units.unit(UnitKind::Detector) = FoundUnit{0, QStringLiteral("KR-5 V2.10")};
        units.unit(UnitKind::AcUnit) = FoundUnit{1, QStringLiteral("AU-1 V1.00")};
    }

    QByteArray header() const {
        QByteArray bytes;
        for (const QString& line : headerLines(constants, units, QDate(2026, 3, 9))) {
            bytes += line.toUtf8() + "\r\n";
        }
        return bytes;
    }

    RecordedTest read() {
        auto result = readRecordedTest(path);
        if (const auto* problem = std::get_if<ReadProblem>(&result)) {
            ADD_FAILURE() << problem->text.toStdString();
            return {};
        }
        return std::get<RecordedTest>(std::move(result));
    }
};

TEST_F(RecordedFileTest, ARecordingReadsBackWithItsRowsMarkersAndQnPasses) {
    VirtualClock clock{QDateTime(QDate(2026, 3, 9), QTime(14, 5, 9))};
    QtFiles files;
    Recorder recorder{clock, files};
    ASSERT_TRUE(recorder.prepare(path, headerLines(constants, units, QDate(2026, 3, 9)), nullptr));
    recorder.recordOn();
    recorder.takeReading(cycleReading(3, 123.45, 2, 45.0, 1200.0));
    recorder.takeReading(cycleReading(0, 0.5, 0, 0.0, 0.0));
    recorder.takeReading(cycleReading(9, -2.0, 3, 1e6, 99999.96));
    clock.advanceMs(2000);
    recorder.appendQnStart(QStringLiteral("dry, \"wet\""), QStringLiteral(" 12.5kV"), 2);
    for (int att = 0; att < kAttenuatorRanges; ++att) {
        recorder.takeReading(qnStep(att, 1000 - att * 100));
    }
    for (int att : {0, 1, 2, 3, 5, 6}) {  // range 4's count did not come; cut after 6
        recorder.takeReading(qnStep(att, 500 - att));
    }
    recorder.appendQnEnd();
    recorder.takeReading(cycleReading(1, 7.0, 1, 10.0, 1250.0));
    recorder.appendQnStart(QStringLiteral("dry"), QStringLiteral(" 13kV"), 1);
    recorder.takeReading(qnStep(0, 9));
    recorder.pauseRecording();  // without a QNend: what follows is no Q-N step
    recorder.recordOn();
    recorder.takeReading(cycleReading(0, 1.0, 0, 1.0, 1300.0));
    recorder.closeFile();

    const RecordedTest test = read();
    const InputConstants& c = test.constants;
    EXPECT_EQ(std::tuple(c.ptRatio, c.adjust, c.setQ, c.setQIndex, c.startCount, test.skippedRows),
              std::tuple(1000.0, 2.5, 12.5, 2.0, 40, 0));
    EXPECT_EQ(QStringList({c.name, c.temperature, test.version, test.detectorIdent, test.acIdent,
                           test.date.toString(Qt::ISODate)}),
              QStringList({constants.name, constants.temperature, versionText(), "KR-5 V2.10",
                           "AU-1 V1.00", "2026-03-09"}));

    ASSERT_EQ(test.rows.size(), 3u + 16u + 1u + 1u + 1u);
    const RecordedRow& first = test.rows[0];
    EXPECT_EQ(std::tuple(int(first.attRange), double(first.chargePc), int(first.rateRange),
                         double(first.pulseRatePps), double(first.testVoltageV)),
              std::tuple(3, 123.4, 2, 45.0, 1200.0));  // 123.45 to one place, halves even
    EXPECT_EQ(std::tuple(test.rows[1].chargePc, test.rows[2].chargePc, test.rows[2].pulseRatePps,
                         test.rows[2].testVoltageV),
              std::tuple(0.5, -2.0, 1e6, 100000.0));

    QStringList tags;
    for (const RecordedMarker& m : test.markers) {
        tags << m.tag + QLatin1Char('@') + QString::number(m.rowsBefore);
    }
    EXPECT_EQ(tags, QStringList({"RECON@0", "QNstartD@3", "QNend@19", "QNstartD@20", "PAUSE@21",
                                 "RECON@21", "RECOFF@22", "PAUSE@22"}));
    const RecordedMarker& start = test.markers[1];
    EXPECT_EQ(QStringList({start.time, start.condition, start.testVoltage}),
              QStringList({"14:05:11", "dry, \"wet\"", " 12.5kV"}));
    EXPECT_EQ(std::pair(start.passes, start.line), std::pair(2, 19));

    ASSERT_EQ(test.qnBlocks.size(), 2u);
    const RecordedQnBlock& block = test.qnBlocks[0];
    EXPECT_EQ(std::tuple(block.condition, block.firstRow, block.rowCount),
              std::tuple(QStringLiteral("dry, \"wet\""), 3, 16));
    ASSERT_EQ(block.passes.size(), 2u);
    QnRates secondPass{500, 499, 498, 497, std::nullopt, 495, 494};
    EXPECT_EQ(block.passes[1], secondPass);
    EXPECT_EQ(block.passes[0][9], 100.0);
    EXPECT_EQ(std::tuple(test.qnBlocks[1].firstRow, test.qnBlocks[1].rowCount,
                         test.qnBlocks[1].passes.size()),
              std::tuple(20, 1, size_t{1}));
}

TEST_F(RecordedFileTest, AFileThatIsNoMeasurementFileOfOursIsRefusedAtItsLine) {
    const QByteArray good = header();
    const QList<QByteArray> lines = good.split('\n');
    const auto firstLines = [&](int n) { return lines.mid(0, n).join('\n') + '\n'; };
    QByteArray wrongKey = good;
    wrongKey.replace("\"PT ratio\"", "\"PT rate\"");
    QByteArray wrongValue = good;
    wrongValue.replace("\"Adjust\", 2.5", "\"Adjust\",2,5");
    QByteArray wrongProgram = good;
    wrongProgram.replace("KR-5au", "KR-3");
    const std::tuple<QByteArray, int, const char*> cases[] = {
        {"", 1, "The file is empty."},
        {QByteArray("\x7f\x45LF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0", 20), 1,
         "Line 1: expected \"Name\",<text>,\"dummy\",\"dummy\",\"dummy\""},
        {"time,value\r\n1,2\r\n", 1,
         "Line 1: expected \"Name\",<text>,\"dummy\",\"dummy\",\"dummy\""},
        {firstLines(8), 9, "Line 9: the file ends where the \"Start\" line was expected."},
        {firstLines(13), 14, "Line 14: the file ends where the \"ATT.R\" line was expected."},
        {wrongKey, 6, "Line 6: expected \"PT ratio\",<number>,\"dummy\",\"dummy\",\"dummy\""},
        {wrongValue, 7, "Line 7: expected \"Adjust\",<number>,\"dummy\",\"dummy\",\"dummy\""},
        {wrongProgram, 10,
         "Line 10: expected \"Mes. Program\",\"KR-5au\",\"dummy\",\"dummy\",\"dummy\""},
        // Lines longer than any the program writes, with or without an end: never held whole.
        {QByteArray(1 << 20, 'n') + "\r\n", 1, "Line 1: longer than 65536 bytes"},
        {good + QByteArray(1 << 20, '7'), 15, "Line 15: longer than 65536 bytes"},
    };
    for (const auto& [bytes, line, text] : cases) {
        writeBytes(path, bytes);
        const auto result = readRecordedTest(path);
        ASSERT_TRUE(std::holds_alternative<ReadProblem>(result)) << bytes.left(60).toStdString();
        const ReadProblem& p = std::get<ReadProblem>(result);
        EXPECT_EQ(std::pair(p.line, p.text), std::pair(line, QString::fromLatin1(text)));
    }
    const auto missing = readRecordedTest(dir.filePath(QStringLiteral("none.csv")));
    ASSERT_TRUE(std::holds_alternative<ReadProblem>(missing));
    EXPECT_TRUE(std::get<ReadProblem>(missing).text.contains(QStringLiteral("none.csv")));
    // A FIFO could wait for ever: it is not read.
    const QString fifo = dir.filePath(QStringLiteral("fifo.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const auto fromFifo = readRecordedTest(fifo);
    ASSERT_TRUE(std::holds_alternative<ReadProblem>(fromFifo));
    EXPECT_TRUE(std::get<ReadProblem>(fromFifo).text.endsWith(
        QStringLiteral("is not a regular file and is not read.")));
    // Read in slices, a long file is refused with the slice that reaches the wrong line.
    writeBytes(path, wrongKey + QByteArray(1 << 20, 'x'));
    RecordedTestReader reader(path);
    EXPECT_TRUE(reader.readSlice(4096));
    EXPECT_TRUE(std::holds_alternative<ReadProblem>(reader.result()));
}

// A damaged body line costs only itself; the last line may lack its line end.
TEST_F(RecordedFileTest, DamagedBodyLinesAreSkippedAndCountedAndTheRestIsKept) {
    constants.name = QStringLiteral("bad name");
    QByteArray bytes = header();
    bytes.replace("bad name", "bad \xff\xfe name");      // not UTF-8
    bytes += " 1,2.0, 0,3.0,4.0\r\n";                    // line 15, read
    bytes += " 1,2.0, 0,3.0\r\n";                        // a field missing
    bytes += " 1,2.0, 0,3.0,4.0,5.0\r\n";                // an extra field
    bytes += " 1,2.0, 0,abc,4.0\r\n";                    // not a number
    bytes += QByteArray(" 1,2\0.0, 0,3.0,4.0\r\n", 20);  // a NUL byte
    bytes += " 1,2.0\xff, 0,3.0,4.0\r\n";                // a byte of no text
    bytes += "10,2.0, 0,3.0,4.0\r\n";                    // attenuator out of range
    bytes += " 1,2.0, 4,3.0,4.0\r\n";                    // rate out of range
    bytes += "\"LIGHTS\",\"14:05:09\",\"dummy\",\"dummy\",\"dummy\"\r\n";  // unknown marker
    bytes += "\"RECON\",\"14:05\",\"dummy\",\"dummy\",\"dummy\"\r\n";      // torn time
    bytes += " 2,5.0, 1,6.0,7.0\r\n";                                      // line 25, read
    bytes += " 3,8.0, 1,9.0,12";                                           // a last field cut short
    writeBytes(path, bytes);
    RecordedTest test = read();
    EXPECT_EQ(std::pair(test.skippedRows, test.firstSkippedLine), std::pair(10, 16));
    ASSERT_EQ(test.rows.size(), 2u);
    EXPECT_EQ(std::tuple(int(test.rows[1].attRange), test.rows[1].testVoltageV),
              std::tuple(2, 7.0));  // line 25's
    EXPECT_TRUE(test.constants.name.startsWith(QStringLiteral("bad ")));
    EXPECT_TRUE(test.markers.empty());

    writeBytes(path, bytes + "\r\n\"RECOFF\",\"14:05:09\"");  // torn marker, no line end
    EXPECT_EQ(read().skippedRows, 11);
    writeBytes(path, header() + " 3,8.0, 1,9.0,1200.0");  // whole, only the CR LF lost
    test = read();
    ASSERT_EQ(test.rows.size(), 1u);
    EXPECT_EQ(std::pair(test.rows[0].testVoltageV, test.skippedRows), std::pair(1200.0, 0));
}

// The rows of a long file read in slices are counted in the app suite's recorded test.
TEST_F(RecordedFileTest, ALongFileReadInSlicesShowsHowFarItHasCome) {
    writeBytes(path, header() + QByteArray(" 4,1234.5, 1,56.0,12345.6\r\n").repeated(10000));
    RecordedTestReader reader(path);
    // A reader that stands still, or needs more slices than the file has, fails at once.
    const qint64 slices = QFileInfo(path).size() / 50'000 + 1;
    double before = 0.0;
    for (qint64 slice = 0; !reader.readSlice(50'000); ++slice) {
        ASSERT_LT(slice, slices);
        ASSERT_GT(reader.progress(), before);
        ASSERT_LT(reader.progress(), 1.0);
        before = reader.progress();
    }
    EXPECT_GT(before, 0.5);
    EXPECT_EQ(reader.progress(), 1.0);
}

TEST_F(RecordedFileTest, RowsReplayAsReadingsAtTheChosenConstants) {
    writeBytes(path, header() + "\"QNstartD\",\"14:05:09\",\"dry\",\" 1kV\", 1\r\n" +
                         " 2,.3, 0,17.0,1230.0\r\n\"QNend\",\"14:05:10\",\"dummy\",\"dummy\","
                         "\"dummy\"\r\n 3,80.0, 2,500.0,1230.0\r\n");
    const RecordedTest test = read();
    InputConstants other = test.constants;
    other.adjust = 0.5;
    other.ptRatio = 100.0;
    for (const InputConstants& c : {test.constants, other}) {
        const RecordedReadings readings(test, c);
        ASSERT_EQ(readings.size(), 2u);
        const Reading step = readings.at(0);
        const Reading cycle = readings.at(1);
        EXPECT_TRUE(step.isQnStep() && step.complete() && !cycle.isQnStep() && cycle.complete());
        EXPECT_EQ(std::tuple(step.countRate, step.pulseRate, step.rawRate, step.takenAtMs),
                  std::tuple(std::optional<qint32>(17), 17.0, 17.0, 0));
        for (const Reading& r : {step, cycle}) {
            EXPECT_DOUBLE_EQ(attenuatorDivision(r.attRange) * r.rawPeak * c.adjust, r.charge);
            EXPECT_DOUBLE_EQ(*r.es * c.ptRatio, r.testVoltage);
            EXPECT_NEAR(r.detector->rawPeak(), std::min(r.rawPeak, 15.0), 10.0 / 170.0);
            EXPECT_EQ(r.detector->attRange, r.attRange);
        }
        EXPECT_EQ(std::tuple(cycle.rateRange, cycle.rawRate, cycle.takenAtMs, cycle.charge),
                  std::tuple(2, 50.0, 100, 80.0));
        EXPECT_NEAR(cycle.detector->rawRate(), 50.0, 100.0 / 170.0);
    }
}

}  // namespace
}  // namespace kr5
