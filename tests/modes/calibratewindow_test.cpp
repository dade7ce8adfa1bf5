// The Calibrate window over its model; how the model averages and proposes is in
// calibration_test.
#include "modes/calibratewindow.h"
#include "platform/virtualclock.h"
#include "records/settingsfile.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace kr5 {
namespace {

struct CalibrateWindowTest : ::testing::Test {
    template <typename T = QLabel>
    T* find(const char* name) {
        T* found = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // The detector reads 5 V at 1/5 every 100 ms for ms.
    void readFor(qint64 ms) {
        for (qint64 t = 0; t < ms; t += 100) {
            clock.advanceMs(100);
            Reading r;
            r.detector = DetectorFields{85, 0, 2, 0};
            r.attRange = 2;
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
    CalibrateWindow window{calibration};
};

TEST_F(CalibrateWindowTest, ARefusalShowsInTheWindowAndAcceptWaitsForAProposal) {
    window.show();
    auto* accept = find<QPushButton>("accept");
    auto* measure = find<QPushButton>("measure");
    find<QLineEdit>("q0")->setText(QStringLiteral("fifty"));
    measure->click();
    EXPECT_EQ(find("calwarn")->text(),
              QStringLiteral("Calibrator charge q0 must be a number from 0.1 to 100000 pC."));
    EXPECT_FALSE(calibration.averaging());
    EXPECT_FALSE(accept->isEnabled());

    find<QLineEdit>("q0")->setText(QStringLiteral("50"));
    measure->click();
    EXPECT_EQ(find("calwarn")->text(), QString());
    readFor(1500);
    EXPECT_EQ(find("raw")->text(), QStringLiteral("Averaging… 2 s"));
    EXPECT_FALSE(accept->isEnabled() || find<QPushButton>("measure2")->isEnabled());
    readFor(1500);
    EXPECT_EQ(QStringList({find("raw")->text(), find("range")->text(), find("proposal")->text()}),
              QStringList({"5.000 V, spread 0.000 V (0.0 %)", "1/5", "2 pC/V (now 1 pC/V)"}));
    ASSERT_TRUE(accept->isEnabled() && find<QPushButton>("measure2")->isEnabled());
    accept->click();
    EXPECT_EQ(constants.adjust, 2.0);
    EXPECT_EQ(find("proposal")->text(), QStringLiteral("2 pC/V (now 2 pC/V)"));

    // Close ends an average under way and only hides the window.
    measure->click();
    ASSERT_TRUE(calibration.averaging());
    EXPECT_FALSE(window.close());
    EXPECT_FALSE(window.isVisible() || calibration.averaging());
}

}  // namespace
}  // namespace kr5
