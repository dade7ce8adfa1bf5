// The noise discriminator window: names and captions, the layout of the columns and the
// FUNCTION row, selections from code that run the handler once, the greyed frames, and
// closing by the title bar through the panel logic.
#include "modes/zn4window.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>

#include <vector>

namespace kr5 {
namespace {

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

    template <typename T>
    T* find(const QString& name) {
        T* found = window.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QRadioButton* peakb(int e) { return find<QRadioButton>(QStringLiteral("peakb(%1)").arg(e)); }
    QRadioButton* rateb(int i) { return find<QRadioButton>(QStringLiteral("rateb(%1)").arg(i)); }
    QString text(const char* label) { return find<QLabel>(QLatin1String(label))->text(); }
};

TEST_F(Zn4WindowTest, NamesCaptionsAndStartSelections) {
    EXPECT_EQ(window.objectName(), QStringLiteral("ZN4"));
    EXPECT_EQ(window.accessibleDescription(), QStringLiteral("ZN4"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ZN-4"));
    EXPECT_EQ(text("Label1"), QStringLiteral("NOISE DISCRIMINATOR"));
    EXPECT_EQ(text("Label2"), QStringLiteral("TYPE ZN-4"));
    EXPECT_EQ(text("Label3"), QStringLiteral("INPUT ATT"));
    EXPECT_EQ(text("Label4"), QStringLiteral("A"));
    EXPECT_EQ(text("Label5"), QStringLiteral("B"));
    EXPECT_EQ(text("Label7"), QStringLiteral("FUNCTION"));
    EXPECT_EQ(text("Label8"), QStringLiteral("ALL ON    N OFF     PD ON    ANT OFF"));
    const QStringList steps{"1/1",  "1/2",   "1/5",   "1/10",  "1/20",
                            "1/50", "1/100", "1/200", "1/500", "1/1000"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(text(QStringLiteral("Label6(%1)").arg(i).toLatin1().constData()), steps[i]);
    }

    auto* frameA = find<QFrame>(QStringLiteral("Frame2(1)"));
    auto* frameB = find<QFrame>(QStringLiteral("Frame2(0)"));
    auto* frame1 = find<QFrame>(QStringLiteral("Frame1"));
    EXPECT_EQ(frameA->accessibleDescription(), QStringLiteral("Frame2(1)"));
    EXPECT_EQ(frameB->accessibleDescription(), QStringLiteral("Frame2(0)"));
    for (int e = 0; e < 20; ++e) {
        EXPECT_EQ(peakb(e)->accessibleDescription(), QStringLiteral("peakb(%1)").arg(e));
        EXPECT_EQ(peakb(e)->parentWidget(), e >= 10 ? frameA : frameB);
        EXPECT_EQ(peakb(e)->isChecked(), e == 0 || e == 10) << e;
    }
    EXPECT_EQ(peakb(15)->accessibleName(), QStringLiteral("A 1/50"));
    EXPECT_EQ(peakb(3)->accessibleName(), QStringLiteral("B 1/10"));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rateb(i)->accessibleDescription(), QStringLiteral("rateb(%1)").arg(i));
        EXPECT_EQ(rateb(i)->parentWidget(), frame1);
        EXPECT_EQ(rateb(i)->isChecked(), i == 0);
    }
    EXPECT_EQ(rateb(2)->accessibleName(), QStringLiteral("PD ON"));

    auto* remoteb = find<QCheckBox>(QStringLiteral("remoteb"));
    EXPECT_EQ(remoteb->text(), QStringLiteral("REMOTE "));
    EXPECT_EQ(remoteb->accessibleDescription(), QStringLiteral("remoteb"));
    EXPECT_TRUE(remoteb->isChecked());
    auto* ncls = find<QAction>(QStringLiteral("ncls"));
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
        for (int step = 0; step < 10; ++step) {
            auto* label = find<QLabel>(QStringLiteral("Label6(%1)").arg(step));
            const int labelY = label->mapTo(&window, label->rect().center()).y();
            for (int e : {step, step + 10}) {
                QRadioButton* b = peakb(e);
                EXPECT_NEAR(b->mapTo(&window, b->rect().center()).y(), labelY, 1) << e;
            }
        }
        // Column A left of the steps, column B right of them.
        EXPECT_LT(peakb(10)->mapTo(&window, QPoint()).x(),
                  find<QLabel>(QStringLiteral("Label6(0)"))->mapTo(&window, QPoint()).x());
        EXPECT_GT(peakb(0)->mapTo(&window, QPoint()).x(),
                  find<QLabel>(QStringLiteral("Label6(0)"))->mapTo(&window, QPoint()).x());
    }

