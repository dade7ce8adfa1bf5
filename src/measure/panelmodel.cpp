#include "panelmodel.h"

#include "core/format.h"

namespace kr5 {

namespace {

const QString kChargePattern = QStringLiteral("######.00");
const QString kRatePattern = QStringLiteral("####.0");
const QString kEsPattern = QStringLiteral("00.0");

constexpr double kPeakHigh = 10.0;  // raw peak, V
constexpr double kPeakLow = 1.0;
constexpr double kRateHigh = 100.0;  // raw rate
constexpr double kRateLow = 10.0;

}  // namespace

PanelModel::PanelModel(Requests& requests, OperatingSettings& settings)
    : requests_(requests), settings_(settings) {
    readouts_.es = QStringLiteral("0.0");
}

PanelState PanelModel::state() const {
    return {attenuatorButton_, rateButton_, followedAttenuator_, remote_, qnRunning_, readouts_};
}

void PanelModel::show(const PanelState& s) {
    if (s.readouts != readouts_) {
        readouts_ = s.readouts;
        emit readoutsChanged();
    }
    if (s.remote != remote_ || s.qnRunning != qnRunning_) {
        remote_ = s.remote;
        qnRunning_ = s.qnRunning;
        emit controlsChanged();
    }
    if (s.attenuatorButton != attenuatorButton_ || s.rateButton != rateButton_) {
        attenuatorButton_ = s.attenuatorButton;
        rateButton_ = s.rateButton;
        emit buttonsChanged();
    }
    if (s.followedAttenuator != followedAttenuator_) {
        followedAttenuator_ = s.followedAttenuator;
        emit followedAttenuatorChanged(followedAttenuator_);
    }
}

void PanelModel::clickAttenuator(int range) {
    if (!isAttenuatorRange(range)) {
        return;
    }
    attenuatorButton_ = range;
    requests_.attenuator = range;
    emit buttonsChanged();
}

void PanelModel::clickRate(int range) {
    if (!isRateRange(range)) {
        return;
    }
    rateButton_ = range;
    requests_.rate = range;
    emit buttonsChanged();
}

void PanelModel::clickRemote(bool on) {
    // In local mode the range buttons are of no use: the operator works the instrument.
    remote_ = on;
    requests_.detectorRemote = on;
    emit controlsChanged();
}

void PanelModel::setRemote(bool on) {
    if (on != remote_) {
        clickRemote(on);
    }
}

void PanelModel::toggleAutoAttenuator() {
    settings_.autoAttenuator = !settings_.autoAttenuator;
    emit autoRangingChanged();
    emit autoRangingToggled();
}

void PanelModel::toggleAutoRate() {
    settings_.autoRate = !settings_.autoRate;
    emit autoRangingChanged();
    emit autoRangingToggled();
}

void PanelModel::autoRangingSet() {
    emit autoRangingChanged();
}

void PanelModel::setQnRunning(bool running) {
    qnRunning_ = running;
    emit controlsChanged();
}

void PanelModel::showQnStep(int range) {
    // The buttons follow the pass; the request stays, so the detector is told its range
    // once more when normal cycles resume.
    clickAttenuator(range);
}

void PanelModel::followAttenuator(int range) {
    if (range != followedAttenuator_) {
        attenuatorButton_ = range;
        requests_.attenuator = range;
        emit buttonsChanged();
        emit followedAttenuatorChanged(range);
    }
    followedAttenuator_ = range;
}

void PanelModel::followRate(int range) {
    if (range != followedRate_) {
        rateButton_ = range;
        requests_.rate = range;
        emit buttonsChanged();
    }
    followedRate_ = range;
}

void PanelModel::autoRange(const Reading& r) {
    if (settings_.autoAttenuator) {
        if (r.rawPeak > kPeakHigh && r.attRange != kAttenuatorRanges - 1) {
            followAttenuator(r.attRange + 1);
        }
        if (r.rawPeak < kPeakLow && r.attRange != 0) {
            followAttenuator(r.attRange - 1);
        }
    }
    if (settings_.autoRate) {
        if (r.rawRate > kRateHigh && r.rateRange != kRateRanges - 1) {
            followRate(r.rateRange + 1);
        }
        if (r.rawRate < kRateLow && r.rateRange != 0) {
            followRate(r.rateRange - 1);
        }
    }
}

bool PanelModel::setText(QString& shown, const QString& text) {
    if (shown == text) {
        return false;
    }
    shown = text;
    return true;
}

void PanelModel::showDetector(const Reading& r) {
    const bool rateKnown = !r.isQnStep() || r.countAnswered();
    readouts_.detectorStale = !r.detectorAnswered() || !rateKnown;
    if (r.detectorAnswered()) {
        readouts_.charge = formatPattern(r.charge, kChargePattern);
        readouts_.peakMeter = r.rawPeak;
        if (!r.isQnStep()) {
            readouts_.rateMeter = r.rawRate;  // a Q-N count leaves the rate meter alone
        }
    }
    if (rateKnown && (r.detectorAnswered() || r.isQnStep())) {
        readouts_.pulseRate = formatPattern(r.pulseRate, kRatePattern);
    }
}

void PanelModel::showVoltage(const Reading& r) {
    readouts_.voltageStale = !r.acAnswered();
    if (r.acAnswered()) {
        readouts_.es = formatPattern(*r.es, kEsPattern);
        readouts_.testVoltage = prefixedNumber(r.testVoltage) + QLatin1Char('V');
    }
}

void PanelModel::takeReading(const Reading& r) {
    showDetector(r);
    showVoltage(r);
    emit readoutsChanged();
    if (r.isQnStep() || !r.detectorAnswered() || r.rangesSuperseded) {
        return;  // no range moves on a Q-N step, without the detector's word or on old ones
    }
    followAttenuator(r.attRange);
    followRate(r.rateRange);
    if (remote_) {
        autoRange(r);  // automatic ranging works only under remote control
    }
}

}  // namespace kr5
