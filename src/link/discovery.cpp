#include "discovery.h"

#include "link/wire.h"

#include <array>
#include <optional>

namespace kr5 {

namespace {

struct Find {
    int index = -1;
    QString ident;
};

// What answered on one port: the last unit of each kind wins.
struct PortFinds {
    bool scanned = false;
    std::array<Find, 3> units;
    const Find& of(UnitKind k) const { return units[static_cast<size_t>(k)]; }
};

std::optional<UnitKind> kindOf(const QString& reply) {
    const QString type = unitType(reply);
    if (type == QLatin1String("KR")) {
        return UnitKind::Detector;
    }
    if (type == QLatin1String("AU")) {
        return UnitKind::AcUnit;
    }
    if (type == QLatin1String("ZN")) {
        return UnitKind::NoiseDiscriminator;
    }
    return std::nullopt;
}

PortFinds scanPort(int port, Link& link, DiscoveryProgress& progress) {
    PortFinds finds;
    if (!link.openPort(port)) {
        return finds;
    }
    finds.scanned = true;
    // Wake-up probe: the first frame after opening may meet a line that is not yet
    // settled, so address 0 is asked once before the scan proper and its answer dropped.
    link.sendToAddress(0, QStringLiteral("v"));
    link.receiveAny(kIdentLength, 100);
    for (int i = 0; i < 16; ++i) {
        progress.probing(port, i);
        link.sendToAddress(i, QStringLiteral("v"));
        const QString reply = link.receiveAny(kIdentLength, kNormalTimeout).text;
        if (const auto kind = kindOf(reply)) {
            const QString ident = unitIdent(reply);
            finds.units[static_cast<size_t>(*kind)] = Find{i, ident};
            progress.found(port, *kind, i, ident);
        }
    }
    link.closePort();
    return finds;
}

// Takes the units of the detector's port. A unit that answered only on the other port
// could never be reached, since all traffic goes to the detector's port.
void acceptUnits(UnitsOnLine& units, int port, const PortFinds& finds) {
    units.port = port;
    for (const UnitKind kind :
         {UnitKind::Detector, UnitKind::AcUnit, UnitKind::NoiseDiscriminator}) {
        const Find& find = finds.of(kind);
        if (find.index >= 0) {
            units.unit(kind) = FoundUnit{find.index, find.ident};
        }
    }
}

// The questions asked when port 1 did not hold both the detector and the AC unit.
bool mayGoOn(const UnitsOnLine& units, Dialogs& dialogs) {
    if (!units.present(UnitKind::Detector)) {
        dialogs.message(kNoDetectorText, QString(), Dialogs::Buttons::Ok);
        return false;
    }
    return units.acUnitPresent() ||
           dialogs.message(kNoAcUnitText, kNoAcUnitTitle, Dialogs::Buttons::OkCancel) ==
               Dialogs::Answer::Ok;
}

}  // namespace

bool findUnits(UnitsOnLine& units, Link& link, DiscoveryProgress& progress, Dialogs& dialogs) {
    units.clear();
    progress.showProgress();

    std::array<PortFinds, 3> ports;  // indexed by port number 1 and 2
    ports[1] = scanPort(1, link, progress);
    const bool port1Complete =
        ports[1].of(UnitKind::Detector).index >= 0 && ports[1].of(UnitKind::AcUnit).index >= 0;
    if (!port1Complete) {
        ports[2] = scanPort(2, link, progress);
    }
    // The detector found last wins: port 2 over port 1.
    const int port = ports[2].of(UnitKind::Detector).index >= 0   ? 2
                     : ports[1].of(UnitKind::Detector).index >= 0 ? 1
                                                                  : 0;
    if (port != 0) {
        acceptUnits(units, port, ports[static_cast<size_t>(port)]);
    }
    const bool goOn = port1Complete || mayGoOn(units, dialogs);
    progress.hideProgress();
    return goOn;
}

}  // namespace kr5
