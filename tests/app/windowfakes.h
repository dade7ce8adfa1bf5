// A fake launcher for the window tests: it records every call and answers as the test
// sets it up. Message boxes are faked by support/fakedialogs.h.
#pragma once

#include "platform/launcher.h"

#include <QMap>
#include <QStringList>
#include <ostream>
#include <vector>

// Failure messages show texts as text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace kr5::windowfakes {

class RecordingLauncher : public Launcher {
  public:
    struct Started {
        QString program;
        QStringList arguments;
    };

    bool openDocument(const QString& path) override {
        opened << path;
        return openSucceeds;
    }
    bool startProgram(const QString& program, const QStringList& arguments) override {
        started.push_back({program, arguments});
        return !failingPrograms.contains(program);
    }
    QString findProgram(const QString& name) override {
        searched << name;
        return installed.value(name);
    }

    // What the tests set up.
    bool openSucceeds = true;
    QStringList failingPrograms;
    QMap<QString, QString> installed;  // name -> path

    // What the code under test did.
    QStringList opened;
    std::vector<Started> started;
    QStringList searched;
};

}  // namespace kr5::windowfakes
