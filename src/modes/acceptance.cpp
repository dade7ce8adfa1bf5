#include "acceptance.h"

#include "core/format.h"

#include <algorithm>
#include <cmath>

namespace kr5 {

namespace {

// The decimal places the operator gave a limit with ("100", "100.5").
int placesOf(double x) {
    const QString text = plainNumber(x);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : static_cast<int>(text.size() - point - 1);
}

double roundedTo(double x, int places) {
    const double scale = std::pow(10.0, places);
    return std::round(x * scale) / scale;
}

// The places a charge is judged and shown with against a limit: those it is shown with,
// or the limit's own when it has more. A charge within the limit as shown passes, and a
// charge above it shows as above it.
int judgedPlaces(double pc, double limitPc) {
    const int shown = chargePlaces(pc);
    return std::max(shown, placesOf(limitPc));
}

QString wholeSeconds(qint64 ms) {
    return QString::number(ms / 1000);
}

QString readingsText(int n) {
    return n == 1 ? QStringLiteral("1 reading") : QStringLiteral("%1 readings").arg(n);
}

}  // namespace

void AcceptanceTest::setLimits(std::optional<AcceptanceLimits> limits) {
    if (limits == limits_) {
        return;
    }
    const Shown before = shown();
    limits_ = limits;
    startAfresh();
    announceIfChanged(before);
}

void AcceptanceTest::restart() {
    const Shown before = shown();
    startAfresh();
    announceIfChanged(before);
}

void AcceptanceTest::startAfresh() {
    // The operator may restart while a cycle still waits for the AC unit or the noise
    // discriminator: the reading it then hands over was taken before, for the old test.
    startedAtMs_ = clock_.nowMs();
    resetHold();
}

void AcceptanceTest::resetHold() {
    state_ = limits_ ? State::Waiting : State::NoTest;
    levelSinceMs_.reset();
    heldMs_ = 0;
    largestPc_.reset();
    verdictBackground_.reset();
    withoutVoltage_ = 0;
    withoutCharge_ = 0;
}

void AcceptanceTest::setBackground(std::optional<double> pc) {
    const Shown before = shown();
    background_ = pc;
    announceIfChanged(before);
}

QString AcceptanceTest::backgroundWarning() const {
    const bool verdict = state_ == State::Passed || state_ == State::Failed;
    const std::optional<double>& background = verdict ? verdictBackground_ : background_;
    if (!limits_ || !background || *background <= limits_->permissiblePc / 2.0) {
        return {};
    }
    return tr("Background %1 pC is above half the permissible charge %2 pC: the test is not "
              "valid")
        .arg(chargeText(*background), chargeText(limits_->permissiblePc));
}

void AcceptanceTest::setBackgroundThresholdKv(double kv) {
    if (kv == backgroundThresholdKv_) {
        return;
    }
    backgroundThresholdKv_ = kv;
    emit backgroundThresholdChanged(kv);
}

QString AcceptanceTest::verdictText() const {
    switch (state_) {
        case State::Passed:
            return QStringLiteral("PASS");
        case State::Failed:
            return QStringLiteral("FAIL");
        default:
            return {};
    }
}

bool AcceptanceTest::chargeAboveLimit() const {
    return limits_ && latestPc_ && *latestPc_ > limits_->permissiblePc;
}

void AcceptanceTest::takeReading(const Reading& r) {
    const Shown before = shown();
    // A Q-N step's charge is read at a forced range: it says nothing of the discharges.
    if (r.detectorAnswered() && !r.isQnStep()) {
        latestPc_ = r.charge;
    }
    if (limits_ && r.takenAtMs >= startedAtMs_) {
        follow(r);
    }
    announceIfChanged(before);
}

void AcceptanceTest::follow(const Reading& r) {
    if (state_ == State::Passed || state_ == State::Failed) {
        return;  // a verdict stands until the operator starts again
    }
    const AcceptanceLimits& l = *limits_;
    // An unknown voltage is no drop: the AC unit missing one reply says nothing about the
    // voltage. Only a known one below the level ends the hold, compared in the whole volts
    // the readings show (16.1 kV is 16100 V, not 16100.000000000002).
    if (r.acAnswered() && std::llround(r.testVoltage) < std::llround(l.testKv * 1000.0)) {
        if (state_ == State::Holding) {
            const QString message =
                tr("Test voltage fell below %1 kV after %2 s of %3 s: the hold starts again")
                    .arg(testLevelText(l.testKv), wholeSeconds(heldMs_), plainNumber(l.holdS));
            resetHold();
            emit holdReset(message);
        }
        return;
    }
    if (state_ == State::Waiting) {
        if (!r.acAnswered()) {
            return;  // the level is not known to be reached
        }
        state_ = State::Holding;
    }

    if (r.acAnswered()) {
        if (levelSinceMs_) {
            heldMs_ += std::max<qint64>(0, r.takenAtMs - *levelSinceMs_);
        }
        levelSinceMs_ = r.takenAtMs;
    } else {
        // Only time between two readings known at the level counts: the voltage may have
        // been anywhere while it was not known.
        ++withoutVoltage_;
        levelSinceMs_.reset();
    }
    if (r.isQnStep()) {
        // Its voltage keeps the hold going; its charge is no measurement of the discharges.
    } else if (r.detectorAnswered()) {
        largestPc_ = std::max(largestPc_.value_or(r.charge), r.charge);
    } else {
        ++withoutCharge_;
    }

    // A verdict needs at least one charge: a hold with the detector silent throughout
    // waits for it rather than passing on nothing. It stands with the background of its
    // hold.
    if (heldMs_ >= std::llround(l.holdS * 1000.0) && largestPc_) {
        const int places = judgedPlaces(*largestPc_, l.permissiblePc);
        state_ = roundedTo(*largestPc_, places) <= l.permissiblePc ? State::Passed : State::Failed;
        verdictBackground_ = background_;
    }
}

QString AcceptanceTest::missingText() const {
    QStringList parts;
    if (withoutVoltage_ > 0) {
        parts << readingsText(withoutVoltage_) + tr(" without the test voltage");
    }
    if (withoutCharge_ > 0) {
        parts << readingsText(withoutCharge_) + tr(" without the charge");
    }
    return parts.join(QStringLiteral(", "));
}

QString AcceptanceTest::statusText() const {
    QString text;
    switch (state_) {
        case State::NoTest:
            return tr("Acceptance: no test");
        case State::Waiting:
            text = tr("Acceptance: waiting for %1 kV (hold %2 s, limit %3 pC)")
                       .arg(testLevelText(limits_->testKv), plainNumber(limits_->holdS),
                            chargeText(limits_->permissiblePc));
            break;
        case State::Holding:
            text = tr("Acceptance: holding %1/%2 s at %3 kV, %4 (limit %5 pC)")
                       .arg(wholeSeconds(heldMs_), plainNumber(limits_->holdS),
                            testLevelText(limits_->testKv),
                            largestPc_ ? tr("largest %1 pC").arg(chargeText(*largestPc_))
                                       : tr("no charge yet"),
                            chargeText(limits_->permissiblePc));
            break;
        case State::Passed:
        case State::Failed: {
            const int places = judgedPlaces(*largestPc_, limits_->permissiblePc);
            text = tr("Acceptance: %1, largest %2 pC %3 %4 pC over %5 s")
                       .arg(verdictText(), plainNumber(roundedTo(*largestPc_, places)),
                            state_ == State::Passed ? QStringLiteral("≤") : QStringLiteral(">"),
                            plainNumber(limits_->permissiblePc), wholeSeconds(heldMs_));
            break;
        }
    }
    const QString missing = missingText();
    if (!missing.isEmpty()) {
        text += QStringLiteral("; ") + missing;
    }
    const QString background = backgroundWarning();
    if (!background.isEmpty()) {
        text += QStringLiteral("; ") + background;
    }
    return text;
}

void AcceptanceTest::announceIfChanged(const Shown& before) {
    if (shown() != before) {
        emit changed();
    }
}

// The form.

void AcceptanceForm::load() {
    const std::optional<AcceptanceLimits>& l = test_.limits();
    fields.testKv = l ? plainNumber(l->testKv) : QString();
    fields.holdS = l ? plainNumber(l->holdS) : QString();
    fields.permissiblePc = l ? plainNumber(l->permissiblePc) : QString();
    fields.backgroundKv = plainNumber(test_.backgroundThresholdKv());
    emit fieldsLoaded();
}

QString& fieldText(AcceptanceFields& fields, AcceptanceField which) {
    switch (which) {
        case AcceptanceField::TestKv:
            return fields.testKv;
        case AcceptanceField::HoldS:
            return fields.holdS;
        case AcceptanceField::PermissiblePc:
            return fields.permissiblePc;
        case AcceptanceField::BackgroundKv:
            break;
    }
    return fields.backgroundKv;
}

QString AcceptanceForm::problemWith(AcceptanceField which, const QString& text) {
    struct Range {
        const char* caption;
        double min, max;
        const char* unit;
    };
    static const Range ranges[] = {
        {QT_TR_NOOP("Test voltage"), kMinTestKv, kMaxTestKv, "kV"},
        {QT_TR_NOOP("Hold time"), kMinHoldS, kMaxHoldS, "s"},
        {QT_TR_NOOP("Permissible charge"), kMinPermissiblePc, kMaxPermissiblePc, "pC"},
        {QT_TR_NOOP("Background threshold"), kMinBackgroundKv, kMaxBackgroundKv, "kV"},
    };
    const Range& r = ranges[static_cast<int>(which)];
    bool number = false;
    const double v = text.trimmed().toDouble(&number);
    // Written so that NaN fails too.
    if (number && v >= r.min && v <= r.max) {
        return {};
    }
    return tr("%1 must be a number from %2 to %3 %4.")
        .arg(tr(r.caption), plainNumber(r.min), plainNumber(r.max), QLatin1String(r.unit));
}

bool AcceptanceForm::take(AcceptanceField which, double& out) {
    problem_ = problemWith(which, fieldText(fields, which));
    out = fieldText(fields, which).trimmed().toDouble();
    return problem_.isEmpty();
}

bool AcceptanceForm::ok() {
    problem_.clear();
    AcceptanceLimits l;
    double backgroundKv = 0.0;
    if (!take(AcceptanceField::TestKv, l.testKv) || !take(AcceptanceField::HoldS, l.holdS) ||
        !take(AcceptanceField::PermissiblePc, l.permissiblePc) ||
        !take(AcceptanceField::BackgroundKv, backgroundKv)) {
        return false;
    }
    // At or above the test level the test object itself discharges: that is no
    // background.
    if (backgroundKv >= l.testKv) {
        problem_ = tr("Background threshold must be below the test voltage (%1 kV).")
                       .arg(plainNumber(l.testKv));
        return false;
    }
    test_.setBackgroundThresholdKv(backgroundKv);
    test_.setLimits(l);
    load();
    emit accepted();
    return true;
}

bool AcceptanceForm::takeBackgroundThreshold(const QString& text) {
    problem_.clear();
    double kv = 0.0;
    fields.backgroundKv = text;
    if (test_.limits() || !take(AcceptanceField::BackgroundKv, kv)) {
        if (test_.limits()) {
            problem_ = tr("A test is set: OK takes the threshold with it.");
        }
        return false;
    }
    test_.setBackgroundThresholdKv(kv);
    load();
    emit accepted();
    return true;
}

void AcceptanceForm::clear() {
    problem_.clear();
    test_.setLimits(std::nullopt);
    load();
    emit accepted();
}

}  // namespace kr5
