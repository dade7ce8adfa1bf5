// The Calibrate window over its model; how the model averages and proposes is in
// calibration_test.
#include "modes/calibratewindow.h"
#include "handcalibration.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kr5 {
namespace {

struct CalibrateWindowTest : test::HandCalibration {
    template <typename T = QLabel>
    T* find(const char* name) {
        T* found = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

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
    feed(2, {85}, 15);  // 5 V at 1/5 for 1.5 s
    EXPECT_EQ(find("raw")->text(), QStringLiteral("Averaging… 2 s"));
    EXPECT_FALSE(accept->isEnabled() || find<QPushButton>("measure2")->isEnabled());
    feed(2, {85}, 15);
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
