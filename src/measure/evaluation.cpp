#include "evaluation.h"

namespace kr5 {

void ReadingEvaluator::takeVoltage(Reading& r, const Reply& ac) {
    r.acPresent = units_.acUnitPresent();
    if (!r.acPresent) {
        r.es = 0.0;  // without an AC unit the voltage reads 0
        return;
    }
    const auto fields = acFields(ac);
    if (!fields || (fields->leavesPreviousStanding() && !lastEs_)) {
        lastEs_.reset();
        return;
    }
    lastEs_ = fields->voltage(lastEs_.value_or(0.0));
    r.es = lastEs_;
}

void ReadingEvaluator::takeNoise(Reading& r, const Reply& noise) const {
    r.noisePresent = units_.discriminatorPresent();
    if (r.noisePresent) {
        r.noise = noiseFields(noise);
    }
}

void ReadingEvaluator::convert(Reading& r) const {
    if (r.detector) {
        r.rawPeak = r.detector->rawPeak();
        r.charge = attenuatorDivision(r.attRange) * r.rawPeak * constants_.adjust;
    }
    if (r.es) {
        r.testVoltage = *r.es * constants_.ptRatio;
    }
}

Reading ReadingEvaluator::cycle(const ReadingReplies& replies) {
    Reading r;
    r.kind = Reading::Kind::Cycle;
    r.takenAtMs = replies.takenAtMs;
    r.detector = detectorFields(replies.detector);
    if (r.detector) {
        r.attRange = r.detector->attRange;
        r.rateRange = r.detector->rateRange;
        r.rawRate = r.detector->rawRate();
        r.pulseRate = rateMultiplier(r.rateRange) * r.rawRate;
    }
    takeVoltage(r, replies.ac);
    takeNoise(r, replies.noise);
    convert(r);
    return r;
}

Reading ReadingEvaluator::qnStep(int step, std::optional<qint32> countRate,
                                 const ReadingReplies& replies) {
    Reading r;
    r.kind = Reading::Kind::QnStep;
    r.takenAtMs = replies.takenAtMs;
    r.attRange = step;
    r.rateRange = 0;
    r.detector = detectorFields(replies.detector);
    r.countRate = countRate;
    if (countRate) {
        r.rawRate = *countRate;
        r.pulseRate = rateMultiplier(0) * r.rawRate;
    }
    takeVoltage(r, replies.ac);
    takeNoise(r, replies.noise);
    convert(r);
    return r;
}

}  // namespace kr5
