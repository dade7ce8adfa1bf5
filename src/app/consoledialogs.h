// Message boxes for a run without a display: each message goes to standard error and is
// answered with OK, so the program goes on where an operator would most likely go on
// (without the AC unit, for instance) and ends where it must (no detector). Save dialogs
// are cancelled.
#pragma once

#include "platform/dialogs.h"

#include <QTextStream>

namespace kr5 {

class ConsoleDialogs : public Dialogs {
  public:
    void ask(const QString& text, const QString& title, Buttons, const QString& detail,
             Answered answered) override {
        QString shown = text;
        shown.replace(QLatin1Char('\r'), QLatin1Char(' '));
        QTextStream err(stderr);
        err << (title.isEmpty() ? QString() : title + QLatin1String(": ")) << shown << Qt::endl;
        if (!detail.isEmpty()) {
            err << detail << Qt::endl;
        }
        if (answered) {
            answered(Answer::Ok);
        }
    }

    // Nobody at a terminal chooses files: a save is cancelled at once.
    void askSaveFileName(const SaveRequest&, SaveChosen chosen) override { chosen(QString(), 0); }
};

}  // namespace kr5
