#include "detector.h"

#include <algorithm>
#include <cmath>

namespace kr5::sim {

namespace {

constexpr double kFullScaleCounts = 170.0;  // counts for 10 V of peak or 100 pulses/s
constexpr double kGateStepMs = 10.0;        // the gate integrates the pulse rate in steps

// An operator glances at the meters every few seconds.
constexpr double kLookMinS = 1.5;
constexpr double kLookMaxS = 4.0;

// Readings an operator finds too small (below 1/10 of full scale) or off scale.
constexpr int kLowByte = 17;
constexpr int kHighByte = 170;

int toByte(double value) {
    if (!(value > 0.0)) {
        return 0;
    }
    return static_cast<int>(std::min(255.0, std::round(value)));
}

}  // namespace

int Detector::peakByte(double rawV) {
    return toByte(rawV / 10.0 * kFullScaleCounts);
}

int Detector::rateByte(double rawPps) {
    return toByte(rawPps / 100.0 * kFullScaleCounts);
}

Detector::Detector(const UnitConfig& config, quint32 seed, Physics& physics,
                   double calibrationPcPerV, bool operatorActive)
    : Unit(config, seed),
      physics_(physics),
      calibration_(calibrationPcPerV > 0.0 ? calibrationPcPerV : 1.0),
      operatorActive_(operatorActive) {
    nextLookUs_ = random().between(kLookMinS, kLookMaxS) * 1e6;
}

double Detector::thresholdPc(int attenuator) const {
    return kTriggerV * kDivision[static_cast<size_t>(std::clamp(attenuator, 0, 9))] * calibration_;
}

Detector::Reading Detector::readingAt(double atUs) {
    const double tS = atUs / 1e6;
    const Pulses p = physics_.pulsesAt(tS, noisePassAt(atUs));
    const double pcPerV = kDivision[static_cast<size_t>(attenuator_)] * calibration_;

    // The peak meter shows the largest pulse of its hold time.
    SimRandom& r = random();
    double peakPc = std::max(
        r.weibullMax(r.poisson(p.discharge.ratePps * kPeakWindowS), p.discharge.scalePc,
                     p.discharge.shape),
        r.weibullMax(r.poisson(p.noise.ratePps * kPeakWindowS), p.noise.scalePc, p.noise.shape));
    // Drawn only while a calibrator is on, so that a scenario without one keeps its readings.
    if (p.calibrator.ratePps > 0.0 && r.poisson(p.calibrator.ratePps * kPeakWindowS) > 0) {
        peakPc = std::max(peakPc, p.calibrator.scalePc);
    }

    const double counted =
        static_cast<double>(r.poisson(p.rateAbove(thresholdPc(attenuator_)) * kRateWindowS));
    const double pps = counted / kRateWindowS;

    last_.peak = peakByte(peakPc / pcPerV);
    last_.rate = rateByte(pps / kMultiplier[static_cast<size_t>(rateRange_)]);
    return last_;
}

quint64 Detector::gateCount(double fromUs, double lengthMs) {
    const double threshold = thresholdPc(attenuator_);
    double expected = 0.0;
    for (double doneMs = 0.0; doneMs < lengthMs; doneMs += kGateStepMs) {
        const double stepMs = std::min(kGateStepMs, lengthMs - doneMs);
        const double midUs = fromUs + (doneMs + stepMs / 2.0) * 1000.0;
        const Pulses p = physics_.pulsesAt(midUs / 1e6, noisePassAt(midUs));
        expected += p.rateAbove(threshold) * stepMs / 1000.0;
    }
    return random().poisson(expected);
}

void Detector::operatorLooks(double atUs) {
    if (remote_ || !operatorActive_ || atUs < nextLookUs_) {
        return;
    }
    // One click per look, judged on the meters as they were last seen.
    if (last_.peak >= kHighByte && attenuator_ < 9) {
        ++attenuator_;
    } else if (last_.peak < kLowByte && attenuator_ > 0) {
        --attenuator_;
    }
    if (last_.rate >= kHighByte && rateRange_ < 3) {
        ++rateRange_;
    } else if (last_.rate < kLowByte && rateRange_ > 0) {
        --rateRange_;
    }
    nextLookUs_ = atUs + random().between(kLookMinS, kLookMaxS) * 1e6;
}

std::optional<Answer> Detector::handleOwn(const QByteArray& command, double atUs) {
    if (command == "x") {
        operatorLooks(atUs);
        const Reading r = readingAt(atUs);
        QByteArray payload = hex2(r.peak) + hex2(r.rate);
        payload += static_cast<char>('0' + attenuator_);
        payload += static_cast<char>('0' + rateRange_);
        return dataReply('x', payload);
    }
    if (command == "m1" || command == "m0") {
        remote_ = command == "m1";
        if (!remote_) {
            nextLookUs_ = atUs + random().between(kLookMinS, kLookMaxS) * 1e6;
        }
        return ack();
    }
    if (const int d = settingDigit(command, 'a', 9); d >= 0) {
        attenuator_ = d;
        return ack();
    }
    if (const int d = settingDigit(command, 'r', 3); d >= 0) {
        rateRange_ = d;
        return ack();
    }
    if (command.size() >= 2 && command[0] == 'c') {
        const QByteArray digits = command.mid(1);
        const bool allDigits =
            std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
        const int ms = allDigits && digits.size() <= 5 ? digits.toInt() : 0;
        if (ms < 1 || ms > kMaxGateMs) {
            return refusal();
        }
        // The count is over when the gate closes; only then does the reply leave.
        Answer a = dataReply('c', hex4(gateCount(atUs, ms)));
        a.holdUs = ms * 1000.0;
        return a;
    }
    return std::nullopt;
}

}  // namespace kr5::sim
