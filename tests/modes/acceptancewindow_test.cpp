// The acceptance window over its form and the verdict label over the test; the rules are in
// acceptance_test.
#include "modes/acceptancewindow.h"
#include "platform/virtualclock.h"
#include "support/readings.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

namespace kr5 {
namespace {

struct AcceptanceWindows : ::testing::Test {
    template <typename T>
    T* find(const char* name) {
        T* found = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit* field(const char* name) { return find<QLineEdit>(name); }
    void click(const char* name) { find<QPushButton>(name)->click(); }

    // Readings at 12.5 kV with this charge for the 5 s hold.
    void holdAt(double pc) {
        for (int s = 0; s <= 5; ++s) {
            Reading r = kr5::test::cycleReading(0, pc, 0, 125.0);
            r.takenAtMs = s * 1000;
            test.takeReading(r);
        }
    }

    VirtualClock clock;
    AcceptanceTest test{clock};
    AcceptanceForm form{test};
    AcceptanceWindow window{form, test};
};

TEST_F(AcceptanceWindows, TheWindowRefusesInRedStoresNothingAndOkStartsTheTest) {
    window.show();
    QLabel* problem = find<QLabel>("accproblem");
    field("testkv")->setText(QStringLiteral("12"));
    field("holds")->setText(QStringLiteral("a minute"));
    field("permpc")->setText(QStringLiteral("10"));
    click("accok");
    EXPECT_EQ(problem->text(), "Hold time must be a number from 1 to 86400 s.");
    EXPECT_TRUE(problem->isVisible());
    problem->ensurePolished();
    EXPECT_EQ(problem->palette().color(QPalette::WindowText), QColor(0xc0, 0, 0));
    EXPECT_FALSE(test.limits());
    EXPECT_EQ(field("holds")->text(), "a minute");  // kept to be mended

    field("holds")->setText(QStringLiteral("60"));
    click("accok");
    EXPECT_FALSE(problem->isVisible());
    EXPECT_EQ(test.limits(), (AcceptanceLimits{12, 60, 10}));
    EXPECT_EQ(find<QLabel>("accstate")->text(), test.statusText());

    // Close drops what was typed since OK; No test empties the test's fields.
    field("testkv")->setText(QStringLiteral("99"));
    click("accclose");
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(field("testkv")->text(), "12");
    click("accclear");
    EXPECT_FALSE(test.limits());
    EXPECT_EQ(field("testkv")->text(), "");
    EXPECT_EQ(find<QLabel>("accstate")->text(), "Acceptance: no test");
}

TEST_F(AcceptanceWindows, TheVerdictShowsPassOnGreenAndFailOnRedLargeAndBold) {
    QWidget mainWindow;
    mainWindow.setObjectName(QStringLiteral("KR5AU"));
    VerdictLabel verdict(test);
    verdict.setParent(&mainWindow);  // the plain words come with the main window
    const auto face = [&] { return verdict.palette().color(QPalette::Window); };
    const int normalSize = mainWindow.fontInfo().pixelSize();

    test.setLimits(AcceptanceLimits{12.0, 5, 10});
    holdAt(4.0);
    EXPECT_EQ(verdict.text(), "PASS");
    EXPECT_EQ(face(), QColor(VerdictLabel::passFace));
    EXPECT_TRUE(verdict.fontInfo().bold());
    EXPECT_GE(verdict.fontInfo().pixelSize(), 2 * normalSize);
    verdict.grab();  // a screen reader hears what was painted
    EXPECT_EQ(verdict.accessibleName(), "Acceptance verdict: PASS");

    test.restart();
    holdAt(12.0);
    EXPECT_EQ(verdict.text(), "FAIL");
    EXPECT_EQ(face(), QColor(VerdictLabel::failFace));
    // A background measured after the verdict leaves it as its hold's background made it;
    // too much of it during the hold: no plain verdict colour.
    test.setBackground(6.0);
    EXPECT_EQ(verdict.text(), "FAIL");
    test.restart();
    holdAt(12.0);
    EXPECT_EQ(verdict.text(), "FAIL – NOT VALID");
    EXPECT_EQ(face(), QColor(VerdictLabel::invalidFace));
    test.setBackground(1.0);
    EXPECT_EQ(verdict.text(), "FAIL – NOT VALID");

    test.setLimits(AcceptanceLimits{12.0, 60, 10});
    holdAt(0.0);
    EXPECT_EQ(verdict.text(), test.statusText());  // the hold, in normal size
    EXPECT_EQ(verdict.fontInfo().pixelSize(), normalSize);
    EXPECT_FALSE(verdict.autoFillBackground());
    test.setLimits(std::nullopt);
    EXPECT_EQ(verdict.text(), "");
}

}  // namespace
}  // namespace kr5
