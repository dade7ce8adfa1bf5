// Message boxes as the logic asks for them. The Qt implementation shows real boxes;
// tests answer them with a fake.
#pragma once

#include <QString>

namespace kr5 {

class Dialogs {
public:
    enum class Buttons { Ok, OkCancel };
    enum class Answer { Ok, Cancel };

    virtual ~Dialogs() = default;

    // Shows text in a modal box. An empty title means the program's own title.
    virtual Answer message(const QString& text, const QString& title, Buttons buttons) = 0;
};

}  // namespace kr5
