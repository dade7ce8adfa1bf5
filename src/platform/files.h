// The files the program writes, as the logic uses them: how long a file is, appending
// bytes with how many of them arrived, cutting a file back and replacing one whole. Through
// this the recording can take back the part of a line that a full disk cut short, and tests
// can fill a disk without mounting one.
#pragma once

#include <QByteArray>
#include <QString>

namespace kr5 {

class Files {
  public:
    virtual ~Files() = default;

    // The length of the file in bytes; -1 when there is no such file.
    virtual qint64 size(const QString& path) = 0;

    // Appends bytes to the end of the file, creating it when it is missing. Returns how many
    // of them are in the file: all, or fewer when the write stopped part way (a full disk)
    // or could not start (0: no folder, no permission, locked by another program); problem
    // (when given) then says why.
    virtual qint64 append(const QString& path, const QByteArray& bytes, QString* problem) = 0;

    // Cuts the file back to its first length bytes. False, with the reason in problem (when
    // given), when it cannot.
    virtual bool cut(const QString& path, qint64 length, QString* problem) = 0;

    // Puts bytes in the place of the file, or creates it. The file changes only when all of
    // them were written: on failure the old file (or none) is left as it was, and problem
    // (when given) says why.
    virtual bool replace(const QString& path, const QByteArray& bytes, QString* problem) = 0;
};

}  // namespace kr5
