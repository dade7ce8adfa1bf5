// Starting other programs: the desktop's viewer for a document (the help page) and a
// named program (the system-information tool).
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace kr5 {

class Launcher {
  public:
    virtual ~Launcher() = default;

    // Opens a local file with the desktop's default application. False when that fails
    // at once. The desktop's opener may start and only then find no application for the
    // document (no browser installed): then whenFailed runs, later, from the event loop.
    virtual bool openDocument(const QString& path, std::function<void()> whenFailed) = 0;

    // Starts a program, detached. False when it cannot be started.
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;

    // Finds a program on the search path; empty when it is not installed.
    virtual QString findProgram(const QString& name) = 0;
};

}  // namespace kr5
