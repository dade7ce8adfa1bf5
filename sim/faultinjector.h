// The faults of one unit: decides per frame whether the unit is away, and bends its
// answer (drops, cuts, garbles, delays or splits it) as a failing unit or cable would.
// Draws from its own random stream so that faults never shift the readings.
#pragma once

#include "random.h"
#include "scenario.h"

#include <QByteArray>
#include <vector>

namespace kr5::sim {

class FaultInjector {
  public:
    FaultInjector(std::vector<FaultConfig> faults, quint32 seed, quint32 unitKey);

    // One part of an answer and the pause before it leaves (after the previous part, or
    // after the unit is ready for the first).
    struct Piece {
        double delayUs = 0.0;
        QByteArray bytes;
    };

    // Whether the unit is away when a frame reaches it at atUs.
    bool goneAt(double atUs);

    // The answer as it leaves the unit at atUs: no pieces when nothing leaves.
    std::vector<Piece> shape(const QByteArray& reply, double atUs);

    bool empty() const { return faults_.empty(); }

  private:
    bool hits(const FaultConfig& f, double atUs);

    std::vector<FaultConfig> faults_;
    SimRandom random_;
};

}  // namespace kr5::sim
