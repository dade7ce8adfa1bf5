// The ZN-4 panel's model (read-back into the right controls, stale reports, clicks out of
// range) and the window over it: names, lamps, clicks, enabled states, menu tick and closing.
// Parsing is left to the link tests, the requests' way to the unit to the acquisition tests
// and the whole-program tour.
#include "modes/zn4window.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QMenuBar>
#include <QRadioButton>

#include <functional>
#include <tuple>

namespace kr5 {
namespace {

using Settings = std::tuple<int, int, int>;  // channel A, channel B, function

const char* const kSteps[] = {"1/1",  "1/2",   "1/5",   "1/10",  "1/20",
                              "1/50", "1/100", "1/200", "1/500", "1/1000"};

struct Zn4WindowTest : ::testing::Test {
    Zn4WindowTest() {
        menuItem.setCheckable(true);
        QObject::connect(&panel, &Zn4Panel::menuTickChanged, &menuItem, &QAction::setChecked);
        // The clicks are requests; here the model takes them at once.
        QObject::connect(&window, &Zn4Window::channelAClicked, &panel, &Zn4Panel::clickChannelA);
        QObject::connect(&window, &Zn4Window::channelBClicked, &panel, &Zn4Panel::clickChannelB);
        QObject::connect(&window, &Zn4Window::functionClicked, &panel, &Zn4Panel::clickFunction);
        QObject::connect(&window, &Zn4Window::remoteClicked, &panel, &Zn4Panel::clickRemote);
    }

    QAbstractButton* button(const char* array, int i) {
        auto* found =
            window.findChild<QAbstractButton*>(QStringLiteral("%1(%2)").arg(array).arg(i));
        EXPECT_NE(found, nullptr) << array << i;
        return found;
    }
    QAbstractButton* stepButton(int e) { return button("peakb", e); }
    QAbstractButton* functionButton(int i) { return button("rateb", i); }
    QCheckBox* remoteBox() { return window.findChild<QCheckBox*>(QStringLiteral("remoteb")); }

    // The lit lamps as "A<step> B<step> F<function>"; "?" for a column with none or more
    // than one lit.
    QString lit() {
        const auto litIn = [this](const char* array, int first, int count) {
            QStringList checked;
            for (int i = 0; i < count; ++i) {
                if (button(array, first + i)->isChecked()) {
                    checked << QString::number(i);
                }
            }
            return checked.size() == 1 ? checked.front() : QStringLiteral("?");
        };
        return QStringLiteral("A%1 B%2 F%3")
            .arg(litIn("peakb", 10, 10), litIn("peakb", 0, 10), litIn("rateb", 0, 4));
    }
    void report(int channelA, int channelB, int function) {
        Reading r;
        r.noise = NoiseFields{channelA, function, channelB};
        panel.takeReading(r);
    }

