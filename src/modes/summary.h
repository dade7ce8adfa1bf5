// The summary of a measurement file, written beside it (same name, .json) when the file is
// closed: what a report or a test record needs without reading the rows again. The tally
// follows the recording; the summary is put together from the parts in force at the close
// and replaces the .json whole or not at all.
#pragma once

#include "core/inputconstants.h"
#include "core/testdetails.h"
#include "measure/inception.h"
#include "measure/reading.h"
#include "modes/acceptance.h"
#include "modes/calibration.h"
#include "modes/zn4panel.h"
#include "platform/files.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <functional>
#include <optional>

namespace kr5 {

// What the rows of one measurement file held: when the file was opened, and the largest
// charge and pulse rate of the normal cycles recorded in it (a Q-N step's count rate is
// a different quantity and stays out).
class RecordingTally : public ReadingListener {
  public:
    // recording: whether rows are being written now (the recorder's state). A tally
    // without it is a copy that takes no readings.
    RecordingTally() = default;
    explicit RecordingTally(std::function<bool()> recording) : recording_(std::move(recording)) {}

    void fileOpened(const QDateTime& at);
    void takeReading(const Reading& reading) override;
    // What it has counted, in a tally that takes no readings.
    RecordingTally copy() const {
        RecordingTally t;
        t.openedAt_ = openedAt_;
        t.largestCharge_ = largestCharge_;
        t.largestRate_ = largestRate_;
        return t;
    }

    const QDateTime& openedAt() const { return openedAt_; }
    std::optional<double> largestChargePc() const { return largestCharge_; }
    std::optional<double> largestRatePps() const { return largestRate_; }

  private:
    std::function<bool()> recording_;
    QDateTime openedAt_;
    std::optional<double> largestCharge_;
    std::optional<double> largestRate_;
};

// Everything the summary says; the calibration and acceptance parts come ready made from
// their owners (an empty object: none).
struct SummaryParts {
    SummaryParts(const InputConstants& c, const RecordingTally& t, const InceptionDetector& i)
        : constants(c), tally(t), inception(i) {}

    QString measurementFile;
    QString programVersion;
    QDateTime start;
    QDateTime end;
    qint32 rows = 0;
    const InputConstants& constants;
    const RecordingTally& tally;
    const InceptionDetector& inception;
    std::optional<double> backgroundPc;
    double backgroundThresholdKv = 1.0;
    // The background measured on demand, with the high voltage switched off.
    std::optional<double> backgroundOffPc;
    QDateTime backgroundOffAt;
    QString qmLastPass;  // empty: no Q-N pass in this run
    QString qmBlock;
    std::optional<double> nqnLastPass;  // none where a window lacked its count
    std::optional<double> nqnBlock;
    int qmPassesInBlock = 0;
    QJsonObject calibration;
    QJsonObject acceptance;
    // The units' identifications as they answered; empty for a unit not on the line.
    QString detectorIdent;
    QString acIdent;
    QString discriminatorIdent;
    // The noise discriminator's panel at the close; none without the unit.
    std::optional<Zn4State> discriminator;
    TestDetails details;
};

QJsonObject summaryObject(const SummaryParts& parts);

// Inception and extinction pairs as the summary keeps them; a time not known is null.
QJsonArray pairsJson(const std::vector<InceptionDetector::Pair>& pairs);

// The calibration's part: the record, and whether its Adjust is still the one in force (the
// operator may have typed another since).
QJsonObject calibrationObject(const CalibrationRecord& record, const InputConstants& constants);

// The acceptance test's part: its limits, how far it came and its verdict; an empty object
// when no test was set.
QJsonObject acceptanceObject(const AcceptanceTest& test);

// The test details as the summary keeps them: every field, a number or date not given null.
QJsonObject detailsObject(const TestDetails& details);
// The details a summary holds; empty ones for a summary written before it held any.
TestDetails detailsOfSummary(const QJsonObject& summary);

// The summary's file: the measurement file's name with .json in place of its extension.
QString summaryPath(const QString& measurementPath);

// Writes the summary beside the measurement file, replacing an old one only when the new
// one is complete. False, with the reason in problem, when it cannot be written; no part
// of it is left then.
bool writeSummary(Files& files, const QString& measurementPath, const QJsonObject& summary,
                  QString* problem);

}  // namespace kr5
