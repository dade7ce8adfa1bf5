#include "qtlauncher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace kr5 {

bool QtLauncher::openDocument(const QString& path, std::function<void()> whenFailed) {
    // The desktop's opener reports success as soon as it has started, even for a file
    // that is not there; a missing document is a failure the caller should hear about.
    if (!QFileInfo(path).isFile()) {
        return false;
    }
    const QUrl url = QUrl::fromLocalFile(path);
#ifdef Q_OS_UNIX
    // Qt starts xdg-open detached and never hears that it found no browser. Run it here
    // instead and watch how it ends, so that the caller can show the document itself.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty()) {
        auto* process = new QProcess;
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        const auto failed = [process, whenFailed] {
            process->deleteLater();
            if (whenFailed) {
                whenFailed();
            }
        };
        QObject::connect(process, &QProcess::finished, process,
                         [process, failed](int exitCode, QProcess::ExitStatus status) {
                             if (status == QProcess::NormalExit && exitCode == 0) {
                                 process->deleteLater();
                             } else {
                                 failed();
                             }
                         });
        QObject::connect(process, &QProcess::errorOccurred, process,
                         [failed](QProcess::ProcessError error) {
                             if (error == QProcess::FailedToStart) {
                                 failed();
                             }
                         });
        process->start(opener, {url.toString()});
        return true;
    }
#endif
    return QDesktopServices::openUrl(url);
}

bool QtLauncher::startProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

QString QtLauncher::findProgram(const QString& name) {
    return QStandardPaths::findExecutable(name);
}

}  // namespace kr5
