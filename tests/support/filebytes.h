// Files read and written whole, for tests that look into what the program wrote or hand it
// files of their own.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace kr5::test {

// The file's bytes; none when it cannot be read.
inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file made to hold just these bytes; false when it cannot be written.
inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

}  // namespace kr5::test
