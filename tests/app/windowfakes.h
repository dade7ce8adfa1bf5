// For the window tests: a recording launcher and readers of a window's labels and names.
// Message boxes are faked by support/fakedialogs.h.
#pragma once

#include "platform/launcher.h"

#include <gtest/gtest.h>

#include <QLabel>
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

    bool openDocument(const QString& path, std::function<void()> whenFailed) override {
        opened << path;
        openFailsLater = std::move(whenFailed);
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

    // What the test sets up, then what the code under test did.
    bool openSucceeds = true;
    std::function<void()> openFailsLater;  // the opener started, then found no browser
    QStringList failingPrograms;
    QMap<QString, QString> installed;  // name -> path

    QStringList opened;
    std::vector<Started> started;
    QStringList searched;
};

// The texts of the labels named (separated by spaces), joined by "|".
inline QString labelTexts(const QWidget& window, const char* names) {
    QStringList texts;
    for (const QString& name : QString::fromLatin1(names).split(QLatin1Char(' '))) {
        const auto* label = window.findChild<QLabel*>(name);
        texts << (label ? label->text() : QStringLiteral("<no ") + name + QLatin1Char('>'));
    }
    return texts.join(QLatin1Char('|'));
}

}  // namespace kr5::windowfakes
