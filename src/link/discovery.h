// Finding the units at start-up: every address of port 1, and of port 2 when needed, is
// asked to identify itself; the answers decide the port, the units present and their
// addresses, and whether the program may run at all.
#pragma once

#include "link/link.h"
#include "link/units.h"
#include "platform/dialogs.h"

#include <QString>
#include <functional>

namespace kr5 {

// The progress window shown while the ports are scanned.
class DiscoveryProgress {
  public:
    virtual ~DiscoveryProgress() = default;
    virtual void showProgress() = 0;
    virtual void probing(int port, int index) = 0;
    virtual void found(int port, UnitKind kind, int index, const QString& ident) = 0;
    virtual void hideProgress() = 0;
};

// Texts of the start-up messages.
inline const QString kNoDetectorText = QStringLiteral("Can not find KR-5.\rStop mes.");
inline const QString kNoAcUnitText = QStringLiteral("Can not find ACU.\rmes. without ACU\uFF1F");
inline const QString kNoAcUnitTitle = QStringLiteral("NO CONNECT ACU");

// How the search for the units ended.
struct UnitSearch {
    enum class Outcome {
        Found,         // the detector answered (the AC unit too, or the operator goes on)
        NoPort,        // no port could be opened
        NoDetector,    // a port opened, but the detector answered on none
        NoAcUnit,      // the detector answered but not the AC unit: the operator decides
        NoAcUnitStop,  // the operator would not go on without the AC unit
    };
    Outcome outcome = Outcome::NoDetector;
    // Why the detector was not found, one line per port asked: its device and what went
    // wrong. Shown as the detail of the "Can not find KR-5." message.
    QString reason;
    // With NoPort: what kept port 1 closed (or port 2, when port 1 was not asked).
    PortProblem::Kind portProblem = PortProblem::Kind::None;

    bool found() const { return outcome == Outcome::Found; }
};

// Scans the ports and fills units, asking nobody (it runs with the line, away from the
// windows).
UnitSearch findUnits(UnitsOnLine& units, Link& link, DiscoveryProgress& progress);

// Tells the operator why the detector was not found, or asks whether to measure without
// the AC unit, and gives decided the search's final outcome once answered (at once when
// there is nothing to say). Anything but Found means the program must end.
void settleSearch(const UnitSearch& search, Dialogs& dialogs,
                  std::function<void(const UnitSearch&)> decided);

}  // namespace kr5
