#include "storedtest.h"

#include "modes/qm.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSysInfo>
#include <QUuid>

namespace kr5 {

namespace {

QJsonArray passesJson(const QnPasses& passes) {
    QJsonArray array;
    for (const QnRates& rates : passes) {
        QJsonArray pass;
        for (const std::optional<double>& rate : rates) {
            pass.append(rate ? QJsonValue(*rate) : QJsonValue(QJsonValue::Null));
        }
        array.append(pass);
    }
    return array;
}

QnPasses passesFrom(const QJsonArray& array) {
    QnPasses passes;
    for (const QJsonValue& value : array) {
        passes.push_back(ratesFromJson(value.toArray()));
    }
    return passes;
}

}  // namespace

QnRates ratesFromJson(const QJsonArray& array) {
    QnRates rates{};
    for (int r = 0; r < kAttenuatorRanges && r < array.size(); ++r) {
        if (array[r].isDouble()) {
            rates[static_cast<size_t>(r)] = array[r].toDouble();
        }
    }
    return rates;
}

std::optional<double> blockQmPc(const QnPasses& passes, double adjust) {
    QmTracker tracker;
    for (const QnRates& rates : passes) {
        for (size_t range = 0; range < rates.size(); ++range) {
            tracker.takeStep(int(range), rates[range]);
        }
        tracker.passDone();
    }
    const Qm qm = tracker.block(adjust);
    return !passes.empty() && qm.where == Qm::Where::Found ? std::optional(qm.pC) : std::nullopt;
}

StoredTest newStoredTest(const QJsonObject& summary, const QnPasses& passes,
                         const QString& measurementPath) {
    StoredTest test;
    test.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    test.bay = QSysInfo::machineHostName();
    test.summary = summary;
    test.qnPasses = passes;
    test.adjust = summary.value(QStringLiteral("inputConstants"))
                      .toObject()
                      .value(QStringLiteral("adjustPcPerV"))
                      .toDouble();
    test.measurementPath = QFileInfo(measurementPath).absoluteFilePath();
    return test;
}

QString fileSha256(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) {
        return {};
    }
    return QString::fromLatin1(hash.result().toHex());
}

void hashFiles(StoredTest& test) {
    if (test.measurementSha256.isEmpty()) {
        test.measurementSha256 = fileSha256(test.measurementPath);
    }
    if (test.measurementSha256.isEmpty()) {
        const QByteArray text = QJsonDocument(test.summary).toJson(QJsonDocument::Compact);
        test.measurementSha256 =
            QStringLiteral("summary:") +
            QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex());
    }
    if (test.reportPath.isEmpty()) {
        const QFileInfo measurement(test.measurementPath);
        const QString beside =
            measurement.dir().filePath(measurement.completeBaseName() + QStringLiteral(".pdf"));
        if (QFileInfo::exists(beside)) {
            test.reportPath = beside;
        }
    }
    if (!test.reportPath.isEmpty() && test.reportSha256.isEmpty()) {
        test.reportSha256 = fileSha256(test.reportPath);
    }
}

QByteArray storedTestJson(const StoredTest& test) {
    const QJsonObject object{{QStringLiteral("id"), test.id},
                             {QStringLiteral("bay"), test.bay},
                             {QStringLiteral("summary"), test.summary},
                             {QStringLiteral("qnPasses"), passesJson(test.qnPasses)},
                             {QStringLiteral("adjust"), test.adjust},
                             {QStringLiteral("measurementPath"), test.measurementPath},
                             {QStringLiteral("measurementSha256"), test.measurementSha256},
                             {QStringLiteral("reportPath"), test.reportPath},
                             {QStringLiteral("reportSha256"), test.reportSha256}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool storedTestFromJson(const QByteArray& json, StoredTest* test) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return false;
    }
    const QJsonObject o = document.object();
    test->id = o.value(QStringLiteral("id")).toString();
    test->bay = o.value(QStringLiteral("bay")).toString();
    test->summary = o.value(QStringLiteral("summary")).toObject();
    test->qnPasses = passesFrom(o.value(QStringLiteral("qnPasses")).toArray());
    test->adjust = o.value(QStringLiteral("adjust")).toDouble();
    test->measurementPath = o.value(QStringLiteral("measurementPath")).toString();
    test->measurementSha256 = o.value(QStringLiteral("measurementSha256")).toString();
    test->reportPath = o.value(QStringLiteral("reportPath")).toString();
    test->reportSha256 = o.value(QStringLiteral("reportSha256")).toString();
    return !test->id.isEmpty();
}

}  // namespace kr5
