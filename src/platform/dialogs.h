// Message boxes and file questions as the logic asks for them. The Qt implementation
// shows real boxes; tests answer them with a fake. No question waits for its answer: each
// call returns at once, and the answer comes later to the function given, so that nothing
// (the measurement least of all) stands still while a box is open.
#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace kr5 {

class Dialogs {
  public:
    enum class Buttons { Ok, OkCancel };
    enum class Answer { Ok, Cancel };

    virtual ~Dialogs() = default;

    // A save-file dialog: its title, the proposed file name, the filter text
    // ("CSV File(*.csv)|*.csv" style pairs separated by '|', or Qt's ";;" form) and which
    // filter is selected first (1-based). Asks before overwriting when askOverwrite.
    // Every save in the program is titled "Save", proposes a name, starts on the first
    // filter and asks before an existing file is replaced.
    struct SaveRequest {
        QString title = QStringLiteral("Save");
        QString fileName;
        QString filter;
        int filterIndex = 1;
        bool askOverwrite = true;
    };

    // Shows text in a box, modal over its window. An empty title means the program's own
    // title. A detail (why something failed, in the system's terms) is shown apart from
    // the text, which keeps its exact words. answered, when given, hears the button
    // pressed.
    using Answered = std::function<void(Answer)>;
    virtual void ask(const QString& text, const QString& title, Buttons buttons,
                     const QString& detail, Answered answered) = 0;
    // Shows text with an OK button; nobody waits for the box to be read.
    void notify(const QString& text, const QString& title = QString(),
                const QString& detail = QString()) {
        ask(text, title, Buttons::Ok, detail, nullptr);
    }

    // The file and text questions wait for nothing: the call returns at once, and the
    // answer comes once, when the operator gives it, to the function given. What runs
    // meanwhile, the measurement among it, goes on; the answer's receiver checks again
    // what it needs.
    //
    // A file name to save under: `chosen` hears the path (empty when the operator
    // cancelled) and the 1-based filter in use.
    using SaveChosen = std::function<void(const QString& path, int filter)>;
    virtual void askSaveFileName(const SaveRequest& request, SaveChosen chosen) = 0;
    // An existing file to open (title, filter as for saving): empty when cancelled; where
    // no dialog can be shown (no display) at once as cancelled.
    virtual void askOpenFileName(const QString& title, const QString& filter,
                                 std::function<void(const QString&)> chosen) {
        Q_UNUSED(title);
        Q_UNUSED(filter);
        chosen(QString());
    }
    // One line of text, the initial text filled in: none when cancelled; where no dialog
    // can be shown, at once as cancelled.
    virtual void askForText(const QString& title, const QString& label, const QString& initial,
                            std::function<void(const std::optional<QString>&)> answered) {
        Q_UNUSED(title);
        Q_UNUSED(label);
        Q_UNUSED(initial);
        answered(std::nullopt);
    }
};

}  // namespace kr5
