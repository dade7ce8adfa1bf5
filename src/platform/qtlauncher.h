// Starting other programs through Qt: the desktop's default application for a document,
// a detached process for a program, the search path for finding one.
#pragma once

#include "launcher.h"

namespace kr5 {

class QtLauncher : public Launcher {
  public:
    bool openDocument(const QString& path, std::function<void()> whenFailed) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
    QString findProgram(const QString& name) override;
};

}  // namespace kr5
