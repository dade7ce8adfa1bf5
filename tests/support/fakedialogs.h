// Message boxes for tests: each box is recorded and answered from a queue (OK when the
// queue is empty).
#pragma once

#include "platform/dialogs.h"

#include <deque>
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

    QString saveFileName(const SaveRequest& request, int* chosenFilter = nullptr) override {
        saveRequests.push_back(request);
        QString path;
        if (!savePaths.empty()) {
            path = savePaths.front();
            savePaths.pop_front();
        }
        int filter = request.filterIndex;
        if (!saveFilters.empty()) {
            filter = saveFilters.front();
            saveFilters.pop_front();
        }
        if (chosenFilter && !path.isEmpty()) {
            *chosenFilter = filter;
        }
        return path;
    }

    Answer message(const QString& text, const QString& title, Buttons buttons,
                   const QString& detail = QString()) override {
        shown.push_back({text, title, buttons, detail});
        if (answers.empty()) {
            return Answer::Ok;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

}  // namespace kr5::test
