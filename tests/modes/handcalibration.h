// The calibration over the Input const form on a settings file of its own, fed readings made
// by hand: one every 100 ms at a range, with the peak codes taken in turn from a list.
#pragma once

#include "modes/calibration.h"
#include "platform/virtualclock.h"
#include "records/settingsfile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <vector>

namespace kr5::test {

struct HandCalibration : ::testing::Test {
    HandCalibration() { form.setPortDigit(QStringLiteral("1")); }
    // At most so many readings, while the calibration averages.
    void feed(int range, const std::vector<int>& codes, size_t readings = 1000) {
        for (size_t i = 0; i < readings && calibration.averaging(); ++i) {
            clock.advanceMs(100);
            Reading r;
            r.takenAtMs = clock.nowMs();
            r.detector = DetectorFields{codes[i % codes.size()], 0, range, 0};
            r.attRange = range;
            r.rawPeak = r.detector->rawPeak();
            calibration.takeReading(r);
        }
    }

    VirtualClock clock;
    InputConstants constants;
    QTemporaryDir dir;
    SettingsFile file{dir.path()};
    ConstantsForm form{constants, file};
    Calibration calibration{clock, form};
};

}  // namespace kr5::test
