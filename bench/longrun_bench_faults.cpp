#include "longrun_bench_faults.h"

#include <algorithm>
#include <random>

namespace kr5::longrun {

namespace {

// Draws that come out the same with every standard library: mt19937 is fixed by the
// standard, the distributions are not.
class Draw {
  public:
    explicit Draw(quint32 seed) : engine_(seed) {}
    double uniform(double from, double to) {
        return from + (to - from) * (static_cast<double>(engine_()) / 4294967296.0);
    }
    int below(int n) { return static_cast<int>(engine_() % static_cast<quint32>(n)); }

  private:
    std::mt19937 engine_;
};

QString unitLetters(sim::UnitKind unit) {
    return sim::typeLetters(unit);
}

}  // namespace

QString faultTypeName(FaultType type) {
    switch (type) {
        case FaultType::Silent:
            return QStringLiteral("silent");
        case FaultType::Late:
            return QStringLiteral("late");
        case FaultType::Garbled:
            return QStringLiteral("garbled");
        case FaultType::Pieces:
            return QStringLiteral("pieces");
        case FaultType::Pull:
            return QStringLiteral("pull");
        case FaultType::DiskFull:
            return QStringLiteral("disk full");
    }
    return {};
}

std::optional<FaultType> faultTypeNamed(const QString& name) {
    if (name == QLatin1String("full")) {
        return FaultType::DiskFull;
    }
    for (const FaultType type : kFaultTypes) {
        if (faultTypeName(type) == name) {
            return type;
        }
    }
    return std::nullopt;
}

QString PlannedFault::describe() const {
    QString what = faultTypeName(type);
    switch (type) {
        case FaultType::Pull:
            what += powerCycle ? QStringLiteral(" (power cycle)") : QString();
            break;
        case FaultType::DiskFull:
            what += QStringLiteral(" (%1 bytes left)").arg(roomBytes);
            break;
        default:
            what += QLatin1Char(' ') + unitLetters(unit);
            break;
    }
    return QStringLiteral("%1 %2-%3 s").arg(what).arg(fromS, 0, 'f', 1).arg(toS, 0, 'f', 1);
}

std::vector<PlannedFault> planFaults(quint32 seed, int firstMinute, int lastMinute,
                                     std::vector<FaultType> order) {
    Draw draw(seed);
    std::vector<PlannedFault> plan;
    if (order.empty()) {
        return plan;
    }
    for (int minute = firstMinute; minute <= lastMinute; ++minute) {
        const int inRound = (minute - firstMinute) % static_cast<int>(order.size());
        if (inRound == 0) {
            // A new round of the types, shuffled by hand for the same reason as Draw.
            for (int i = static_cast<int>(order.size()) - 1; i > 0; --i) {
                std::swap(order[static_cast<size_t>(i)],
                          order[static_cast<size_t>(draw.below(i + 1))]);
            }
        }
        PlannedFault f;
        f.type = order[static_cast<size_t>(inRound)];
        f.fromS = minute * 60.0 + draw.uniform(5.0, 40.0);
        f.toS = f.fromS + draw.uniform(3.0, 8.0);
        // The detector and the AC unit make the rows; the noise discriminator is asked too.
        static constexpr sim::UnitKind units[] = {sim::UnitKind::Detector, sim::UnitKind::Detector,
                                                  sim::UnitKind::AcUnit, sim::UnitKind::AcUnit,
                                                  sim::UnitKind::Discriminator};
        f.unit = units[draw.below(5)];
        f.powerCycle = draw.below(2) == 1;
        f.lateMs = draw.uniform(150.0, 500.0);
        f.garbledBytes = 1 + draw.below(3);
        f.pieces = 2 + draw.below(3);
        f.gapMs = draw.uniform(10.0, 200.0);
        f.roomBytes = draw.below(61);
        plan.push_back(f);
    }
    return plan;
}

void addToScenario(const std::vector<PlannedFault>& faults, sim::Scenario& scenario) {
    for (const PlannedFault& f : faults) {
        if (f.type == FaultType::DiskFull) {
            continue;
        }
        if (f.type == FaultType::Pull) {
            scenario.pulls.push_back(sim::PortPull{1, f.fromS, f.toS, f.powerCycle});
            continue;
        }
        sim::FaultConfig config;
        config.fromS = f.fromS;
        config.toS = f.toS;
        switch (f.type) {
            case FaultType::Silent:
                config.kind = sim::FaultKind::Silent;
                break;
            case FaultType::Late:
                config.kind = sim::FaultKind::Late;
                config.lateMs = f.lateMs;
                break;
            case FaultType::Garbled:
                config.kind = sim::FaultKind::Garbled;
                config.count = f.garbledBytes;
                break;
            default:
                config.kind = sim::FaultKind::Pieces;
                config.pieces = f.pieces;
                config.gapMs = f.gapMs;
                break;
        }
        scenario.faults.push_back(sim::FaultRule{f.unit, -1, config});
    }
}

}  // namespace kr5::longrun
