// What the long run checks the measurement file with, in constant memory however long it
// runs: a disk that can fill up, the rows the units' answers make as the frames go by,
// and a reader that follows the file as it grows and matches its rows against them.
#pragma once

#include "core/inputconstants.h"
#include "link/reply.h"
#include "platform/files.h"
#include "sim/framelog.h"
#include "sim/scenario.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <map>
#include <optional>

namespace kr5::longrun {

// The files on the real disk (through another Files, such as QtFiles), on a disk that can
// be made to fill up: after fillUp(n) only n more bytes fit and a write stops part way
// there, keeping the bytes before that point; cutting a file gives its bytes back; a
// replacement needs room for the whole new file. makeRoom() frees the disk again.
class FillingDisk : public Files {
  public:
    static inline const QString diskFull = QStringLiteral("No space left on device");

    explicit FillingDisk(Files& disk) : disk_(disk) {}

    void fillUp(qint64 roomBytes) { room_ = roomBytes; }
    void makeRoom() { room_.reset(); }
    // Appends that stopped short of their end.
    qint64 shortWrites() const { return shortWrites_; }

    qint64 size(const QString& path) override { return disk_.size(path); }
    qint64 append(const QString& path, const QByteArray& bytes, QString* problem) override;
    bool cut(const QString& path, qint64 length, QString* problem) override;
    bool replace(const QString& path, const QByteArray& bytes, QString* problem) override;

  private:
    Files& disk_;
    std::optional<qint64> room_;
    qint64 shortWrites_ = 0;
};

// The data row each normal reading makes, from what the units answered on the line: a
// detector's "x" answer and then the AC unit's "t" answer give one row (the whole-program
// tests' rowsFromTheLine, without the Q-N steps, which this run does not measure). An
// answer counts as the unit gave it, before a fault bent it: the rows recorded must be a
// subsequence of these. The rows wait in rows() until the file's reader takes them.
//
// The line has no checksum: a garbled answer whose changed characters are still of their
// kind (a hex digit for a hex digit) reads as a valid reply with other values. Each row
// therefore says whether a garbling fault covered the answer of either unit.
class RowsFromTheLine {
  public:
    struct Row {
        QString text;
        bool detectorGarbled = false;  // the "x" answer may have been changed on the way
        bool voltageGarbled = false;   // the "t" answer
    };
    // Whether a garbling fault covers the answers of a unit at a moment (bench time, us).
    using GarbledAt = std::function<bool(sim::UnitKind unit, double atUs)>;

    RowsFromTheLine(const InputConstants& constants, GarbledAt garbledAt)
        : constants_(constants), garbledAt_(std::move(garbledAt)) {}

    void take(const sim::FrameRecord& frame);

    std::deque<Row>& rows() { return rows_; }
    qint64 made() const { return made_; }

  private:
    InputConstants constants_;
    GarbledAt garbledAt_;
    double es_ = 0.0;
    std::optional<DetectorFields> detector_;
    bool detectorGarbled_ = false;
    std::deque<Row> rows_;
    qint64 made_ = 0;
};

// Follows the measurement file as the program appends to it: each call reads the lines
// completed since the last one, checks their form and matches the data rows, in order,
// against the rows the line made. A line counts as complete at its CR LF; what comes after
// the last one is read again next time (the program may still cut a line a full disk tore).
class MeasurementFollower {
  public:
    static constexpr int kHeaderLines = 14;

    MeasurementFollower(QString path, RowsFromTheLine& line)
        : path_(std::move(path)), line_(line) {}

    // Reads what was added since the last call.
    void follow();
    // After the program has ended: reads the rest; bytes after the last CR LF are torn.
    // The rows the line made after the last one recorded are counted as trailing.
    void finish();

    qint64 lines() const { return lines_; }
    qint64 rows() const { return rows_; }
    qint64 matched() const { return matched_; }
    qint64 missing() const { return missing_; }
    qint64 beforeFirstRow() const { return beforeFirst_; }
    qint64 trailing() const { return trailing_; }
    qint64 torn() const { return torn_; }
    qint64 madeUp() const { return madeUp_; }
    // Rows that differ from the reading's row only in the values of a unit whose answer
    // a garbling fault covered: the changed answer read as valid.
    qint64 fromGarbled() const { return fromGarbled_; }
    qint64 badHeaderLines() const { return badHeader_; }
    bool shrank() const { return shrank_; }
    qint64 bytesRead() const { return offset_; }
    const std::map<QString, int>& markers() const { return markers_; }
    // The first few lines that were torn or made up, for the report.
    const QStringList& examples() const { return examples_; }

  private:
    void takeLine(const QString& line);
    void takeRow(const QString& row);
    // Takes the rows expected up to and including the one at index, which was recorded.
    void consume(qsizetype index);
    void remember(const QString& what);

    QString path_;
    RowsFromTheLine& line_;
    qint64 offset_ = 0;
    qint64 lines_ = 0;
    qint64 rows_ = 0;
    qint64 matched_ = 0;
    qint64 missing_ = 0;
    qint64 beforeFirst_ = 0;
    qint64 trailing_ = 0;
    qint64 torn_ = 0;
    qint64 madeUp_ = 0;
    qint64 fromGarbled_ = 0;
    bool firstRowTaken_ = false;
    qint64 badHeader_ = 0;
    bool shrank_ = false;
    std::map<QString, int> markers_;
    QStringList examples_;
};

}  // namespace kr5::longrun
