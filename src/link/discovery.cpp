#include "discovery.h"

#include "link/diagnostics.h"
#include "link/wire.h"

#include <QStringList>
#include <algorithm>
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
    bool asked = false;    // the scan reached this port
    bool scanned = false;  // and could open it
    PortProblem problem;   // why it could not, and its device either way
    std::array<Find, 3> units;
    const Find& of(UnitKind k) const { return units[static_cast<size_t>(k)]; }
    bool anyUnit() const {
        return std::any_of(units.begin(), units.end(), [](const Find& f) { return f.index >= 0; });
    }
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
    finds.asked = true;
    finds.scanned = link.openPort(port);
    finds.problem = link.portProblem();
    if (!finds.scanned) {
        qCInfo(lcDiscovery) << "port" << port << finds.problem.device
                            << "not scanned:" << finds.problem.detail;
        return finds;
    }
    qCInfo(lcDiscovery) << "scanning port" << port << finds.problem.device;
    // Wake-up probe: the first frame after opening may meet a line that is not yet
    // settled, so address 0 is asked once before the scan proper and its answer dropped.
    // An answer that did not come whole may still be on its way in pieces; its tail would
    // be read as the start of the next answer, so the line must fall quiet first. Any
    // answer the scan could take fits in one time-out, and so does every pause within it.
    link.sendToAddress(0, QStringLiteral("v"));
    if (!link.receiveAny(kIdentLength, 100).whole()) {
        link.awaitQuiet(kNormalTimeout);
    }
    for (int i = 0; i < 16; ++i) {
        progress.probing(port, i);
        link.sendToAddress(i, QStringLiteral("v"));
        const QString reply = link.receiveAny(kIdentLength, kNormalTimeout).text;
        if (const auto kind = kindOf(reply)) {
            const QString ident = unitIdent(reply);
            finds.units[static_cast<size_t>(*kind)] = Find{i, ident};
            qCInfo(lcDiscovery) << "port" << port << "address" << i << "answers:" << ident;
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

// One line of the reason the detector was not found: the port, its device and what
// went wrong there.
QString portTrouble(int port, const PortFinds& finds) {
    const PortProblem& p = finds.problem;
    QString trouble;
    if (finds.scanned) {
        trouble = finds.anyUnit() ? QStringLiteral("no KR-5 answered, only other units")
                                  : QStringLiteral("no unit answered");
    } else {
        switch (p.kind) {
            case PortProblem::Kind::Missing:
                trouble = QStringLiteral("no such device");
                break;
            case PortProblem::Kind::PermissionDenied:
                trouble = p.detail.isEmpty() ? QStringLiteral("permission denied")
                                             : QStringLiteral(
                                                   "permission denied; the device belongs to group "
                                                   "%1, which this user may have to join")
                                                   .arg(p.detail);
                break;
            case PortProblem::Kind::InUse:
                trouble = QStringLiteral("in use by another program");
                break;
            default:
                trouble = p.detail.isEmpty() ? QStringLiteral("cannot be opened")
                                             : QStringLiteral("cannot be opened: %1").arg(p.detail);
                break;
        }
    }
    const QString where = p.device.isEmpty()
                              ? QStringLiteral("Port %1").arg(port)
                              : QStringLiteral("Port %1 (%2)").arg(port).arg(p.device);
    return where + QStringLiteral(": ") + trouble + QLatin1Char('.');
}

// How the search ended when port 1 did not hold both the detector and the AC unit.
UnitSearch searchWithout(const UnitsOnLine& units, const std::array<PortFinds, 3>& ports) {
    UnitSearch search;
    if (units.present(UnitKind::Detector)) {
        search.outcome =
            units.acUnitPresent() ? UnitSearch::Outcome::Found : UnitSearch::Outcome::NoAcUnit;
        return search;
    }
    QStringList lines;
    for (int port = 1; port <= 2; ++port) {
        if (ports[static_cast<size_t>(port)].asked) {
            lines << portTrouble(port, ports[static_cast<size_t>(port)]);
        }
    }
    search.outcome = ports[1].scanned || ports[2].scanned ? UnitSearch::Outcome::NoDetector
                                                          : UnitSearch::Outcome::NoPort;
    search.portProblem = (ports[1].asked ? ports[1] : ports[2]).problem.kind;
    search.reason = lines.join(QLatin1Char('\n'));
    return search;
}

}  // namespace

UnitSearch findUnits(UnitsOnLine& units, Link& link, DiscoveryProgress& progress) {
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
    const UnitSearch search = port1Complete ? UnitSearch{UnitSearch::Outcome::Found, QString()}
                                            : searchWithout(units, ports);
    progress.hideProgress();
    return search;
}

void settleSearch(const UnitSearch& search, Dialogs& dialogs,
                  std::function<void(const UnitSearch&)> decided) {
    switch (search.outcome) {
        case UnitSearch::Outcome::NoPort:
        case UnitSearch::Outcome::NoDetector:
            // The program ends once the operator has read why.
            dialogs.ask(kNoDetectorText, QString(), Dialogs::Buttons::Ok, search.reason,
                        [search, decided](Dialogs::Answer) { decided(search); });
            return;
        case UnitSearch::Outcome::NoAcUnit:
            dialogs.ask(kNoAcUnitText, kNoAcUnitTitle, Dialogs::Buttons::OkCancel, QString(),
                        [search, decided](Dialogs::Answer answer) {
                            UnitSearch settled = search;
                            settled.outcome = answer == Dialogs::Answer::Ok
                                                  ? UnitSearch::Outcome::Found
                                                  : UnitSearch::Outcome::NoAcUnitStop;
                            decided(settled);
                        });
            return;
        case UnitSearch::Outcome::Found:
        case UnitSearch::Outcome::NoAcUnitStop:
            decided(search);
            return;
    }
}

}  // namespace kr5
