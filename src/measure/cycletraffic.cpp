#include "cycletraffic.h"

namespace kr5 {

ReadingReplies CycleTraffic::read() {
    ReadingReplies r;
    link_.send(UnitKind::Detector, QStringLiteral("x"));
    r.detector = link_.receive(UnitKind::Detector, kMeasureLength, kNormalTimeout);
    r.takenAtMs = clock_.nowMs();
    if (units_.acUnitPresent()) {
        link_.send(UnitKind::AcUnit, QStringLiteral("t"));
        r.ac = link_.receive(UnitKind::AcUnit, kShortReadLength, kNormalTimeout);
    }
    if (units_.discriminatorPresent()) {
        link_.send(UnitKind::NoiseDiscriminator, QStringLiteral("g"));
        r.noise = link_.receive(UnitKind::NoiseDiscriminator, kShortReadLength, kNormalTimeout);
    }
    return r;
}

Reply CycleTraffic::countGate(qint32 gateTimeMs) {
    link_.send(UnitKind::Detector, QStringLiteral("c") + QString::number(gateTimeMs));
    timing_.wait(gateTimeMs);
    return link_.receive(UnitKind::Detector, kShortReadLength, 2 * gateTimeMs);
}

}  // namespace kr5
