#include "recordfile.h"

#include "systemtext.h"

#include <algorithm>
#include <vector>

namespace kr5 {

namespace {

const QString lineEnd = QStringLiteral("\r\n");

}  // namespace

void RecordFile::dropWaiting(std::deque<Line>::iterator first, std::deque<Line>::iterator last) {
    waitingRows_ -= std::count_if(first, last, [](const Line& l) { return l.row; });
    waiting_.erase(first, last);
}

void RecordFile::madeAnew(const QString& path) {
    dropWaiting(std::stable_partition(waiting_.begin(), waiting_.end(),
                                      [&path](const Line& l) { return l.path != path; }),
                waiting_.end());
    partLineFiles_.remove(path);
}

bool RecordFile::create(const QString& path, const QStringList& lines) {
    madeAnew(path);
    writeWaiting();

    QString text;
    for (const QString& line : lines) {
        text += line + lineEnd;
    }
    QString reason;
    if (!files_.replace(path, toSystemBytes(text), &reason)) {
        fail(path, reason);
        return false;
    }
    // The new file holds whole lines, whatever the old one ended in.
    partLineFiles_.remove(path);
    problem_.clear();
    failingPath_.clear();
    return true;
}

bool RecordFile::append(const QString& path, const QString& line, bool row) {
    waiting_.push_back({path, line, row});
    waitingRows_ += row ? 1 : 0;
    if (writeWaiting()) {
        return true;
    }
    if (static_cast<qsizetype>(waiting_.size()) > maxWaiting_) {
        dropWaiting(waiting_.end() - 1, waiting_.end());
        ++lost_;
        lostRows_ += row ? 1 : 0;
    }
    return false;
}

bool RecordFile::writeWaiting() {
    // While writes keep failing, a try offers the first line alone: what a try costs stays
    // the same however many lines wait. Once it goes in, the rest follow in one run.
    bool probing = !failingPath_.isEmpty();
    while (!waiting_.empty()) {
        const QString path = waiting_.front().path;
        const auto other = std::find_if(waiting_.begin(), waiting_.end(),
                                        [&path](const Line& l) { return l.path != path; });
        if (!writeRun(path, probing ? 1 : other - waiting_.begin())) {
            return false;
        }
        probing = false;
    }
    problem_.clear();
    failingPath_.clear();
    return true;
}

void RecordFile::moveWaiting(const QString& from, const QString& to) {
    std::stable_partition(waiting_.begin(), waiting_.end(),
                          [&from](const Line& l) { return l.path != from; });
    for (Line& line : waiting_) {
        if (line.path == from) {
            line.path = to;
        }
    }
}

void RecordFile::fail(const QString& path, const QString& reason) {
    problem_ = reason;
    failingPath_ = path;
}

bool RecordFile::cutPartLine(const QString& path) {
    const auto part = partLineFiles_.constFind(path);
    if (part == partLineFiles_.constEnd()) {
        return true;
    }
    // A file that is no longer than its whole lines was cut or replaced meanwhile.
    QString reason;
    if (files_.size(path) > *part && !files_.cut(path, *part, &reason)) {
        fail(path, reason);
        return false;
    }
    partLineFiles_.erase(part);
    return true;
}

bool RecordFile::writeRun(const QString& path, qsizetype count) {
    if (!cutPartLine(path)) {
        return false;
    }
    const qint64 wholeLength = files_.size(path);
    gone_ = wholeLength < 0;
    if (gone_) {
        fail(path, QStringLiteral("the file is gone"));
        return false;
    }
    QByteArray bytes;
    std::vector<qint64> lineEnds;  // in bytes, the end of each line
    for (qsizetype i = 0; i < count; ++i) {
        bytes += toSystemBytes(waiting_[static_cast<size_t>(i)].text + lineEnd);
        lineEnds.push_back(bytes.size());
    }
    QString reason;
    const qint64 written = files_.append(path, bytes, &reason);
    // The lines that reached the file whole are written; a disk that filled part way keeps
    // exactly the lines that did not.
    const auto wholeEnd = std::upper_bound(lineEnds.begin(), lineEnds.end(), written);
    const qint64 wholeBytes = wholeEnd == lineEnds.begin() ? 0 : *(wholeEnd - 1);
    dropWaiting(waiting_.begin(), waiting_.begin() + (wholeEnd - lineEnds.begin()));
    if (written == bytes.size()) {
        return true;
    }
    // The part of a line after them goes again, before anything else is written; if even
    // that fails, it is tried again before the next write to this file.
    if (written > wholeBytes && !files_.cut(path, wholeLength + wholeBytes, nullptr)) {
        partLineFiles_.insert(path, wholeLength + wholeBytes);
    }
    fail(path, reason);
    return false;
}

}  // namespace kr5
