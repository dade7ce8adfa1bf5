#include "backgroundnotices.h"

#include <QStatusBar>
#include <cmath>

namespace kr5 {

void BackgroundNotices::measuringStarted() {
    measuring_ = true;
    p_.main.statusBar()->showMessage(QStringLiteral("Measuring the background for %1 s, below %2 V")
                                         .arg(BackgroundLevel::kWindowMs / 1000)
                                         .arg(std::llround(p_.background.thresholdVolts())));
}

void BackgroundNotices::refused(const QString& why) {
    measuring_ = false;
    p_.main.statusBar()->showMessage(why);
}

void BackgroundNotices::levelChanged() {
    showNoiseWarning();
    if (!measuring_ || p_.background.measuring()) {
        return;
    }
    measuring_ = false;
    p_.main.statusBar()->showMessage(
        QStringLiteral("Background: %1 pC").arg(p_.background.level().value_or(0.0), 0, 'f', 2));
}

void BackgroundNotices::showNoiseWarning() {
    if (!p_.background.setQWithinNoise()) {
        p_.vq.setNoiseWarning(QString());
        return;
    }
    p_.vq.setNoiseWarning(
        QStringLiteral("Set Q %1 pC is not above twice the background of %2 pC: CSV and CEV "
                       "would be noise. Raise Set Q in Input const.")
            .arg(p_.constants.setQ)
            .arg(*p_.background.level(), 0, 'f', 2));
}

}  // namespace kr5
