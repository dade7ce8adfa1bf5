// The units as start-up finds them on the default simulated bench: the detector at address 0,
// the AC unit at 1 and the noise discriminator at 2, on port 1, open at 9600 baud.
#pragma once

#include "link/link.h"
#include "link/units.h"

namespace kr5::test {

inline void defaultBenchUnits(UnitsOnLine& units, bool withAc = true, bool withZn = true) {
    units.clear();
    units.port = 1;
    units.unit(UnitKind::Detector) = FoundUnit{0, QStringLiteral("KR-5 SIM 0001")};
    if (withAc) {
        units.unit(UnitKind::AcUnit) = FoundUnit{1, QStringLiteral("AU-1 SIM 0002")};
    }
    if (withZn) {
        units.unit(UnitKind::NoiseDiscriminator) = FoundUnit{2, QStringLiteral("ZN-4 SIM 0003")};
    }
}

// Returns whether port 1 could be opened.
inline bool startOnDefaultBench(UnitsOnLine& units, Link& link, bool withAc = true,
                                bool withZn = true) {
    defaultBenchUnits(units, withAc, withZn);
    return link.openPort(1);
}

}  // namespace kr5::test
