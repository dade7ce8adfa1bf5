// The clock calibration the About box shows, measured where it cannot hold up the start.
// It counts time-of-day reads for one whole second after a second boundary, up to two
// seconds of reading the clock flat out; the start used to wait for it before looking for
// the units. With a clock that may be read from any thread, it now runs beside discovery
// on an idle-priority thread (SCHED_IDLE on Linux: it gets a processor only when nothing
// else wants one, so discovery's timing is not disturbed) and hands its figure back on
// the thread that started it. A virtual clock is calibrated at once, as
// before, so that virtual runs stay the same every time.
#pragma once

#include "platform/clock.h"

#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

namespace kr5 {

class LoopCalibration : public QObject {
  public:
    LoopCalibration() = default;
    // Stops a calibration still running (the program ended first) and waits for it.
    ~LoopCalibration() override;

    // done(figure) runs once, on this object's thread, when the figure is known.
    void start(const Clock& clock, std::function<void(qint32)> done);

    bool running() const;

  private:
    std::atomic<bool> stop_{false};
    std::unique_ptr<QThread> thread_;
};

}  // namespace kr5
