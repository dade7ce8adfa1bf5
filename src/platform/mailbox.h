// Work handed from one side of the program to the other: the measurement engine and the
// windows each own their objects, and neither calls into the other's directly. What one
// side posts runs later on the other, in the order it was posted.
#pragma once

#include <functional>

namespace kr5 {

class Mailbox {
  public:
    virtual ~Mailbox() = default;

    // Queues work for the receiving side; returns at once, from any thread.
    virtual void post(std::function<void()> work) = 0;
};

}  // namespace kr5
