#include "screenpacer.h"

#include <algorithm>
#include <utility>

namespace kr5 {

ScreenPacer::~ScreenPacer() {
    if (timer_ != 0) {
        clock_.stopTimer(timer_);
    }
}

void ScreenPacer::show(const void* view, std::function<void()> paint) {
    const qint64 now = clock_.nowMs();
    const auto last = lastShownMs_.find(view);
    const bool due = last == lastShownMs_.end() || now - last->second >= kFrameMs;
    auto waiting = std::find_if(waiting_.begin(), waiting_.end(),
                                [view](const Waiting& w) { return w.view == view; });
    if (due && waiting == waiting_.end()) {
        lastShownMs_[view] = now;
        paint();
        return;
    }
    if (waiting != waiting_.end()) {
        waiting->paint = std::move(paint);
    } else {
        waiting_.push_back({view, std::move(paint)});
    }
    if (timer_ == 0) {
        timer_ = clock_.startTimer(kFrameMs, [this] { frame(); });
    }
}

void ScreenPacer::frame() {
    if (waiting_.empty()) {
        // A frame with nothing to show: the readings have stopped or slowed down, and
        // the next request is shown at once.
        clock_.stopTimer(timer_);
        timer_ = 0;
        return;
    }
    flush();
}

void ScreenPacer::flush() {
    const qint64 now = clock_.nowMs();
    // A paint may ask again (a view that shows another): that waits for the next frame.
    std::vector<Waiting> due = std::exchange(waiting_, {});
    for (Waiting& w : due) {
        lastShownMs_[w.view] = now;
        w.paint();
    }
}

}  // namespace kr5
