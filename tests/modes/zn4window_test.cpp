// The ZN-4 window over its model: names, lamps, clicks, enabled states, menu tick and
// closing. How the model follows the unit is left to zn4panel_test.
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

const char* const kSteps[] = {"1/1",  "1/2",   "1/5",   "1/10",  "1/20",
                              "1/50", "1/100", "1/200", "1/500", "1/1000"};

struct Zn4WindowTest : ::testing::Test {
    Zn4WindowTest() {
        menuItem.setCheckable(true);
        QObject::connect(&panel, &Zn4Panel::menuTickChanged, &menuItem, &QAction::setChecked);
    }

    template <typename T = QWidget>
    T* find(const QString& name) {
        T* found = window.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QRadioButton* stepButton(int e) {
        return find<QRadioButton>(QStringLiteral("peakb(%1)").arg(e));
    }
    QRadioButton* functionButton(int i) {
        return find<QRadioButton>(QStringLiteral("rateb(%1)").arg(i));
    }
    QCheckBox* remoteBox() { return find<QCheckBox>(QStringLiteral("remoteb")); }

    // The lit lamps as "A<step> B<step> F<function>"; "?" for a column with none or more
    // than one lit.
    QString lit() {
        const auto litIn = [this](auto button, int first, int count) {
            QStringList checked;
            for (int i = 0; i < count; ++i) {
                if ((this->*button)(first + i)->isChecked()) {
                    checked << QString::number(i);
                }
            }
            return checked.size() == 1 ? checked.front() : QStringLiteral("?");
        };
        return QStringLiteral("A%1 B%2 F%3")
            .arg(litIn(&Zn4WindowTest::stepButton, 10, 10),
                 litIn(&Zn4WindowTest::stepButton, 0, 10),
                 litIn(&Zn4WindowTest::functionButton, 0, 4));
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
    // The clicks are requests; here the model takes them at once.
    const bool clicksWired = [this] {
        QObject::connect(&window, &Zn4Window::channelAClicked, &panel, &Zn4Panel::clickChannelA);
        QObject::connect(&window, &Zn4Window::channelBClicked, &panel, &Zn4Panel::clickChannelB);
        QObject::connect(&window, &Zn4Window::functionClicked, &panel, &Zn4Panel::clickFunction);
        QObject::connect(&window, &Zn4Window::remoteClicked, &panel, &Zn4Panel::clickRemote);
        return true;
    }();
};

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
    // Reported channel A, channel B and function, and the lamps lit: A and B always apart,
    // so a swap of the columns shows.
    const struct {
        int a, b, function;
        const char* lamps;
    } reports[] = {{5, 0, 1, "A5 B0 F1"},
                   {0, 5, 2, "A0 B5 F2"},
                   {9, 3, 3, "A9 B3 F3"},
                   {2, 8, 0, "A2 B8 F0"},
                   {7, 1, 1, "A7 B1 F1"}};
    for (const auto& r : reports) {
        report(r.a, r.b, r.function);
        EXPECT_EQ(lit(), QLatin1String(r.lamps));
    }
    panel.clickChannelA(3);  // clicks made on the model light their lamps too
    EXPECT_EQ(lit(), QStringLiteral("A3 B1 F1"));
    panel.clickChannelB(4);
    EXPECT_EQ(lit(), QStringLiteral("A3 B4 F1"));
    panel.clickFunction(0);
    EXPECT_EQ(lit(), QStringLiteral("A3 B4 F0"));
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
    for (QRadioButton* button :
         {stepButton(0), stepButton(9), stepButton(10), stepButton(19), functionButton(3)}) {
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    }
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
