// The units found on the line: the detector's port, and for each unit its address
// index (0..15, or -1 when it was not found) and the identification it gave. Discovery
// fills it; the link addresses the units by it; the About box and the file header show
// the identifications.
#pragma once

#include <QString>
#include <array>

namespace kr5 {

enum class UnitKind { Detector, AcUnit, NoiseDiscriminator };

inline constexpr int kUnitKinds = 3;

struct FoundUnit {
    int address = -1;  // index 0..15: the unit answers the address byte 0xC0 + index
    QString ident;     // its 13-character identification

    bool present() const { return address >= 0; }
};

struct UnitsOnLine {
    int port = 0;  // 1 or 2: the port of the detector, which all traffic uses
    std::array<FoundUnit, kUnitKinds> units{};

    FoundUnit& unit(UnitKind kind) { return units[static_cast<size_t>(kind)]; }
    const FoundUnit& unit(UnitKind kind) const { return units[static_cast<size_t>(kind)]; }
    bool present(UnitKind kind) const { return unit(kind).present(); }
    bool acUnitPresent() const { return present(UnitKind::AcUnit); }
    bool discriminatorPresent() const { return present(UnitKind::NoiseDiscriminator); }

    // The port's last decimal digit, as window captions and the settings file name show
    // it ("1" for port 1).
    QString portDigit() const { return QString::number(port).right(1); }

    // Forgets every unit (a new discovery).
    void clear() { *this = UnitsOnLine{}; }
};

}  // namespace kr5
