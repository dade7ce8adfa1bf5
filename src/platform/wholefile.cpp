#include "wholefile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace kr5 {

bool refuseLink(const QString& path, QString* problem) {
    if (!QFileInfo(path).isSymLink()) {
        return false;
    }
    if (problem != nullptr) {
        *problem = QStringLiteral("%1 is a symbolic link, which is not followed").arg(path);
    }
    return true;
}

bool writeWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write,
                    QString* problem, WhereNoTemporary fallback) {
    const auto fail = [problem](const QString& why) {
        if (problem != nullptr) {
            *problem = why;
        }
        return false;
    };
    if (refuseLink(path, problem)) {
        return false;
    }
    QSaveFile file(path);
    file.setDirectWriteFallback(fallback == WhereNoTemporary::WriteInPlace);
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(file.errorString());
    }
    // The buffer is flushed and checked before the commit: a commit whose own flush fails
    // may still report success.
    const bool written = write(file) && file.flush() && file.error() == QFileDevice::NoError;
    if (!written) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit()) {
        return fail(file.errorString());
    }
    return true;
}

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* problem,
                    WhereNoTemporary fallback) {
    return writeWholeFile(
        path, [&bytes](QIODevice& file) { return file.write(bytes) == bytes.size(); }, problem,
        fallback);
}

}  // namespace kr5
