// One closed test as the results store keeps it: the summary written beside its
// measurement file, the Q-N counts of each pass, and the files it came from with their
// SHA-256, which tell the same file stored twice. The id is made by the bay that wrote
// it, so tests from several bays never share one.
#pragma once

#include "core/qncounts.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace kr5 {

struct StoredTest {
    QString id;   // a UUID without braces
    QString bay;  // the host that stored it
    QJsonObject summary;
    QnPasses qnPasses;
    double adjust = 0.0;  // the pC per volt the passes' thresholds were counted with
    QString measurementPath;
    QString measurementSha256;
    QString reportPath;  // empty: no report beside the measurement file
    QString reportSha256;
};

// A test with a new id, this host as its bay, and the adjust of its summary.
StoredTest newStoredTest(const QJsonObject& summary, const QnPasses& passes,
                         const QString& measurementPath);

// Fills in the files' SHA-256, and the report when one lies beside the measurement file
// (same name, .pdf). A measurement file that cannot be read is hashed by its summary
// instead, so that the test is still stored once. Reads the files: not for the windows'
// thread.
void hashFiles(StoredTest& test);

// Qm of the block the passes make (each range's mean rate over them), in pC; none where
// there are no passes or the rate does not cross 10 pulses a second within the ranges.
std::optional<double> blockQmPc(const QnPasses& passes, double adjust);
// One pass's rates from the JSON array a store keeps them in (null: a range not counted).
QnRates ratesFromJson(const QJsonArray& array);

// The SHA-256 of a file in hex; empty when it cannot be read.
QString fileSha256(const QString& path);

// The test as one JSON object, for the local queue, and back; false when the text is not
// one.
QByteArray storedTestJson(const StoredTest& test);
bool storedTestFromJson(const QByteArray& json, StoredTest* test);

}  // namespace kr5
