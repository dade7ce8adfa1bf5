// The files of the program on the real file system, through QFile and QSaveFile.
#pragma once

#include "files.h"

namespace kr5 {

class QtFiles : public Files {
  public:
    qint64 size(const QString& path) override;
    qint64 append(const QString& path, const QByteArray& bytes, QString* problem) override;
    bool cut(const QString& path, qint64 length, QString* problem) override;
    bool replace(const QString& path, const QByteArray& bytes, QString* problem) override;
};

}  // namespace kr5
