// The noise discriminator window: names and captions, the layout of the columns and the
// FUNCTION row, selections from code that run the handler once, the greyed frames, and
// with the panel logic: clicks reaching the requests and closing by the title bar.
#include "modes/zn4window.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>

#include <tuple>
#include <vector>

namespace kr5 {
namespace {

const char* const kSteps[] = {"1/1",  "1/2",   "1/5",   "1/10",  "1/20",
                              "1/50", "1/100", "1/200", "1/500", "1/1000"};
const char* const kFunctions[] = {"ALL ON", "N OFF", "PD ON", "ANT OFF"};

struct Zn4WindowTest : ::testing::Test {
    Zn4Window window;
    std::vector<int> peakbClicks;
    std::vector<int> ratebClicks;
    std::vector<bool> remoteClicks;

    Zn4WindowTest() {
        window.onPeakbClick = [this](int e) { peakbClicks.push_back(e); };
        window.onRatebClick = [this](int i) { ratebClicks.push_back(i); };
        window.onRemoteClick = [this](bool on) { remoteClicks.push_back(on); };
    }

    template <typename T = QWidget>
    T* find(const QString& name) {
        T* found = window.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QRadioButton* peakb(int e) { return find<QRadioButton>(QStringLiteral("peakb(%1)").arg(e)); }
    QRadioButton* rateb(int i) { return find<QRadioButton>(QStringLiteral("rateb(%1)").arg(i)); }
    QCheckBox* remoteb() { return find<QCheckBox>(QStringLiteral("remoteb")); }
    QLabel* step(int i) { return find<QLabel>(QStringLiteral("Label6(%1)").arg(i)); }
    QPoint centre(QWidget* w) { return w->mapTo(&window, w->rect().center()); }
};

TEST_F(Zn4WindowTest, NamesCaptionsAndStartSelections) {
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
        EXPECT_EQ(step(e % 10)->text(), QLatin1String(kSteps[e % 10]));
        EXPECT_EQ(peakb(e)->parentWidget(), find(QStringLiteral("Frame2(%1)").arg(e / 10)));
        EXPECT_EQ(peakb(e)->accessibleName(),
                  QLatin1String(e >= 10 ? "A " : "B ") + QLatin1String(kSteps[e % 10]));
        EXPECT_EQ(peakb(e)->isChecked(), e == 0 || e == 10);
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rateb(i)->parentWidget(), find(QStringLiteral("Frame1")));
        EXPECT_EQ(rateb(i)->accessibleName(), QLatin1String(kFunctions[i]));
        EXPECT_EQ(rateb(i)->isChecked(), i == 0);
    }
    EXPECT_EQ(remoteb()->text(), QStringLiteral("REMOTE "));
    EXPECT_TRUE(remoteb()->isChecked());
    auto* ncls = window.findChild<QAction*>(QStringLiteral("ncls"));
    ASSERT_NE(ncls, nullptr);
    EXPECT_EQ(ncls->text(), QStringLiteral("Close(&X)"));
    EXPECT_EQ(ncls->property("accessibleDescription").toString(), QStringLiteral("ncls"));

