// The discovery progress window: its fields and the finds landing in them. The scan is left to
// the link tests.
#include "app/commtestwindow.h"
#include "app/windowfakes.h"

#include <gtest/gtest.h>

#include <QApplication>

namespace kr5 {
namespace {

using namespace windowfakes;

TEST(CommTestWindow, FindsLandInTheFieldsOfTheirPortAndUnit) {
    CommTestWindow window;
    window.showProgress();
    EXPECT_TRUE(window.isVisible() && window.isWindow());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    window.probing(1, 7);
    EXPECT_EQ(labelTexts(window, "scanAddress"), "7");
    window.found(1, UnitKind::Detector, 3, QStringLiteral("KR-5 V1.20   "));
    window.found(1, UnitKind::NoiseDiscriminator, 0, QStringLiteral("ZN-4 V1.00   "));
    window.found(2, UnitKind::AcUnit, 15, QStringLiteral("AU-1 V2.00   "));
    window.found(1, UnitKind::Detector, 9, QStringLiteral("KR-5 V1.30   "));  // replaces the 3
    EXPECT_EQ(labelTexts(window,
                         "com1KrAddress com1KrIdent com1ZnAddress com1ZnIdent "
                         "com2AcuAddress com2AcuIdent com1AcuAddress com1AcuIdent "
                         "com2KrAddress com2KrIdent com2ZnAddress com2ZnIdent"),
              "9|KR-5 V1.30   |0|ZN-4 V1.00   |15|AU-1 V2.00   ||||||");
    window.hideProgress();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace kr5
