// The Options window's size against its texts in the fonts actually used: every tab's
// caption shows without scroll arrows. What the tabs do is tested in recordswindows_test.cpp.
#include "records/options.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QTabBar>
#include <QTabWidget>

namespace kr5 {
namespace {

// Checked in the desktop's font and in one half again as large, as an operator may set it.
TEST(OptionsLayout, EveryTabShowsWholeInTheWindowAsItOpens) {
    const QFont desktopFont = QApplication::font();
    for (const double scale : {1.0, 1.5}) {
        QFont font = desktopFont;
        font.setPointSizeF(desktopFont.pointSizeF() * scale);
        QApplication::setFont(font);
        SCOPED_TRACE(font.pointSizeF());
        OperatingSettings settings;
        Requests requests;
        Options options{settings, requests};
        options.showOptions();
        OptionsWindow& window = *options.window();
        auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("OPtab"));
        ASSERT_NE(tabs, nullptr);
        QTabBar* bar = tabs->tabBar();
        ASSERT_EQ(bar->count(), 5);
        EXPECT_LE(bar->sizeHint().width(), tabs->width());
        EXPECT_LE(bar->sizeHint().width(), bar->width());
        for (int i = 0; i < bar->count(); ++i) {
            EXPECT_TRUE(bar->rect().contains(bar->tabRect(i)))
                << bar->tabText(i).toStdString() << ": tab " << bar->tabRect(i).left() << ".."
                << bar->tabRect(i).right() << ", bar 0.." << bar->rect().right();
        }
        // Whichever tab is current, the bar does not scroll: the first tab stays at the left.
        tabs->setCurrentIndex(4);
        EXPECT_EQ(bar->tabRect(0).left(), 0);
        EXPECT_TRUE(bar->rect().contains(bar->tabRect(4)));
    }
    QApplication::setFont(desktopFont);
}

}  // namespace
}  // namespace kr5
