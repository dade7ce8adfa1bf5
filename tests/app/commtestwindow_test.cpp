// The discovery progress window: each find lands in the fields of its port and unit, the
// address being asked is shown, and the window shows and hides without blocking.
#include "app/commtestwindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>

namespace kr5 {
namespace {

QString textOf(const QWidget& window, const char* name) {
    const auto* label = window.findChild<QLabel*>(QLatin1String(name));
    return label == nullptr ? QStringLiteral("<missing %1>").arg(QLatin1String(name))
                            : label->text();
}

TEST(CommTestWindow, ShowsItsSectionsAndCaptionsWithNamedControls) {
    CommTestWindow window;
    EXPECT_EQ(window.objectName(), QStringLiteral("commtest"));
    EXPECT_EQ(window.findChild<QGroupBox*>(QStringLiteral("com1"))->title(),
              QStringLiteral("COM1"));
    EXPECT_EQ(window.findChild<QGroupBox*>(QStringLiteral("com2"))->title(),
              QStringLiteral("COM2"));
    EXPECT_EQ(textOf(window, "scanCaption"), QStringLiteral("Scanning Unit"));
    EXPECT_EQ(textOf(window, "com1UnitCaption"), QStringLiteral("Unit"));
    EXPECT_EQ(textOf(window, "com2AddressCaption"), QStringLiteral("Address"));

    const auto labels = window.findChildren<QLabel*>();
    ASSERT_FALSE(labels.isEmpty());
    for (const QLabel* label : labels) {
        EXPECT_FALSE(label->objectName().isEmpty());
        EXPECT_EQ(label->accessibleDescription(), label->objectName());
    }
}

TEST(CommTestWindow, FindsLandInTheFieldsOfTheirPortAndUnit) {
    CommTestWindow window;
    window.probing(1, 7);
    EXPECT_EQ(textOf(window, "scanAddress"), QStringLiteral("7"));

    window.found(1, UnitKind::Detector, 3, QStringLiteral("KR-5 V1.20   "));
    window.found(1, UnitKind::NoiseDiscriminator, 0, QStringLiteral("ZN-4 V1.00   "));
    window.found(2, UnitKind::AcUnit, 15, QStringLiteral("AU-1 V2.00   "));

    EXPECT_EQ(textOf(window, "com1KrAddress"), QStringLiteral("3"));
    EXPECT_EQ(textOf(window, "com1KrIdent"), QStringLiteral("KR-5 V1.20   "));
    EXPECT_EQ(textOf(window, "com1ZnAddress"), QStringLiteral("0"));
    EXPECT_EQ(textOf(window, "com1ZnIdent"), QStringLiteral("ZN-4 V1.00   "));
    EXPECT_EQ(textOf(window, "com2AcuAddress"), QStringLiteral("15"));
    EXPECT_EQ(textOf(window, "com2AcuIdent"), QStringLiteral("AU-1 V2.00   "));
    for (const char* untouched : {"com1AcuAddress", "com1AcuIdent", "com2KrAddress", "com2KrIdent",
                                  "com2ZnAddress", "com2ZnIdent"}) {
        EXPECT_TRUE(textOf(window, untouched).isEmpty()) << untouched;
    }

    // A later find of the same unit replaces the earlier one.
    window.found(1, UnitKind::Detector, 9, QStringLiteral("KR-5 V1.30   "));
    EXPECT_EQ(textOf(window, "com1KrAddress"), QStringLiteral("9"));
    EXPECT_EQ(textOf(window, "com1KrIdent"), QStringLiteral("KR-5 V1.30   "));
}

TEST(CommTestWindow, ShowsWithoutBlockingAndHidesAgain) {
    CommTestWindow window;
    window.showProgress();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isWindow());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    window.hideProgress();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace kr5
