// Paces the windows that follow the readings. Readings may come sixty times a second, and
// painting every one would cost more processor time than the whole exchange on the line,
// while no eye follows a figure that changes that fast. A view asks to be shown; it is
// shown at once when it was last shown a frame or more ago, otherwise at the next frame,
// once however often it asked, and then with what its model holds by then. A view never
// shows anything older than one frame.
#pragma once

#include "platform/clock.h"

#include <functional>
#include <limits>
#include <map>
#include <vector>

namespace kr5 {

class ScreenPacer {
  public:
    // 20 frames a second: smooth to the eye, and a pointer still moves without jumps.
    static constexpr int kFrameMs = 50;

    explicit ScreenPacer(Clock& clock) : clock_(clock) {}
    ~ScreenPacer();
    ScreenPacer(const ScreenPacer&) = delete;
    ScreenPacer& operator=(const ScreenPacer&) = delete;

    // `view` identifies the asker: a later request of the same view replaces its earlier
    // one that is still waiting.
    void show(const void* view, std::function<void()> paint);

    // Shows at once what waits for the next frame.
    void flush();

    // How many views wait for the next frame.
    int waiting() const { return static_cast<int>(waiting_.size()); }

  private:
    void frame();

    struct Waiting {
        const void* view;
        std::function<void()> paint;
    };

    Clock& clock_;
    std::vector<Waiting> waiting_;  // in the order they first asked
    std::map<const void*, qint64> lastShownMs_;
    int timer_ = 0;
};

}  // namespace kr5
