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
    };

    std::deque<Answer> answers;
    std::vector<Shown> shown;

    Answer message(const QString& text, const QString& title, Buttons buttons) override
    {
        shown.push_back({text, title, buttons});
        if (answers.empty()) {
            return Answer::Ok;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

}  // namespace kr5::test
