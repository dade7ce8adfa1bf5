#include "cycletraffic.h"

namespace kr5 {

void CycleTraffic::spoilIfFollowedByStrays(Reply& earlier, const Reply& later) {
    if (earlier.whole() && later.status == Reply::Status::Overlong) {
        earlier.status = Reply::Status::Overlong;
    }
}

ReadingReplies CycleTraffic::read() {
    ReadingReplies r;
    link_.send(UnitKind::Detector, QStringLiteral("x"));
    r.detector = link_.receive(UnitKind::Detector, kMeasureLength, kNormalTimeout);
    r.takenAtMs = clock_.nowMs();
    const bool ac = units_.acUnitPresent();
    const bool noise = units_.discriminatorPresent();
    if (ac) {
        link_.send(UnitKind::AcUnit, QStringLiteral("t"));
        r.ac = link_.receive(UnitKind::AcUnit, kShortReadLength, kNormalTimeout);
        spoilIfFollowedByStrays(r.detector, r.ac);
    }
    if (noise) {
        link_.send(UnitKind::NoiseDiscriminator, QStringLiteral("g"));
    }
    if (noise) {
        r.noise = link_.receive(UnitKind::NoiseDiscriminator, kShortReadLength, kNormalTimeout);
        spoilIfFollowedByStrays(ac ? r.ac : r.detector, r.noise);
    }
    return r;
}

std::optional<qint32> CycleTraffic::countGate(qint32 gateTimeMs) {
    link_.send(UnitKind::Detector, QStringLiteral("c") + QString::number(gateTimeMs));
    timing_.wait(gateTimeMs);
    const Reply reply = link_.receive(UnitKind::Detector, kShortReadLength, 2 * gateTimeMs);
    if (const auto count = gateCount(reply)) {
        return countRate(*count, gateTimeMs);
    }
    return std::nullopt;
}

}  // namespace kr5