    window.setCaption(QStringLiteral("ZN-4(1)"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ZN-4(1)"));
}

TEST_F(Zn4WindowTest, StepsStayLevelWithTheirButtonsAndNamesOverTheirButtons) {
    window.show();
    for (const QSize size : {window.sizeHint(), QSize(900, 700)}) {
        window.resize(size);
        QCoreApplication::sendPostedEvents();  // the nested layouts follow the new size
        for (int e = 0; e < 20; ++e) {
            EXPECT_NEAR(centre(peakb(e)).y(), centre(step(e % 10)).y(), 1) << e;
        }
        // Column A left of the steps, column B right of them.
        const int stepsX = step(0)->mapTo(&window, QPoint()).x();
        EXPECT_LT(peakb(10)->mapTo(&window, QPoint()).x(), stepsX);
        EXPECT_GT(peakb(0)->mapTo(&window, QPoint()).x(), stepsX);
    }

    auto* names = find<QLabel>(QStringLiteral("Label8"));
    const QFontMetrics fm(names->font());
    const QString row = names->text();
    for (int i = 0; i < 4; ++i) {
        const QString name = QLatin1String(kFunctions[i]);
        const int middle =
            fm.horizontalAdvance(row.left(row.indexOf(name))) + fm.horizontalAdvance(name) / 2;
        EXPECT_NEAR(centre(rateb(i)).x(), names->mapTo(&window, QPoint(middle, 0)).x(), 2) << i;
    }
}

TEST_F(Zn4WindowTest, SelectionFromCodeRunsTheHandlerOnceEvenWhileTheFramesAreGrey) {
    window.show();
    window.setFramesEnabled(false);
    for (int e : {0, 9, 10, 19}) {
        EXPECT_FALSE(peakb(e)->isEnabled()) << e;
    }
    EXPECT_FALSE(rateb(3)->isEnabled());
    EXPECT_TRUE(remoteb()->isEnabled());
    // The unit's reports still show.
    window.selectPeakb(13);
    EXPECT_FALSE(peakb(10)->isChecked());
    window.selectPeakb(7);
    window.selectRateb(2);
    for (int bad : {-1, 20, 1000}) {
        window.selectPeakb(bad);
        window.selectRateb(bad < 0 ? bad : 4);
    }
    EXPECT_TRUE(peakb(7)->isChecked());  // each column keeps its own step
    EXPECT_TRUE(peakb(13)->isChecked());
    EXPECT_TRUE(rateb(2)->isChecked());

    // The operator's clicks reach the same handlers, once each.
    window.setFramesEnabled(true);
    EXPECT_TRUE(peakb(0)->isEnabled());
    peakb(18)->click();
    rateb(1)->click();
    remoteb()->click();
    EXPECT_EQ(peakbClicks, (std::vector<int>{13, 7, 18}));
    EXPECT_EQ(ratebClicks, (std::vector<int>{2, 1}));
    EXPECT_EQ(remoteClicks, (std::vector<bool>{false}));

    window.setWindowEnabled(false);
    EXPECT_FALSE(remoteb()->isEnabled());
    EXPECT_FALSE(peakb(0)->isEnabled());
    EXPECT_FALSE(window.menuBar()->isEnabled());
    window.setWindowEnabled(true);
    EXPECT_TRUE(remoteb()->isEnabled());
}

// The window with the panel logic and a menu item standing in for Window > ZN-4.
struct Zn4WindowWithPanel : Zn4WindowTest {
    Globals g;
    Zn4Panel panel{g, window};
    QAction zn4w{QStringLiteral("ZN-4")};

    Zn4WindowWithPanel() {
        window.forwardTo(panel);
        zn4w.setCheckable(true);
        panel.setMenuTick = [this](bool ticked) { zn4w.setChecked(ticked); };
        panel.showAtStart(QStringLiteral("1"));
        panel.zn4wClick();
    }
};

TEST_F(Zn4WindowWithPanel, ClicksReachTheRequestsReportsMoveTheButtonsAndClosingOnlyHides) {
    peakb(15)->click();
    rateb(1)->click();
    EXPECT_EQ(std::tuple(g.znatt2, g.znatt1, g.znfunc), std::tuple(5, 0, 1));

    remoteb()->click();
    EXPECT_EQ(g.zncmd, QStringLiteral("m0"));
    EXPECT_TRUE(g.znremreq);
    EXPECT_FALSE(peakb(0)->isEnabled());

    panel.nbtsetat2(8);
    EXPECT_TRUE(peakb(8)->isChecked());
    EXPECT_EQ(g.znatt1, 8);

    // Closing by the title bar only hides the window, and the menu item loses its tick.
    ASSERT_TRUE(window.isVisible());
    ASSERT_TRUE(zn4w.isChecked());
    EXPECT_FALSE(window.close());  // refused: the window is only hidden
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(zn4w.isChecked());

    panel.zn4wClick();
    EXPECT_TRUE(window.isVisible());
    window.findChild<QAction*>(QStringLiteral("ncls"))->trigger();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(zn4w.isChecked());
}

}  // namespace
}  // namespace kr5
