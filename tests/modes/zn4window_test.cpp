// The noise discriminator window over its model: names, captions and layout, the lamps
// lit for what the model shows (channel A in stepButton(10..19), channel B in stepButton(0..9), the
// function in rateb), clicks handed to the model, the greyed and disabled states, and
// closing that only hides. How the model follows the unit is left to zn4panel_test.
#include "modes/zn4window.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>

#include <tuple>

namespace kr5 {
namespace {

const char* const kSteps[] = {"1/1",  "1/2",   "1/5",   "1/10",  "1/20",
                              "1/50", "1/100", "1/200", "1/500", "1/1000"};
const char* const kFunctions[] = {"ALL ON", "N OFF", "PD ON", "ANT OFF"};

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
    QLabel* stepLabel(int i) { return find<QLabel>(QStringLiteral("Label6(%1)").arg(i)); }
    QPoint centre(QWidget* w) { return w->mapTo(&window, w->rect().center()); }

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
        return QStringLiteral("A") + litIn(&Zn4WindowTest::stepButton, 10, 10) +
               QStringLiteral(" B") + litIn(&Zn4WindowTest::stepButton, 0, 10) +
               QStringLiteral(" F") + litIn(&Zn4WindowTest::functionButton, 0, 4);
    }

    // The unit's report of its settings in a reading.
    void report(int channelA, int channelB, int function) {
        Reading r;
        r.noisePresent = true;
        r.noise = NoiseFields{channelA, function, channelB};
        panel.takeReading(r);
    }

    Requests requests;
    Zn4Panel panel{requests};
    Zn4Window window{panel};
    QAction menuItem{QStringLiteral("ZN-4")};  // stands in for Window > ZN-4
};

