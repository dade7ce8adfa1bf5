#include "resultsstoring.h"

#include <QSettings>

namespace kr5 {

ResultsLocation configuredResultsLocation(const QString& configPath, const QString& dataFolder) {
    if (configPath.isEmpty()) {
        const QSettings user(QStringLiteral("kr5au"), QStringLiteral("kr5au"));
        return configuredLocation(user, dataFolder);
    }
    const QSettings file(configPath, QSettings::IniFormat);
    return configuredLocation(file, dataFolder);
}

ResultsStoring::ResultsStoring(const Parts& parts)
    : p_(parts),
      service_(configuredResultsLocation(parts.configPath, parts.dataFolder),
               queuePath(parts.dataFolder)) {
    QObject::connect(&service_, &ResultsService::waitingChanged, &p_.main,
                     [this](int waiting) { showWaiting(waiting); });
    QObject::connect(&service_, &ResultsService::sent, &p_.main,
                     [this](const QString& message, bool failed) {
                         if (failed) {
                             p_.main.showWarning(message);
                         }
                     });
    // Sends what waits; else reads the count again, which other bays may have raised.
    retryTimer_ = p_.clock.startTimer(kRetryMs, [this] {
        if (service_.waiting() != 0) {
            service_.retry();
        } else {
            service_.readFacts();
        }
    });
}

ResultsStoring::~ResultsStoring() {
    p_.clock.stopTimer(retryTimer_);
}

void ResultsStoring::store(const QJsonObject& summary, const QnPasses& passes,
                           const QString& path) {
    service_.store(newStoredTest(summary, passes, path));
}

void ResultsStoring::showWaiting(int waiting) {
    p_.status.setResultsWaiting(waiting);
    if (waiting == 0) {
        p_.main.showResultsWaiting(QString());
    } else if (waiting < 0) {
        p_.main.showResultsWaiting(QStringLiteral("Results: the local queue cannot be read"));
    } else {
        p_.main.showResultsWaiting(
            QStringLiteral("Results: %1 test(s) waiting for the store").arg(waiting));
    }
}

}  // namespace kr5
