// A mailbox into a Qt thread: the work runs in that thread's event loop, as a queued call
// on the receiver object that lives there, and then wakes the measurement's fiber if it
// waits on that thread.
#pragma once

#include "mailbox.h"

#include <QObject>

namespace kr5 {

class QtMailbox : public Mailbox {
  public:
    // receiver: any object of the receiving thread; it must outlive the mailbox's use.
    explicit QtMailbox(QObject& receiver) : receiver_(receiver) {}

    void post(std::function<void()> work) override;

  private:
    QObject& receiver_;
};

}  // namespace kr5
