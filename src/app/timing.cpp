#include "timing.h"

#include "format.h"
#include "numeric.h"

#include <limits>

namespace kr5 {

Timing::Timing(Globals& g, Clock& clock, EventPump& pump) : g_(g), clock_(clock), pump_(pump) {}

Timing::~Timing() {
    stopTimers();
}

void Timing::startTimers() {
    if (timersRunning()) {
        return;
    }
    timer1Id_ = clock_.startTimer(timer1Ms, [this] { timer1Tick(); });
    timer2Id_ = clock_.startTimer(timer2Ms, [this] { timer2Tick(); });
}

void Timing::stopTimers() {
    if (timer1Id_ != 0) {
        clock_.stopTimer(timer1Id_);
    }
    if (timer2Id_ != 0) {
        clock_.stopTimer(timer2Id_);
    }
    timer1Id_ = timer2Id_ = 0;
}

void Timing::timer2Tick() {
    if (cyccnt > 0) {
        --cyccnt;
    }
    if (waitcnt > 0) {
        --waitcnt;
    }
}

void Timing::timer1Tick() {
    if (g_.cyccount != 0 && showCycleTime) {
        showCycleTime(formatPattern(1000.0 / g_.cyccount, QStringLiteral("####")));
    }
    g_.cyccount = 0;
}

void Timing::pumpUntilZero(qint32& countdown) {
    if (!timersRunning()) {
        // No Timer2 to count down (before the loop starts): wait the same whole ticks
        // on the clock instead of hanging.
        const qint64 deadline = clock_.nowMs() + qint64{countdown} * timer2Ms;
        while (clock_.nowMs() < deadline) {
            pump_.waitForEvent(deadline);
        }
        countdown = 0;
        return;
    }
    while (countdown > 0) {
        pump_.waitForEvent(std::numeric_limits<qint64>::max());
    }
}

void Timing::wait(double ms) {
    waitcnt = roundEvenLong(ms / 100.0);
    pumpUntilZero(waitcnt);
}

void Timing::waitcycle() {
    pump_.pumpOnce();
    pumpUntilZero(cyccnt);
}

qint32 calibrateLoop(const Clock& clock) {
    const auto secondOf = [&clock] { return clock.localTime().toSecsSinceEpoch(); };
    const qint64 first = secondOf();
    while (secondOf() == first) {
    }
    const qint64 t0 = secondOf();
    qint64 reads = 0;
    do {
        ++reads;
    } while (secondOf() == t0);
    return roundEvenLong(static_cast<double>(reads) / 20.0);
}

}  // namespace kr5
