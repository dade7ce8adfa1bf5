// Readings as the measurement hands them over, built by hand.
#pragma once

#include "measure/reading.h"

namespace kr5::test {

// A complete reading of a normal cycle: raw peak at an attenuator range, pulse rate, Es.
inline Reading cycleReading(int att, double rawPeak, double pulseRate, double es, double adjust = 1,
                            double ptRatio = 100) {
    Reading r;
    r.detector = DetectorFields{};
    r.attRange = att;
    r.rawPeak = rawPeak;
    r.charge = attenuatorDivision(att) * rawPeak * adjust;
    r.pulseRate = pulseRate;
    r.es = es;
    r.testVoltage = es * ptRatio;
    return r;
}

// A complete step of a Q-N pass at an attenuator range with its count rate.
inline Reading qnStepReading(int att, qint32 countRate, double es = 0) {
    Reading r = cycleReading(att, 0, countRate, es);
    r.kind = Reading::Kind::QnStep;
    r.countRate = countRate;
    return r;
}

}  // namespace kr5::test
