#include "calibration.h"

#include "core/format.h"

#include <cmath>

namespace kr5 {

namespace {

// The peak code has fewer than three significant digits (FF is 255), so a fourth keeps
// the rounding well below what the reading can tell while the Input const window and the
// settings file get a number a person can read and type again.
double fourDigits(double x) {
    return QString::number(x, 'g', 4).toDouble();
}

QString rangeName(int range) {
    return QStringLiteral("1/%1").arg(attenuatorDivision(range));
}

QString volts(double v) {
    return QString::number(v, 'f', 3);
}

// The range that puts the reading highest on the scale without passing its upper bound: the
// finest reading that a slightly larger pulse does not clip.
int bestRange(const PeakAverage& a) {
    const double charge = a.chargeUnadjusted();
    for (int k = 0; k < kAttenuatorRanges; ++k) {
        if (charge / attenuatorDivision(k) <= Calibration::kHighShare * Calibration::kFullScaleV) {
            return a.offScale ? std::max(k, std::min(a.attRange + 1, kAttenuatorRanges - 1)) : k;
        }
    }
    return kAttenuatorRanges - 1;
}

}  // namespace

std::optional<double> Calibration::chargeFromText(const QString& text, const QString& field,
                                                  QString* why) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (ok && std::isfinite(v) && v >= kMinChargePc && v <= kMaxChargePc) {
        return v;
    }
    if (why != nullptr) {
        *why = tr("%1 must be a number from %2 to %3 pC.")
                   .arg(field, plainNumber(kMinChargePc), plainNumber(kMaxChargePc));
    }
    return std::nullopt;
}

QString Calibration::start(const QString& q0Text) {
    QString why;
    const auto q0 = chargeFromText(q0Text, tr("Calibrator charge q0"), &why);
    if (!q0) {
        return why;
    }
    q0_ = *q0;
    q1_.reset();
    first_.reset();
    second_.reset();
    proposal_.reset();
    linearity_.reset();
    begin(Phase::AveragingFirst);
    return {};
}

QString Calibration::startSecond(const QString& q1Text) {
    QString why;
    const auto q1 = chargeFromText(q1Text, tr("Second calibrator charge q1"), &why);
    if (!q1) {
        return why;
    }
    if (averaging()) {
        return tr("Wait until the measurement under way is over.");
    }
    if (!proposal_) {
        return tr("Measure q0 first: the second value is read with the Adjust it proposes.");
    }
    q1_ = *q1;
    second_.reset();
    linearity_.reset();
    begin(Phase::AveragingSecond);
    return {};
}

void Calibration::begin(Phase phase) {
    phase_ = phase;
    peaksV_.clear();
    offScale_ = false;
    startedMs_ = clock_.nowMs();
    shownSecondsLeft_ = secondsLeft();
    emit changed();
}

void Calibration::stop() {
    if (averaging()) {
        phase_ = Phase::Idle;
        peaksV_.clear();
        emit changed();
    }
}

int Calibration::secondsLeft() const {
    if (!averaging()) {
        return 0;
    }
    const qint64 leftMs = std::max<qint64>(0, startedMs_ + kAverageMs - clock_.nowMs());
    return static_cast<int>((leftMs + 999) / 1000);
}

void Calibration::takeReading(const Reading& r) {
    if (!averaging() || r.kind != Reading::Kind::Cycle) {
        return;
    }
    if (r.detectorAnswered()) {
        if (!peaksV_.empty() && r.attRange != range_) {
            peaksV_.clear();
            offScale_ = false;
            startedMs_ = clock_.nowMs();
        }
        if (peaksV_.empty()) {
            firstPeakMs_ = r.takenAtMs;
        }
        lastPeakMs_ = r.takenAtMs;
        range_ = r.attRange;
        peaksV_.push_back(r.rawPeak);
        offScale_ = offScale_ || r.detector->peakCode >= 0xFF;
    }
    if (clock_.nowMs() - startedMs_ >= kAverageMs) {
        finish();
        return;
    }
    const int left = secondsLeft();
    if (left != shownSecondsLeft_) {
        shownSecondsLeft_ = left;
        emit changed();
    }
}

PeakAverage Calibration::averaged() const {
    PeakAverage a;
    a.samples = static_cast<int>(peaksV_.size());
    a.attRange = range_;
    a.offScale = offScale_;
    if (peaksV_.empty()) {
        return a;
    }
    a.spanMs = lastPeakMs_ - firstPeakMs_;
    double sum = 0.0;
    for (const double v : peaksV_) {
        sum += v;
    }
    a.meanV = sum / a.samples;
    if (a.samples > 1) {
        double squares = 0.0;
        for (const double v : peaksV_) {
            squares += (v - a.meanV) * (v - a.meanV);
        }
        a.spreadV = std::sqrt(squares / (a.samples - 1));
    }
    return a;
}

void Calibration::finish() {
    const PeakAverage a = averaged();
    const bool second = phase_ == Phase::AveragingSecond;
    phase_ = Phase::Idle;
    peaksV_.clear();
    // A silent detector, no pulse or a clipped reading says nothing about the charge, nor
    // do a few readings that came close together.
    const bool usable = a.samples > 0 && a.spanMs >= kMinSpanMs && a.meanV > 0.0 && !a.offScale;
    if (second) {
        second_ = a;
        if (usable && proposal_ && q1_) {
            linearity_ = linearity(a.chargeUnadjusted() * *proposal_, *q1_);
        }
    } else {
        first_ = a;
        if (usable) {
            proposal_ = fourDigits(q0_ / a.chargeUnadjusted());
        }
    }
    emit changed();
}

