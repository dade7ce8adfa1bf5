#include "virtualmailbox.h"

namespace kr5 {

void VirtualMailbox::post(std::function<void()> work) {
    if (held_) {
        waiting_.push_back(std::move(work));
    } else if (atOnce_) {
        work();
    } else {
        clock_.scheduleAtUs(clock_.nowUs(), std::move(work));
    }
}

void VirtualMailbox::release() {
    held_ = false;
    while (!waiting_.empty()) {
        clock_.scheduleAtUs(clock_.nowUs(), std::move(waiting_.front()));
        waiting_.pop_front();
    }
}

}  // namespace kr5
