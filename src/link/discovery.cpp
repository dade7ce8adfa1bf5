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

PortFinds scanPort(int port, Globals& g, Link& link, DiscoveryProgress& progress) {
    PortFinds finds;
    if (!link.openport(port)) {
        return finds;
    }
    finds.scanned = true;
    // Wake-up probe: the first frame after opening may meet a line that is not yet
    // settled, so address 0 is asked once before the scan proper and its answer dropped.
    link.sendTo(0, QStringLiteral("v"));
    link.receive(replyIdent, 100);
    for (int i = 0; i < 16; ++i) {
        progress.probing(port, i);
        link.sendTo(i, QStringLiteral("v"));
        link.receive(replyIdent, timeoutNormal);
        const QString reply = g.rxbuf;
        if (const auto kind = kindOf(reply)) {
            const QString ident = unitIdent(reply);
            finds.units[static_cast<size_t>(*kind)] = Find{i, ident};
            progress.found(port, *kind, i, ident);
        }
    }
    link.closeport();
    return finds;
}

// Takes the units of the detector's port into the globals. A unit that answered only on
// the other port could never be reached, since all traffic goes to the detector's port.
void acceptUnits(Globals& g, int port, const PortFinds& finds) {
    const Find& kr = finds.of(UnitKind::Detector);
    const Find& acu = finds.of(UnitKind::AcUnit);
    const Find& zn = finds.of(UnitKind::NoiseDiscriminator);
    g.comport = port;
    g.kradr = g.adrtbl[static_cast<size_t>(kr.index)];
    g.krid = kr.ident;
    if (acu.index >= 0) {
        g.acuadr = g.adrtbl[static_cast<size_t>(acu.index)];
        g.acuid = acu.ident;
        g.acuok = true;
    }
    if (zn.index >= 0) {
        g.znadr = g.adrtbl[static_cast<size_t>(zn.index)];
        g.znid = zn.ident;
        g.znok = true;
    }
}

// The questions asked when port 1 did not hold both the detector and the AC unit.
bool mayGoOn(const Globals& g, Dialogs& dialogs) {
    if (g.kradr.isEmpty()) {
        dialogs.message(kNoDetectorText, QString(), Dialogs::Buttons::Ok);
        return false;
    }
    return !g.acuadr.isEmpty() ||
           dialogs.message(kNoAcUnitText, kNoAcUnitTitle, Dialogs::Buttons::OkCancel) ==
               Dialogs::Answer::Ok;
}

}  // namespace

bool findunits(Globals& g, Link& link, DiscoveryProgress& progress, Dialogs& dialogs) {
    link.setadr();
    g.acuok = g.znok = false;
    g.kradr.clear();
    g.znadr.clear();
    g.krid.clear();
    g.acuid.clear();
    g.znid.clear();
    progress.showProgress();

    std::array<PortFinds, 3> ports;  // indexed by port number 1 and 2
    ports[1] = scanPort(1, g, link, progress);
    const bool port1Complete =
        ports[1].of(UnitKind::Detector).index >= 0 && ports[1].of(UnitKind::AcUnit).index >= 0;
    if (!port1Complete) {
        ports[2] = scanPort(2, g, link, progress);
    }
    // The detector found last wins: port 2 over port 1.
    const int port = ports[2].of(UnitKind::Detector).index >= 0   ? 2
                     : ports[1].of(UnitKind::Detector).index >= 0 ? 1
                                                                  : 0;
    if (port != 0) {
        acceptUnits(g, port, ports[static_cast<size_t>(port)]);
    }
    const bool goOn = port1Complete || mayGoOn(g, dialogs);
    progress.hideProgress();
    return goOn;
}

}  // namespace kr5
