#include "unitstatus.h"

#include <QStringList>

namespace kr5 {

namespace {

void count(int& misses, qint64& total, bool answered) {
    misses = answered ? 0 : misses + 1;
    total += answered ? 0 : 1;
}

}  // namespace

void UnitStatus::takeReading(const Reading& r) {
    ++readings_;
    count(detectorMisses_, detectorMissed_,
          r.detectorAnswered() && (!r.isQnStep() || r.countAnswered()));
    count(acMisses_, acMissed_, !r.acPresent || r.acAnswered());
    count(discriminatorMisses_, discriminatorMissed_, !r.noisePresent || r.noise.has_value());

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

QString UnitStatus::summary() const {
    return QStringLiteral("readings %1, without a reply: KR-5 %2, ACU %3, ZN-4 %4")
        .arg(readings_)
        .arg(detectorMissed_)
        .arg(acMissed_)
        .arg(discriminatorMissed_);
}

}  // namespace kr5