TEST_F(Zn4WindowTest, NamesCaptionsAndTheStartState) {
    EXPECT_EQ(window.objectName(), QStringLiteral("ZN4"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ZN-4"));
    // Every control named by the program carries the name as accessible description too.
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets << &window;
    for (QWidget* w : widgets) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_"))) {
            EXPECT_EQ(w->accessibleDescription(), w->objectName());
        }
    }
    QStringList captions;
    for (int i : {1, 2, 3, 4, 5, 7, 8}) {  // Label6 is the array of steps
        captions << find<QLabel>(QStringLiteral("Label%1").arg(i))->text();
    }
    EXPECT_EQ(captions, (QStringList{"NOISE DISCRIMINATOR", "TYPE ZN-4", "INPUT ATT", "A", "B",
                                     "FUNCTION", "ALL ON    N OFF     PD ON    ANT OFF"}));
    for (int e = 0; e < 20; ++e) {
        SCOPED_TRACE(e);
        EXPECT_EQ(stepLabel(e % 10)->text(), QLatin1String(kSteps[e % 10]));
        EXPECT_EQ(stepButton(e)->parentWidget(), find(QStringLiteral("Frame2(%1)").arg(e / 10)));
        EXPECT_EQ(stepButton(e)->accessibleName(),
                  QLatin1String(e >= 10 ? "A " : "B ") + QLatin1String(kSteps[e % 10]));
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(functionButton(i)->parentWidget(), find(QStringLiteral("Frame1")));
        EXPECT_EQ(functionButton(i)->accessibleName(), QLatin1String(kFunctions[i]));
    }
    EXPECT_EQ(lit(), QStringLiteral("A0 B0 F0"));
    EXPECT_EQ(remoteBox()->text(), QStringLiteral("REMOTE "));
    EXPECT_TRUE(remoteBox()->isChecked());
    auto* ncls = window.findChild<QAction*>(QStringLiteral("ncls"));
    ASSERT_NE(ncls, nullptr);
    EXPECT_EQ(ncls->text(), QStringLiteral("Close(&X)"));
    EXPECT_EQ(ncls->property("accessibleDescription").toString(), QStringLiteral("ncls"));

    panel.showAtStart(QStringLiteral("1"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ZN-4(1)"));
    EXPECT_TRUE(window.isVisible());
}

TEST_F(Zn4WindowTest, StepsStayLevelWithTheirButtonsAndNamesOverTheirButtons) {
    window.show();
    for (const QSize size : {window.sizeHint(), QSize(900, 700)}) {
        window.resize(size);
        QCoreApplication::sendPostedEvents();  // the nested layouts follow the new size
        for (int e = 0; e < 20; ++e) {
            EXPECT_NEAR(centre(stepButton(e)).y(), centre(stepLabel(e % 10)).y(), 1) << e;
        }
        // Column A left of the steps, column B right of them.
        const int stepsX = stepLabel(0)->mapTo(&window, QPoint()).x();
        EXPECT_LT(stepButton(10)->mapTo(&window, QPoint()).x(), stepsX);
        EXPECT_GT(stepButton(0)->mapTo(&window, QPoint()).x(), stepsX);
    }

    auto* names = find<QLabel>(QStringLiteral("Label8"));
    const QFontMetrics fm(names->font());
    const QString row = names->text();
    for (int i = 0; i < 4; ++i) {
        const QString name = QLatin1String(kFunctions[i]);
        const int middle =
            fm.horizontalAdvance(row.left(row.indexOf(name))) + fm.horizontalAdvance(name) / 2;
        EXPECT_NEAR(centre(functionButton(i)).x(), names->mapTo(&window, QPoint(middle, 0)).x(), 2)
            << i;
    }
}

TEST_F(Zn4WindowTest, ReportedSettingsLightChannelAInTheLeftColumnAndBInTheRight) {
    // Channel A, channel B and the function reported, and the lamps lit: A and B always
    // apart, so a swap of the columns shows.
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
    // While the buttons are greyed (local operation) the lamps still follow the unit.
    remoteBox()->click();
    ASSERT_FALSE(stepButton(0)->isEnabled());
    report(4, 6, 2);
    EXPECT_EQ(lit(), QStringLiteral("A4 B6 F2"));
}

TEST_F(Zn4WindowTest, ClicksReachTheModelAsTheChannelOfTheirColumn) {
    window.show();
    stepButton(15)->click();
    EXPECT_EQ(std::tuple(panel.channelA(), panel.channelB()), std::tuple(5, 0));
    stepButton(3)->click();
    EXPECT_EQ(std::tuple(panel.channelA(), panel.channelB()), std::tuple(5, 3));
    functionButton(2)->click();
    EXPECT_EQ(panel.function(), 2);
    EXPECT_EQ(std::tuple(requests.channelA, requests.channelB, requests.discriminatorFunction),
              std::tuple(5, 3, 2));
    EXPECT_EQ(lit(), QStringLiteral("A5 B3 F2"));

    // REMOTE off greys the buttons but not REMOTE itself.
    remoteBox()->click();
    EXPECT_FALSE(panel.remote());
    EXPECT_EQ(requests.discriminatorRemote, std::optional<bool>(false));
    for (int e : {0, 9, 10, 19}) {
        EXPECT_FALSE(stepButton(e)->isEnabled()) << e;
    }
    EXPECT_FALSE(functionButton(3)->isEnabled());
    EXPECT_TRUE(remoteBox()->isEnabled());
    remoteBox()->click();
    EXPECT_TRUE(panel.remote());
    EXPECT_TRUE(stepButton(19)->isEnabled());

    // A Q-N measurement disables the whole window, its menu bar too.
    panel.setQnRunning(true);
    EXPECT_FALSE(remoteBox()->isEnabled());
    EXPECT_FALSE(window.menuBar()->isEnabled());
    panel.setQnRunning(false);
    EXPECT_TRUE(remoteBox()->isEnabled());
    EXPECT_TRUE(stepButton(0)->isEnabled());
}

TEST_F(Zn4WindowTest, ClosingOnlyHidesAndUnticksTheMenuItem) {
    panel.showAtStart(QStringLiteral("1"));
    panel.menuClick();
    ASSERT_TRUE(window.isVisible());
    ASSERT_TRUE(menuItem.isChecked());
    EXPECT_FALSE(window.close());  // refused: the window is only hidden
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(menuItem.isChecked());

    panel.menuClick();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(menuItem.isChecked());
    window.findChild<QAction*>(QStringLiteral("ncls"))->trigger();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(menuItem.isChecked());
}

}  // namespace
}  // namespace kr5
