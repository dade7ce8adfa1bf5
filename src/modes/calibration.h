// Calibrating the charge of the whole circuit with a charge calibrator. With the high
// voltage off, the calibrator injects pulses of a known charge q0; the detector's raw peak,
// averaged for a few seconds at one attenuator range, gives Adjust = q0 / (division x mean
// raw peak). A second calibrator value q1, read with that Adjust, shows how linear the
// circuit is. Accepting stores the Adjust as the Input const window's OK would and keeps a
// record of the calibration for the summary file.
#pragma once

#include "measure/reading.h"
#include "platform/clock.h"
#include "records/constantsform.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace kr5 {

// What the summary file says of the calibration in force.
struct CalibrationRecord {
    QDateTime at;                            // when it was accepted
    double q0Pc = 0.0;                       // the calibrator's charge
    int attRange = 0;                        // the attenuator range it was read at
    double meanRawPeakV = 0.0;               // what the detector read
    double adjust = 0.0;                     // the Adjust stored, pC per V
    std::optional<double> linearityPercent;  // at the second value, when one was read
    std::optional<double> secondQ0Pc;        // the second value q1
};

// One average of the detector's raw peak at one attenuator range.
struct PeakAverage {
    int samples = 0;    // valid readings averaged; 0 when the detector never answered
    qint64 spanMs = 0;  // from the first valid reading to the last
    int attRange = 0;
    double meanV = 0.0;
    double spreadV = 0.0;   // standard deviation of the readings
    bool offScale = false;  // a reading at full scale: the true peak is above it

    double spreadPercent() const { return meanV > 0.0 ? spreadV / meanV * 100.0 : 0.0; }
    // The charge the mean stands for, without Adjust.
    double chargeUnadjusted() const { return attenuatorDivision(attRange) * meanV; }
};

class Calibration : public QObject, public ReadingListener {
    Q_OBJECT

  public:
    static constexpr qint64 kAverageMs = 3000;
    // The valid readings of an average must span this much at the least.
    static constexpr qint64 kMinSpanMs = 2000;
    static constexpr double kFullScaleV = 15.0;
    // A reading below 10 % of full scale has few peak codes to it (one code is 1/17 V),
    // one above 90 % may be clipped by a slightly larger pulse.
    static constexpr double kLowShare = 0.10;
    static constexpr double kHighShare = 0.90;
    // A calibrator's pulses all have one charge, so the peak meter should show one code,
    // give or take one. At the lowest reading accepted (10 % of full scale, about 25
    // codes) a flicker of one code is 4 % of the mean and its standard deviation at most
    // half that. A spread above 5 % is therefore more than the meter's own resolution: noise
    // on the circuit, a loose connection or discharges with the high voltage still on, and
    // an Adjust taken from it would be off by about as much.
    static constexpr double kUnsteadyPercent = 5.0;
    static constexpr double kMinChargePc = 0.1;
    static constexpr double kMaxChargePc = 100000.0;

    enum class Phase { Idle, AveragingFirst, AveragingSecond };

    Calibration(const Clock& clock, ConstantsForm& constants)
        : clock_(clock), constants_(constants) {}

    // Averages the detector's readings for kAverageMs with the calibrator at q0 (typed in
    // pC), forgetting the last proposal and second value. A range change meanwhile starts
    // the average again at the new range: the operator or the automatic ranging moved it
    // to bring the reading on scale, and a mean over two ranges means nothing. Returns why
    // nothing started (the field and its range), empty when it started.
    QString start(const QString& q0Text);
    // The same for a second calibrator value q1, read with the proposed Adjust; needs a
    // proposal.
    QString startSecond(const QString& q1Text);
    // Ends an average under way without a result.
    void stop();
    // Stores the proposed Adjust through the Input const form. On success the record is
    // kept and accepted() emitted; otherwise returns why (nothing was stored).
    QString accept();

    Phase phase() const { return phase_; }
    bool averaging() const { return phase_ != Phase::Idle; }
    // Whole seconds left of the average under way (rounded up). The average ends with the
    // first reading after kAverageMs, so it follows the readings as they come.
    int secondsLeft() const;

    const std::optional<PeakAverage>& first() const { return first_; }
    const std::optional<PeakAverage>& second() const { return second_; }
    std::optional<double> proposal() const { return proposal_; }
    std::optional<double> linearityPercent() const { return linearity_; }

    // What the window shows; empty where there is nothing to show yet.
    QString progressText() const;   // "Averaging… 2 s"
    QString rawText() const;        // "5.000 V, spread 0.012 V (0.2 %)"
    QString rangeText() const;      // "1/5"
    QString proposalText() const;   // "2 pC/V (now 1 pC/V)"
    QString linearityText() const;  // "+0.3 %: 100.3 pC read for 100 pC"
    QString warningText() const;    // every warning, one a line

    const std::optional<CalibrationRecord>& record() const { return record_; }
    // A record remembered from an earlier run.
    void setRecord(const CalibrationRecord& record) { record_ = record; }

    // A calibrator charge typed as text: a number from kMinChargePc to kMaxChargePc, or
    // nothing, with why (naming the field) when given.
    static std::optional<double> chargeFromText(const QString& text, const QString& field,
                                                QString* why);
    // The linearity error in %: how far the charge read lies from the calibrator's.
    static double linearity(double chargeReadPc, double calibratorPc) {
        return (chargeReadPc - calibratorPc) / calibratorPc * 100.0;
    }

    void takeReading(const Reading& reading) override;

  signals:
    // Anything shown changed: the progress, a result, the warnings.
    void changed();
    void accepted(const CalibrationRecord& record);

  private:
    void begin(Phase phase);
    void finish();
    PeakAverage averaged() const;
    QStringList warningsFor(const PeakAverage& average, bool second) const;

    const Clock& clock_;
    ConstantsForm& constants_;
    Phase phase_ = Phase::Idle;
    qint64 startedMs_ = 0;
    int shownSecondsLeft_ = 0;
    // The raw peaks of the average under way, all at one range.
    std::vector<double> peaksV_;
    qint64 firstPeakMs_ = 0;  // when the first and the last of them were taken
    qint64 lastPeakMs_ = 0;
    int range_ = 0;
    bool offScale_ = false;
    double q0_ = 0.0;
    std::optional<double> q1_;
    std::optional<PeakAverage> first_;
    std::optional<PeakAverage> second_;
    std::optional<double> proposal_;
    std::optional<double> linearity_;
    std::optional<CalibrationRecord> record_;
};

}  // namespace kr5
