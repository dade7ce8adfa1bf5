#include "qtfiles.h"

#include "platform/wholefile.h"

#include <QFile>
#include <QFileInfo>

namespace kr5 {

namespace {

void tell(QString* problem, const QString& reason) {
    if (problem != nullptr) {
        *problem = reason;
    }
}

}  // namespace

qint64 QtFiles::size(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() ? info.size() : -1;
}

qint64 QtFiles::append(const QString& path, const QByteArray& bytes, QString* problem) {
    if (refuseLink(path, problem)) {
        return 0;
    }
    // Unbuffered, so that what write() reports is what reached the file.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        tell(problem, file.errorString());
        return 0;
    }
    // A disk that fills part way makes the system write fewer bytes than asked without an
    // error; only the next write fails and names the reason (no space left on device).
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0) {
            tell(problem, file.errorString());
            break;
        }
        written += n;
    }
    return written;
}

bool QtFiles::cut(const QString& path, qint64 length, QString* problem) {
    QFile file(path);
    if (!file.resize(length)) {
        tell(problem, file.errorString());
        return false;
    }
    return true;
}

bool QtFiles::replace(const QString& path, const QByteArray& bytes, QString* problem) {
    return writeWholeFile(path, bytes, problem);
}

}  // namespace kr5
