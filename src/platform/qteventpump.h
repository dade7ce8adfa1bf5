// The event pump of the Qt application: processEvents once, or sleep in the event loop
// until an event arrives or a deadline passes; objects left for deletion are deleted then.
#pragma once

#include "clock.h"
#include "eventpump.h"

namespace kr5 {

class QtEventPump : public EventPump {
  public:
    explicit QtEventPump(const Clock& clock) : clock_(clock) {}

    void pumpOnce() override;
    void waitForEvent(qint64 deadlineMs) override;

  private:
    static void deleteWhatWaitsForDeletion();

    const Clock& clock_;
};

}  // namespace kr5
