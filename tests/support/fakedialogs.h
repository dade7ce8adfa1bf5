// Message boxes and file questions for tests: each is recorded and answered at once from
// a queue (OK, or cancelled, when the queue is empty), or held open until answered.
#pragma once

#include "platform/dialogs.h"

#include <deque>
#include <functional>
#include <utility>
#include <vector>

namespace kr5::test {

class FakeDialogs : public Dialogs {
  public:
    struct Shown {
        QString text;
        QString title;
        Buttons buttons;
        QString detail;
    };

    std::deque<Answer> answers;
    std::vector<Shown> shown;

    // Save dialogs: each request is recorded and answered with the next queued path
    // (empty: cancelled) and filter index.
    std::deque<QString> savePaths;
    std::deque<int> saveFilters;
    std::vector<SaveRequest> saveRequests;

    // A file question held open: while holdNext is set, the next save or open question is
    // recorded but not answered, as a dialog the operator leaves open, until answerHeld.
    bool holdNext = false;
    std::function<void(const QString&)> held;

    void answerHeld(const QString& path) {
        const auto answer = std::exchange(held, nullptr);
        if (answer) {
            answer(path);
        }
    }

    void askSaveFileName(const SaveRequest& request, SaveChosen chosen) override {
        saveRequests.push_back(request);
        if (std::exchange(holdNext, false)) {
            held = [chosen, filter = request.filterIndex](const QString& path) {
                chosen(path, filter);
            };
            return;
        }
        const QString path = next(savePaths, QString());
        const int filter = next(saveFilters, request.filterIndex);
        chosen(path, path.isEmpty() ? 0 : filter);
    }

    void askOpenFileName(const QString&, const QString&,
                         std::function<void(const QString&)> chosen) override {
        if (std::exchange(holdNext, false)) {
            held = std::move(chosen);
            return;
        }
        chosen(next(openPaths, QString()));
    }

    // Open dialogs and text questions: answered from their queues (empty: cancelled),
    // each question recorded.
    std::deque<QString> openPaths;
    std::deque<std::optional<QString>> textAnswers;
    std::vector<QString> textQuestions;

    void askForText(const QString&, const QString& label, const QString& initial,
                    std::function<void(const std::optional<QString>&)> answered) override {
        textQuestions.push_back(label + QStringLiteral(": ") + initial);
        answered(next(textAnswers, std::optional<QString>()));
    }

    void ask(const QString& text, const QString& title, Buttons buttons, const QString& detail,
             Answered answered) override {
        shown.push_back({text, title, buttons, detail});
        const Answer answer = next(answers, Answer::Ok);
        if (answered) {
            answered(answer);
        }
    }

  private:
    // The first of the queue, taken from it; the fallback when it is empty.
    template <class T>
    static T next(std::deque<T>& queue, T fallback) {
        if (!queue.empty()) {
            fallback = std::move(queue.front());
            queue.pop_front();
        }
        return fallback;
    }
};

}  // namespace kr5::test
