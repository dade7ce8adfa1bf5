#include "unitstatus.h"

#include <QStringList>

namespace kr5 {

namespace {

void count(int& misses, bool answered) {
    misses = answered ? 0 : misses + 1;
}

}  // namespace

void UnitStatus::takeReading(const Reading& r) {
    count(detectorMisses_, r.detectorAnswered() && (!r.isQnStep() || r.countAnswered()));
    count(acMisses_, !r.acPresent || r.acAnswered());
    count(discriminatorMisses_, !r.noisePresent || r.noise.has_value());

    QStringList parts;
    const auto add = [&parts](const char* unit, int misses) {
        if (misses > 0) {
            parts << QStringLiteral("%1: no reply (%2)").arg(QLatin1String(unit)).arg(misses);
        }
    };
    add("KR-5", detectorMisses_);
    add("ACU", acMisses_);
    add("ZN-4", discriminatorMisses_);
    const QString text = parts.join(QStringLiteral("; "));
    if (text != text_) {
        text_ = text;
        emit changed(text_);
    }
}

}  // namespace kr5
