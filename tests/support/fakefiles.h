// Files in memory for tests, on a disk that can be made to fill up: after failAfter(n) only
// n more bytes fit, and a write stops part way there as on a full disk, keeping the bytes
// before that point. Cutting a file gives its bytes back; a replacement needs room for the
// whole new file beside the old one. Folders are not kept: every path can be written.
#pragma once

#include "platform/files.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <map>
#include <optional>

namespace kr5::test {

class FakeFiles : public Files {
  public:
    static inline const QString diskFull = QStringLiteral("No space left on device");
    static inline const QString cutRefused = QStringLiteral("Cut refused");

    std::map<QString, QByteArray> contents;
    // Cuts fail too, with cutRefused.
    bool cutsFail = false;

    void failAfter(qint64 bytes) { room_ = bytes; }
    // The disk has room again.
    void clearFailure() { room_.reset(); }

    qint64 size(const QString& path) override {
        const auto file = contents.find(path);
        return file == contents.end() ? -1 : file->second.size();
    }

    qint64 append(const QString& path, const QByteArray& bytes, QString* problem) override {
        const qint64 fitting = room_ ? std::min<qint64>(*room_, bytes.size()) : bytes.size();
        contents[path] += bytes.left(fitting);
        take(fitting);
        if (fitting < bytes.size() && problem != nullptr) {
            *problem = diskFull;
        }
        return fitting;
    }

    bool cut(const QString& path, qint64 length, QString* problem) override {
        const auto file = contents.find(path);
        if (cutsFail || file == contents.end() || length > file->second.size()) {
            return refuse(problem, cutRefused);
        }
        take(length - file->second.size());
        file->second.truncate(length);
        return true;
    }

    bool replace(const QString& path, const QByteArray& bytes, QString* problem) override {
        if (room_ && bytes.size() > *room_) {
            return refuse(problem, diskFull);
        }
        take(bytes.size() - std::max<qint64>(size(path), 0));
        contents[path] = bytes;
        return true;
    }

  private:
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
};

}  // namespace kr5::test