    auto* names = find<QLabel>(QStringLiteral("Label8"));
    const QFontMetrics fm(names->font());
    const QString row = names->text();
    const char* const functionNames[] = {"ALL ON", "N OFF", "PD ON", "ANT OFF"};
    for (int i = 0; i < 4; ++i) {
        const QString name = QLatin1String(functionNames[i]);
        const int centre =
            fm.horizontalAdvance(row.left(row.indexOf(name))) + fm.horizontalAdvance(name) / 2;
        const int nameX = names->mapTo(&window, QPoint(centre, 0)).x();
        QRadioButton* b = rateb(i);
        EXPECT_NEAR(b->mapTo(&window, b->rect().center()).x(), nameX, 2) << i;
    }
}

TEST_F(Zn4WindowTest, SelectionFromCodeRunsTheHandlerOnce) {
    window.selectPeakb(13);
    EXPECT_EQ(peakbClicks, (std::vector<int>{13}));
    EXPECT_TRUE(peakb(13)->isChecked());
    EXPECT_FALSE(peakb(10)->isChecked());
    EXPECT_TRUE(peakb(0)->isChecked());  // the other column keeps its step
    window.selectPeakb(7);
    EXPECT_TRUE(peakb(7)->isChecked());
    EXPECT_TRUE(peakb(13)->isChecked());
    window.selectRateb(2);
    EXPECT_EQ(ratebClicks, (std::vector<int>{2}));
    EXPECT_TRUE(rateb(2)->isChecked());

    for (int bad : {-1, 20, 1000}) {
        window.selectPeakb(bad);
        window.selectRateb(bad < 0 ? bad : 4);
    }
    EXPECT_EQ(peakbClicks, (std::vector<int>{13, 7}));
    EXPECT_EQ(ratebClicks, (std::vector<int>{2}));

    // The operator's clicks reach the same handlers, once each.
    peakb(18)->click();
    rateb(1)->click();
    find<QCheckBox>(QStringLiteral("remoteb"))->click();
    EXPECT_EQ(peakbClicks, (std::vector<int>{13, 7, 18}));
    EXPECT_EQ(ratebClicks, (std::vector<int>{2, 1}));
    EXPECT_EQ(remoteClicks, (std::vector<bool>{false}));
}

TEST_F(Zn4WindowTest, FramesGreyButFollowTheUnitAndRemoteStaysUsable) {
    window.show();
    window.setFramesEnabled(false);
    for (int e : {0, 9, 10, 19}) {
        EXPECT_FALSE(peakb(e)->isEnabled()) << e;
    }
    EXPECT_FALSE(rateb(3)->isEnabled());
    auto* remoteb = find<QCheckBox>(QStringLiteral("remoteb"));
    EXPECT_TRUE(remoteb->isEnabled());
    window.selectPeakb(14);  // a report of the unit still shows
    EXPECT_TRUE(peakb(14)->isChecked());
    EXPECT_EQ(peakbClicks, (std::vector<int>{14}));

    window.setFramesEnabled(true);
    EXPECT_TRUE(peakb(0)->isEnabled());
    window.setWindowEnabled(false);
    EXPECT_FALSE(remoteb->isEnabled());
    EXPECT_FALSE(peakb(0)->isEnabled());
    EXPECT_FALSE(window.menuBar()->isEnabled());
    window.setWindowEnabled(true);
    EXPECT_TRUE(remoteb->isEnabled());
}

// The window with the panel logic and a menu item standing in for Window > ZN-4.
struct Zn4WindowWithPanel : ::testing::Test {
    Globals g;
    Zn4Window window;
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

TEST_F(Zn4WindowWithPanel, ClosingByTheTitleBarHidesAndUnticks) {
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

TEST_F(Zn4WindowWithPanel, ClicksReachTheRequests) {
    window.findChild<QRadioButton*>(QStringLiteral("peakb(15)"))->click();
    window.findChild<QRadioButton*>(QStringLiteral("peakb(3)"))->click();
    window.findChild<QRadioButton*>(QStringLiteral("rateb(1)"))->click();
    EXPECT_EQ(g.znatt2, 5);
    EXPECT_EQ(g.znatt1, 3);
    EXPECT_EQ(g.znfunc, 1);

    window.findChild<QCheckBox*>(QStringLiteral("remoteb"))->click();
    EXPECT_EQ(g.zncmd, QStringLiteral("m0"));
    EXPECT_TRUE(g.znremreq);
    EXPECT_FALSE(window.findChild<QFrame*>(QStringLiteral("Frame1"))->isEnabled());
    EXPECT_FALSE(window.findChild<QFrame*>(QStringLiteral("Frame2(0)"))->isEnabled());
    EXPECT_FALSE(window.findChild<QFrame*>(QStringLiteral("Frame2(1)"))->isEnabled());

    // A report from the unit moves the button and the request together.
    panel.nbtsetat2(8);
    EXPECT_TRUE(window.findChild<QRadioButton*>(QStringLiteral("peakb(8)"))->isChecked());
    EXPECT_EQ(g.znatt1, 8);
}

}  // namespace
}  // namespace kr5