    Requests requests;
    Zn4Panel panel{requests};
    Zn4Window window{panel};
    QAction menuItem{QStringLiteral("ZN-4")};  // stands in for Window > ZN-4
};

TEST_F(Zn4WindowTest, ReportsLightTheirOwnControlsAndAStaleReportDoesNotUndoAClick) {
    // Each action, and what is then shown and requested: a setting the unit reports
    // differently is sent back to it once.
    const std::pair<std::function<void()>, Settings> steps[] = {
        {[&] { report(7, 3, 2); }, {7, 3, 2}},
        {[&] { report(0, 9, 3); }, {0, 9, 3}},
        {[&] { panel.clickChannelA(5); }, {5, 9, 3}},
        {[&] { panel.clickFunction(1); }, {5, 9, 1}},
        {[&] { report(0, 9, 3); }, {5, 9, 1}},  // on its way before the clicks went out
        {[&] { report(5, 9, 1); }, {5, 9, 1}},  // the unit took them
        {[&] { report(5, 4, 1); }, {5, 4, 1}},  // the operator at the unit turns channel B
        {[&] { panel.clickChannelB(7); }, {5, 7, 1}},
        {[&] { report(5, 4, 1); }, {5, 7, 1}},  // the click stands until the unit
        {[&] { report(5, 4, 1); }, {5, 7, 1}},  // reports something new
        {[&] { report(5, 2, 1); }, {5, 2, 1}},
        {[&] { report(2, 7, 9); }, {2, 7, 1}},  // a function beyond the buttons is not followed
        {[&] { panel.clickChannelA(10); }, {2, 7, 1}},  // nor a click beyond them
        {[&] { panel.clickFunction(4); }, {2, 7, 1}},
        {[&] { panel.takeReading(Reading{}); }, {2, 7, 1}},  // nor a reading without the reply
        {[&] { panel.setQnRunning(true); }, {2, 7, 1}},
        {[&] { report(3, 7, 0); }, {3, 7, 0}},  // a Q-N measurement reads the unit back too
    };
    for (const auto& [action, after] : steps) {
        SCOPED_TRACE(::testing::Message() << "step " << &action - &steps[0].first);
        action();
        EXPECT_EQ(std::tuple(panel.channelA(), panel.channelB(), panel.function()), after);
        EXPECT_EQ(std::tuple(requests.channelA, requests.channelB, requests.discriminatorFunction),
                  after);
    }
}

// Each lamp names its column and step for a screen reader: a swap of the columns shows.
TEST_F(Zn4WindowTest, TheStartStateAndClosingThatOnlyHides) {
    for (int e = 0; e < 20; ++e) {
        EXPECT_EQ(stepButton(e)->accessibleName(),
                  QLatin1String(e >= 10 ? "A " : "B ") + QLatin1String(kSteps[e % 10]));
    }
    EXPECT_EQ(lit(), QStringLiteral("A0 B0 F0"));
    EXPECT_TRUE(remoteBox()->isChecked());

    panel.showAtStart(QStringLiteral("1"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ZN-4(1)"));
    EXPECT_FALSE(menuItem.isChecked());
    // Window > ZN-4 shows the window, or only ticks the item the first time after start-up
    // (the window is up already); closing only hides the window and unticks the item.
    const std::function<void()> hidings[] = {
        [&] { EXPECT_FALSE(window.close()); },  // the title bar: refused
        [&] { window.findChild<QAction*>(QStringLiteral("ncls"))->trigger(); },
        [&] { panel.menuClick(); }};
    for (const auto& hide : hidings) {
        panel.menuClick();
        ASSERT_TRUE(window.isVisible() && menuItem.isChecked());
        hide();
        EXPECT_FALSE(window.isVisible());
        EXPECT_FALSE(menuItem.isChecked());
    }
}

TEST_F(Zn4WindowTest, LampsShowTheModelAndClicksReachItAsTheChannelOfTheirColumn) {
    // Reports and clicks made on the model light their lamps, A and B apart so that a swap
    // of the columns shows.
    report(2, 8, 3);
    EXPECT_EQ(lit(), QStringLiteral("A2 B8 F3"));
    panel.clickChannelB(4);
    EXPECT_EQ(lit(), QStringLiteral("A2 B4 F3"));
    window.show();
    stepButton(15)->click();
    stepButton(3)->click();
    functionButton(2)->click();
    EXPECT_EQ(std::tuple(panel.channelA(), panel.channelB(), panel.function()),
              std::tuple(5, 3, 2));
    EXPECT_EQ(lit(), QStringLiteral("A5 B3 F2"));

    // REMOTE off greys the buttons but not REMOTE itself; the lamps still follow the unit.
    remoteBox()->click();
    EXPECT_EQ(requests.discriminatorRemote, std::optional<bool>(false));
    EXPECT_FALSE(stepButton(0)->isEnabled() || stepButton(19)->isEnabled() ||
                 functionButton(3)->isEnabled());
    EXPECT_TRUE(remoteBox()->isEnabled());
    report(4, 6, 2);
    EXPECT_EQ(lit(), QStringLiteral("A4 B6 F2"));
    remoteBox()->click();
    EXPECT_EQ(requests.discriminatorRemote, std::optional<bool>(true));
    EXPECT_TRUE(stepButton(19)->isEnabled());

    // A Q-N measurement disables the whole window, its menu bar too.
    panel.setQnRunning(true);
    EXPECT_FALSE(remoteBox()->isEnabled());
    EXPECT_FALSE(window.menuBar()->isEnabled());
    panel.setQnRunning(false);
    EXPECT_TRUE(remoteBox()->isEnabled() && stepButton(0)->isEnabled());
}

}  // namespace
}  // namespace kr5
