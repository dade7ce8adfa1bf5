// Files in memory for tests, on a disk that can be made to fill up: after failAfter(n) only
// n more bytes fit, and a write stops part way there as on a full disk, keeping the bytes
// before that point. Cutting a file gives its bytes back; a replacement needs room for the
// whole new file beside the old one. Folders are not kept: every path can be written.
// A disk asked more than maxCalls times throws: a writer that retries without end fails its
// test at once instead of hanging it.
#pragma once

#include "platform/files.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <map>
#include <optional>
#include <stdexcept>

namespace kr5::test {

class FakeFiles : public Files {
  public:
    static inline const QString diskFull = QStringLiteral("No space left on device");
    static inline const QString cutRefused = QStringLiteral("Cut refused");
    static constexpr int maxCalls = 10'000;

    std::map<QString, QByteArray> contents;
    // Cuts fail too, with cutRefused.
    bool cutsFail = false;
    // How many bytes the last append offered.
    qint64 lastOffered = 0;

    void failAfter(qint64 bytes) { room_ = bytes; }
    // The disk has room again.
    void clearFailure() { room_.reset(); }

    qint64 size(const QString& path) override {
        count();
        const auto file = contents.find(path);
        return file == contents.end() ? -1 : file->second.size();
    }

    qint64 append(const QString& path, const QByteArray& bytes, QString* problem) override {
        count();
        lastOffered = bytes.size();
        const qint64 fitting = room_ ? std::min<qint64>(*room_, bytes.size()) : bytes.size();
        contents[path] += bytes.left(fitting);
        take(fitting);
        if (fitting < bytes.size() && problem != nullptr) {
            *problem = diskFull;
        }
        return fitting;
    }

    bool cut(const QString& path, qint64 length, QString* problem) override {
        count();
        const auto file = contents.find(path);
        if (cutsFail || file == contents.end() || length > file->second.size()) {
            return refuse(problem, cutRefused);
        }
        take(length - file->second.size());
        file->second.truncate(length);
        return true;
    }

    bool replace(const QString& path, const QByteArray& bytes, QString* problem) override {
        count();
        if (room_ && bytes.size() > *room_) {
            return refuse(problem, diskFull);
        }
        take(bytes.size() - std::max<qint64>(size(path), 0));
        contents[path] = bytes;
        return true;
    }

  private:
    void count() {
        if (++calls_ > maxCalls) {
            throw std::runtime_error(
                "the disk was asked more than 10000 times: a write never ends");
        }
    }
    static bool refuse(QString* problem, const QString& why) {
        if (problem != nullptr) {
            *problem = why;
        }
        return false;
    }
    void take(qint64 bytes) {
        if (room_) {
            *room_ -= bytes;
        }
    }

    std::optional<qint64> room_;
    int calls_ = 0;
};

}  // namespace kr5::test
