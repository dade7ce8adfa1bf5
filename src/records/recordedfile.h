// Reading back a measurement file this program recorded (recordlines.h has its layout):
// the header's constants, every data row, the marker lines and the Q-N blocks, so that a
// finished test can be looked at again or replayed through the charts.
//
// The header decides whether the file is one of ours: a header line that is missing or
// not as the program writes it refuses the whole file, with the line and what was
// expected there. In the body a damaged line costs only itself: it is skipped and
// counted, since a long recording should not be lost to one bad row.
#pragma once

#include "core/inputconstants.h"
#include "core/qncounts.h"

#include <QDate>
#include <QString>
#include <memory>
#include <variant>
#include <vector>

namespace kr5 {

// One data row, with the file's line number.
// Kept small, 26 bytes, with the ranges in a byte each and no padding: a long test holds
// millions of rows (100 MB of file, 3.6 million), and they are most of what it costs.
#pragma pack(push, 2)
struct RecordedRow {
    double chargePc = 0.0;
    double pulseRatePps = 0.0;
    double testVoltageV = 0.0;
    qint8 attRange = 0;
    qint8 rateRange = 0;
};
#pragma pack(pop)

// A marker line: RECON, PAUSE, RECOFF, QNstartD or QNend. condition, testVoltage and
// passes are those of a QNstartD; empty and 0 for the others.
struct RecordedMarker {
    QString tag;
    QString time;        // HH:mm:ss
    int rowsBefore = 0;  // data rows in the file before the marker
    int line = 0;
    QString condition;
    QString testVoltage;
    int passes = 0;
};

// The rows of one Q-N measurement: from its QNstartD to its QNend, or to the PAUSE,
// RECOFF or next QNstartD that came first (no QNend is written once recording stopped).
// The rows are rows[firstRow] .. rows[firstRow + rowCount - 1].
struct RecordedQnBlock {
    QString condition;
    QString testVoltage;
    int firstRow = 0;
    int rowCount = 0;
    // A pass holds one step per attenuator range, in order; a step whose count did not
    // come has no row, so its range stays empty, and a pass cut short keeps what it has.
    QnPasses passes;
};

struct RecordedTest {
    // name, number, temperature, humidity, ptRatio, adjust, setQ and startCount from the
    // header; setQIndex is the attenuator range whose division x Adjust is Set Q (0 when
    // none is). The file has no Stop count: it stays at its default.
    InputConstants constants;
    QDate date;
    QString version;
    QString detectorIdent;
    QString acIdent;
    std::vector<RecordedRow> rows;
    std::vector<RecordedMarker> markers;
    std::vector<RecordedQnBlock> qnBlocks;
    // Body lines skipped (data rows and markers that could not be read), and the first.
    int skippedRows = 0;
    int firstSkippedLine = 0;
};

// Why a file gives no test. line is 0 when the trouble is not at a line (the file
// cannot be opened); text is the whole message.
struct ReadProblem {
    int line = 0;
    QString text;
};

// Reads a file a slice at a time, so that the program goes on between the slices while a
// long recording is read: the whole file is the same test, or the same refusal, whatever
// the slices.
class RecordedTestReader {
  public:
    // About a millisecond of reading.
    static constexpr qint64 kSliceBytes = qint64{256} * 1024;
    // No line the program writes comes near this; a longer one is refused, never held.
    static constexpr qint64 kMaxLineBytes = qint64{64} * 1024;

    // Opens the file; one that cannot be opened, or is no regular file (a FIFO, a device),
    // is the result at once (done()).
    explicit RecordedTestReader(const QString& path);
    ~RecordedTestReader();
    RecordedTestReader(const RecordedTestReader&) = delete;
    RecordedTestReader& operator=(const RecordedTestReader&) = delete;

    // Reads up to sliceBytes more of the file, the lines they end; a line that goes on
    // waits for the next slice. True once the reading is over: at the end of the file, or
    // when it is refused.
    bool readSlice(qint64 sliceBytes = kSliceBytes);
    bool done() const;
    // The share of the file read so far, 0..1.
    double progress() const;
    // The test, or why the file gives none; taken once, when done.
    std::variant<RecordedTest, ReadProblem> result();

  private:
    struct Reading;
    std::unique_ptr<Reading> r_;
};

// Reads the file whole, or refuses it whole.
std::variant<RecordedTest, ReadProblem> readRecordedTest(const QString& path);

}  // namespace kr5
