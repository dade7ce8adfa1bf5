// Writing the measurement file. Every write opens the file, appends and closes it again,
// so each line written is on disk even if the program is killed. A line that cannot be
// written (folder removed, file locked or write-protected, disk full) is kept in memory,
// in order, and written before anything else at the next write that succeeds. The file
// only ever holds whole lines: the part of a line that a full disk cut short is cut off
// again, and the line is written whole later.
#pragma once

#include "platform/files.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <deque>

namespace kr5 {

class RecordFile {
  public:
    // About an hour of rows at the fastest cycle: more lines than this do not wait in
    // memory while the disk stays full; they are counted as lost.
    static constexpr qsizetype kMaxWaitingLines = 200'000;

    explicit RecordFile(Files& files, qsizetype maxWaiting = kMaxWaitingLines)
        : files_(files), maxWaiting_(maxWaiting) {}

    // Creates path anew (replacing a file of that name) with the given lines; the file
    // changes only when all of them were written. Lines still waiting for that same path
    // are dropped with the old contents; lines waiting for other files are tried first and
    // stay waiting if they still cannot be written. Returns false, with the reason in
    // problem(), when the file cannot be created.
    bool create(const QString& path, const QStringList& lines);

    // Another writer made path anew: lines still waiting for the old file of that name are
    // dropped with it, and it holds whole lines.
    void madeAnew(const QString& path);

    // Appends one line to path after the lines still waiting. Returns false when some
    // line (this one or an earlier one) is left waiting; problem() says why. A file that
    // is gone (deleted, its folder removed) is never made again without its header: its
    // lines wait, and fileGone says so.
    bool append(const QString& path, const QString& line, bool row = false);
    bool fileGone() const { return gone_; }

    // Writes the lines waiting; false when some are left waiting.
    bool retry() { return writeWaiting(); }

    // The lines waiting for from go to to instead, in their order, after to's own.
    void moveWaiting(const QString& from, const QString& to);

    // Lines not yet written, for any file.
    qsizetype waitingCount() const { return static_cast<qsizetype>(waiting_.size()); }
    // Lines given up because too many waited already.
    qint64 lostCount() const { return lost_; }
    // Of the lines waiting and lost, those appended as data rows.
    qsizetype waitingRows() const { return waitingRows_; }
    qint64 lostRows() const { return lostRows_; }

    // Why the last create or append fell short; empty after one that wrote everything.
    const QString& problem() const { return problem_; }
    // The file that could not be written then.
    const QString& failingPath() const { return failingPath_; }

  private:
    struct Line {
        QString path;
        QString text;
        bool row = false;
    };

    // Takes the lines [first, last) off the waiting ones.
    void dropWaiting(std::deque<Line>::iterator first, std::deque<Line>::iterator last);
    // Writes the waiting lines in order, each run of lines for one path in one append.
    bool writeWaiting();
    bool writeRun(const QString& path, qsizetype count);
    // Cuts a file left with part of a line back to its whole lines, when an earlier cut
    // failed. False while that still fails: nothing may follow the part line.
    bool cutPartLine(const QString& path);
    void fail(const QString& path, const QString& reason);

    Files& files_;
    qsizetype maxWaiting_;
    qint64 lost_ = 0;
    qint64 lostRows_ = 0;
    qsizetype waitingRows_ = 0;
    std::deque<Line> waiting_;
    // Files that still end in part of a line, with the length of their whole lines.
    QHash<QString, qint64> partLineFiles_;
    QString problem_;
    QString failingPath_;
    bool gone_ = false;  // the last write found its file gone
};

}  // namespace kr5
