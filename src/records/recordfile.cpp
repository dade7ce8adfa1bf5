#include "recordfile.h"

#include "systemtext.h"

#include <QFile>
#include <algorithm>

namespace kr5 {

namespace {

const QString lineEnd = QStringLiteral("\r\n");

// Writes the whole of bytes without buffering, so that a failure shows at once.
bool writeAll(QFile& file, const QByteArray& bytes) {
    return file.write(bytes) == bytes.size();
}

}  // namespace

bool RecordFile::create(const QString& path, const QStringList& lines) {
    waiting_.erase(std::remove_if(waiting_.begin(), waiting_.end(),
                                  [&path](const Line& l) { return l.path == path; }),
                   waiting_.end());
    writeWaiting();

    QString text;
    for (const QString& line : lines) {
        text += line + lineEnd;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered) ||
        !writeAll(file, toSystemBytes(text))) {
        fail(file);
        return false;
    }
    problem_.clear();
    failingPath_.clear();
    return true;
}

bool RecordFile::append(const QString& path, const QString& line) {
    waiting_.push_back({path, line});
    return writeWaiting();
}

bool RecordFile::writeWaiting() {
    while (!waiting_.empty()) {
        const QString path = waiting_.front().path;
        const auto other = std::find_if(waiting_.begin(), waiting_.end(),
                                        [&path](const Line& l) { return l.path != path; });
        if (!writeRun(path, other - waiting_.begin())) {
            return false;
        }
    }
    problem_.clear();
    failingPath_.clear();
    return true;
}

void RecordFile::fail(const QFile& file) {
    problem_ = file.errorString();
    failingPath_ = file.fileName();
}

bool RecordFile::writeRun(const QString& path, qsizetype count) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        fail(file);
        return false;
    }
    // Line by line, so that a disk that fills up part way keeps exactly the lines that
    // did not reach it.
    for (qsizetype i = 0; i < count; ++i) {
        if (!writeAll(file, toSystemBytes(waiting_.front().text + lineEnd))) {
            fail(file);
            return false;
        }
        waiting_.pop_front();
    }
    return true;
}

}  // namespace kr5
