#include "timing.h"

#include "core/format.h"
#include "core/numeric.h"

#include <limits>

namespace kr5 {

Timing::Timing(Clock& clock, Waiter& waiter) : clock_(clock), waiter_(waiter) {}

Timing::~Timing() {
    stopTimers();
}

void Timing::startTimers() {
    if (timersRunning()) {
        return;
    }
    readoutTimer_ = clock_.startTimer(readoutIntervalMs, [this] { showReadout(); });
    tickTimer_ = clock_.startTimer(tickMs, [this] { tick(); });
}

void Timing::stopTimers() {
    if (readoutTimer_ != 0) {
        clock_.stopTimer(readoutTimer_);
    }
    if (tickTimer_ != 0) {
        clock_.stopTimer(tickTimer_);
    }
    readoutTimer_ = tickTimer_ = 0;
}

void Timing::tick() {
    if (cycleCountdown_ > 0) {
        --cycleCountdown_;
    }
    if (waitCountdown_ > 0) {
        --waitCountdown_;
    }
}

void Timing::showReadout() {
    if (cyclesThisSecond_ != 0) {
        emit cycleTimeChanged(formatPattern(1000.0 / cyclesThisSecond_, QStringLiteral("####")));
    }
    cyclesThisSecond_ = 0;
}

void Timing::waitUntilZero(qint32& countdown) {
    if (!timersRunning()) {
        // No tick to count down (before the loop starts): wait the same whole ticks on
        // the clock instead of hanging.
        const qint64 deadline = clock_.nowMs() + qint64{countdown} * tickMs;
        while (clock_.nowMs() < deadline) {
            waiter_.waitUntil(deadline);
        }
        countdown = 0;
        return;
    }
    while (countdown > 0) {
        waiter_.waitUntil(std::numeric_limits<qint64>::max());
    }
}

void Timing::startCycle(double sampleMs) {
    cycleCountdown_ = roundEvenLong(sampleMs / tickMs);
}

void Timing::wait(double ms) {
    waitCountdown_ = roundEvenLong(ms / tickMs);
    waitUntilZero(waitCountdown_);
}

void Timing::waitForCycleEnd() {
    // A cycle that used up its sample time goes on at once.
    if (cycleCountdown_ > 0) {
        waitUntilZero(cycleCountdown_);
    }
}

qint32 calibrateLoop(const Clock& clock) {
    const std::atomic<bool> never{false};
    return calibrateLoop(clock, never);
}

qint32 calibrateLoop(const Clock& clock, const std::atomic<bool>& stop) {
    const auto secondOf = [&clock] { return clock.localTime().toSecsSinceEpoch(); };
    const qint64 first = secondOf();
    while (secondOf() == first) {
        if (stop.load(std::memory_order_relaxed)) {
            return 0;
        }
    }
    const qint64 t0 = secondOf();
    qint64 reads = 0;
    do {
        ++reads;
        if (stop.load(std::memory_order_relaxed)) {
            return 0;
        }
    } while (secondOf() == t0);
    return roundEvenLong(static_cast<double>(reads) / 20.0);
}

}  // namespace kr5
