// Stand-ins for the dialogs and the clipboard in the benchmarks, which measure drawing
// and evaluation, not the desktop.
#pragma once

#include "platform/clipboard.h"
#include "platform/dialogs.h"

namespace kr5::bench {

class NoDialogs : public Dialogs {
  public:
    void ask(const QString&, const QString&, Buttons, const QString&, Answered answered) override {
        if (answered) {
            answered(Answer::Ok);
        }
    }
    void askSaveFileName(const SaveRequest&, SaveChosen chosen) override { chosen(QString(), 0); }
};

class HeldClipboard : public Clipboard {
  public:
    void clear() override { held = QImage(); }
    void setImage(const QImage& image) override { held = image; }
    QImage image() const override { return held; }
    QImage held;
};

}  // namespace kr5::bench
