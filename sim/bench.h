// The bench: the units on their ports, the test set they measure and the line between
// them and the program. It is told when bytes from the program have arrived and answers
// with the bytes that go back and the moment each one arrives; it never waits. The
// in-process port (SimPort) drives it in virtual time, the kr5sim program in real time.
//
// Timing of the line: every byte takes 10 bit times at the speed it is sent at. A unit
// answers a turnaround after the last byte of its frame (after the gate for a count),
// and its answer follows any answer still on the line.
#pragma once

#include "acunit.h"
#include "detector.h"
#include "discriminator.h"
#include "faultinjector.h"
#include "framelog.h"
#include "physics.h"
#include "scenario.h"

#include <QByteArray>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace kr5::sim {

// Microseconds one byte takes on the line: start bit, 8 data bits, stop bit.
inline double byteTimeUs(int baud) {
    return baud > 0 ? 1e7 / baud : 0.0;
}

// A byte as a receiver set to another speed than the sender's takes it in.
char misreadByte(char byte);

// Bytes for the program, complete at atUs, sent at baud.
struct LineBytes {
    double atUs = 0.0;
    QByteArray bytes;
    int baud = 0;
};

class Bench {
  public:
    explicit Bench(const Scenario& scenario);
    ~Bench();
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    const Scenario& scenario() const { return scenario_; }

    // Whether the port has a line at atUs: it exists and its adapter is not pulled out.
    bool portPresent(int port, double atUs) const;
    // The moments after afterUs at which the presence of the port changes, ascending.
    std::vector<double> presenceChangesAfter(int port, double afterUs) const;

    // Bytes sent by the program at `baud` on `port` have arrived, the last one at atUs.
    // Returns the bytes the units send back, one entry per byte, in time order.
    std::vector<LineBytes> receive(int port, int baud, const QByteArray& bytes, double atUs);

    // Every frame received so far, each with what its unit answered.
    const std::vector<FrameRecord>& frames() const { return frames_; }
    // Whether frames() keeps every frame (the default). A run of many hours turns it off,
    // so that the log does not grow without end; the observer still sees every frame.
    void setKeepFrames(bool keep) { keepFrames_ = keep; }
    // Called for every frame as it is logged, with its unit's answer (the kr5sim program
    // writes its log file from here).
    void setFrameObserver(std::function<void(const FrameRecord&)> observer) {
        observer_ = std::move(observer);
    }

    Unit* unitAt(int port, int address) const;
    // The first unit of each kind, or null.
    Detector* detector() const;
    AcUnit* acUnit() const;
    Discriminator* discriminator() const;
    Physics& physics() { return *physics_; }

  private:
    struct Slot {
        std::unique_ptr<Unit> unit;
        std::unique_ptr<FaultInjector> faults;
    };
    struct Line {
        QByteArray pending;     // bytes of a frame not yet complete
        double txFreeUs = 0.0;  // when the units' side of the line is free again
    };

    void handleFrame(int port, int baud, const QByteArray& raw, double atUs,
                     std::vector<LineBytes>& out);
    // The addressed unit takes the frame; returns its answer (empty when none) and puts
    // the bytes that reach the line in out.
    QByteArray answerFrame(const FrameRecord& frame, std::vector<LineBytes>& out);
    const Slot* slotAt(int port, int address) const;

    Scenario scenario_;
    std::unique_ptr<Physics> physics_;
    std::vector<Slot> slots_;
    std::map<int, Line> lines_;
    std::vector<FrameRecord> frames_;
    bool keepFrames_ = true;
    std::function<void(const FrameRecord&)> observer_;
};

}  // namespace kr5::sim
