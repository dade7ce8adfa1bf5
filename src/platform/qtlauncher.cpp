#include "qtlauncher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace kr5 {

bool QtLauncher::openDocument(const QString& path) {
    // The desktop's opener reports success as soon as it has started, even for a file
    // that is not there; a missing document is a failure the caller should hear about.
    if (!QFileInfo(path).isFile()) {
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool QtLauncher::startProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

QString QtLauncher::findProgram(const QString& name) {
    return QStandardPaths::findExecutable(name);
}

}  // namespace kr5
