// The long run's faults: one in every simulated minute, a few seconds long, drawn from the
// seed so that every run with the same seed meets the same ones. The line's faults (a unit
// silent, late, garbled or answering in pieces, the adapter pulled) go into the bench's
// scenario before it is built; a full disk is switched on and off by the run itself.
#pragma once

#include "sim/scenario.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace kr5::longrun {

enum class FaultType { Silent, Late, Garbled, Pieces, Pull, DiskFull };

inline constexpr std::array<FaultType, 6> kFaultTypes = {FaultType::Silent,  FaultType::Late,
                                                         FaultType::Garbled, FaultType::Pieces,
                                                         FaultType::Pull,    FaultType::DiskFull};

QString faultTypeName(FaultType type);
// The type named as faultTypeName names it, or "full" for a full disk.
std::optional<FaultType> faultTypeNamed(const QString& name);

struct PlannedFault {
    FaultType type = FaultType::Silent;
    double fromS = 0.0;  // clock (and bench) time, seconds
    double toS = 0.0;
    sim::UnitKind unit = sim::UnitKind::Detector;  // the line's faults but a pull
    bool powerCycle = false;                       // a pull: the units were switched off
    double lateMs = 0.0;                           // late: extra delay of each answer
    int garbledBytes = 0;                          // garbled: characters changed
    int pieces = 0;                                // pieces: parts, gapMs apart
    double gapMs = 0.0;
    qint64 roomBytes = 0;  // a full disk: the bytes that still fit when it fills

    // "silent KR 61.0-66.4 s", for the report of a fault that did not mend.
    QString describe() const;
};

// One fault in each of the minutes firstMinute .. lastMinute (clock minutes), starting
// 5 to 40 s into its minute and lasting 3 to 8 s. Each run of as many minutes as there are
// types meets each type once, in an order drawn from the seed. No types, no faults.
std::vector<PlannedFault> planFaults(quint32 seed, int firstMinute, int lastMinute,
                                     std::vector<FaultType> types = {kFaultTypes.begin(),
                                                                     kFaultTypes.end()});

// Puts the line's faults into the scenario (a full disk is not the bench's).
void addToScenario(const std::vector<PlannedFault>& faults, sim::Scenario& scenario);

}  // namespace kr5::longrun