QString Calibration::accept() {
    if (averaging()) {
        return tr("Wait until the measurement under way is over.");
    }
    if (!proposal_ || !first_) {
        return tr("There is no proposed Adjust yet: measure the calibrator's pulses first.");
    }
    if (constants_.storeAdjust(*proposal_) != ConstantsForm::OkResult::Saved) {
        return constants_.problem();
    }
    CalibrationRecord r;
    r.at = clock_.localTime();
    r.q0Pc = q0_;
    r.attRange = first_->attRange;
    r.meanRawPeakV = first_->meanV;
    r.adjust = *proposal_;
    if (linearity_) {
        r.linearityPercent = linearity_;
        r.secondQ0Pc = q1_;
    }
    record_ = r;
    emit accepted(r);
    emit changed();
    return {};
}

QStringList Calibration::warningsFor(const PeakAverage& a, bool second) const {
    const QString nothing = second ? tr("No linearity is shown.") : tr("No Adjust is proposed.");
    const QString seconds = QString::number(kAverageMs / 1000);
    QStringList out;
    if (a.samples == 0) {
        out << tr("The detector gave no reading in %1 s: check that it is switched on and "
                  "answers on the line. %2")
                   .arg(seconds, nothing);
    } else if (a.spanMs < kMinSpanMs) {
        out << tr("The detector answered over only %1 s of %2 s, %3 s at the least are needed: "
                  "check the line. %4")
                   .arg(QString::number(static_cast<double>(a.spanMs) / 1000.0, 'f', 1), seconds,
                        QString::number(kMinSpanMs / 1000), nothing);
    } else if (!(a.meanV > 0.0)) {
        out << tr("The detector read no pulse at %1: check that the calibrator is connected "
                  "and switched on. %2")
                   .arg(rangeName(a.attRange), nothing);
    } else {
        const int best = bestRange(a);
        const double share = a.meanV / kFullScaleV;
        if (a.offScale || share > kHighShare) {
            const QString what =
                a.offScale ? tr("The reading is off scale at %1").arg(rangeName(a.attRange))
                           : tr("The reading, %1 V, is above %2 % of full scale at %3")
                                 .arg(volts(a.meanV))
                                 .arg(qRound(kHighShare * 100.0))
                                 .arg(rangeName(a.attRange));
            const QString remedy = best > a.attRange
                                       ? tr("change the range to %1").arg(rangeName(best))
                                       : tr("use a smaller calibrator charge");
            out << what + QStringLiteral(": ") + remedy + QStringLiteral(".") +
                       (a.offScale ? QStringLiteral(" ") + nothing : QString());
        } else if (share < kLowShare) {
            out << tr("The reading, %1 V, is below %2 % of full scale at %3: %4.")
                       .arg(volts(a.meanV))
                       .arg(qRound(kLowShare * 100.0))
                       .arg(rangeName(a.attRange))
                       .arg(best < a.attRange ? tr("change the range to %1").arg(rangeName(best))
                                              : tr("use a larger calibrator charge"));
        }
        if (a.spreadPercent() > kUnsteadyPercent) {
            out << tr("The reading is unsteady: its spread is %1 % of the mean, more than %2 %. "
                      "Check the calibrator's connection and that the high voltage is off.")
                       .arg(QString::number(a.spreadPercent(), 'f', 1))
                       .arg(kUnsteadyPercent);
        }
    }
    if (second) {
        for (QString& w : out) {
            w = tr("Second value: %1").arg(w);
        }
    }
    return out;
}

QString Calibration::warningText() const {
    QStringList all;
    if (first_) {
        all << warningsFor(*first_, false);
    }
    if (second_) {
        all << warningsFor(*second_, true);
    }
    return all.join(QLatin1Char('\n'));
}

QString Calibration::progressText() const {
    if (!averaging()) {
        return {};
    }
    return phase_ == Phase::AveragingSecond
               ? tr("Averaging the second value… %1 s").arg(secondsLeft())
               : tr("Averaging… %1 s").arg(secondsLeft());
}

QString Calibration::rawText() const {
    const auto describe = [](const PeakAverage& a) {
        if (a.samples == 0) {
            return tr("no reading");
        }
        return tr("%1 V, spread %2 V (%3 %)")
            .arg(volts(a.meanV), volts(a.spreadV), QString::number(a.spreadPercent(), 'f', 1));
    };
    QString text = first_ ? describe(*first_) : QString();
    if (second_) {
        text += tr("; q1: %1").arg(describe(*second_));
    }
    return text;
}

QString Calibration::rangeText() const {
    const auto range = [](const PeakAverage& a) {
        return a.samples > 0 ? rangeName(a.attRange) : QStringLiteral("-");
    };
    QString text = first_ ? range(*first_) : QString();
    if (second_) {
        text += tr("; q1: %1").arg(range(*second_));
    }
    return text;
}

QString Calibration::proposalText() const {
    if (!first_) {
        return {};
    }
    if (!proposal_) {
        return tr("none");
    }
    return tr("%1 pC/V (now %2 pC/V)")
        .arg(plainNumber(*proposal_), plainNumber(constants_.constants().adjust));
}

QString Calibration::linearityText() const {
    if (!second_ || !q1_) {
        return {};
    }
    if (!linearity_ || !proposal_) {
        return tr("none");
    }
    const double read = second_->chargeUnadjusted() * *proposal_;
    const double tenths = std::round(*linearity_ * 10.0) / 10.0;
    const QString signedPercent = (tenths < 0.0 ? QStringLiteral("-") : QStringLiteral("+")) +
                                  QString::number(std::fabs(tenths), 'f', 1);
    return tr("%1 %: %2 pC read for %3 pC")
        .arg(signedPercent, QString::number(read, 'g', 4), plainNumber(*q1_));
}

}  // namespace kr5
