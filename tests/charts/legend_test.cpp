// The colour legend: the charges of the ranges at the Adjust, each with its colour bar, and
// its texts fitting the layout in the Color window's own font at any Adjust.
#include "charts/legend.h"
#include "charts/chartprobe.h"
#include "charts/colorwindow.h"

#include <gtest/gtest.h>

#include <QLabel>

namespace kr5 {
namespace {

using namespace test;

// Adjusts whose charges give the longest texts: four places and a prefix, "M" included.
const double adjusts[] = {1.0, 2.5, 7.777, 777.7, 8888.8, 0.0123};

// The Color window's own picture, drawn in its font: each charge text fits its box before
// the bars (no ink between the box and the bars), the title fits the picture (no ink in
// its last column), and the window gives the picture and its captions their whole size.
TEST(LegendLayout, TheColorWindowsTextsFitTheirBoxesAtAnyAdjust) {
    ColourTable colours;
    fillColourTable(colours);
    InputConstants atTwoAndAHalf;
    atTwoAndAHalf.adjust = 2.5;
    QStringList charges;
    for (int i = 0; i < 10; ++i) {
        charges << legendCharge(i, atTwoAndAHalf);
    }
    EXPECT_EQ(charges.join('|'),
              QStringLiteral(" 2.5| 5| 12.5| 25| 50| 125| 250| 500| 1.25k| 2.5k"));
    for (const double adjust : adjusts) {
        SCOPED_TRACE(adjust);
        InputConstants constants;
        constants.adjust = adjust;
        ColorWindow window(constants, colours);
        window.showLegend();
        const ImageSurface& legend = window.legend();
        const LegendLayout& layout = window.legendLayout();
        ASSERT_EQ(std::pair(legend.width(), legend.height()),
                  std::pair(layout.width, layout.height));

        const QString title = QStringLiteral("pC       Color");
        EXPECT_LE(layout.textLeft + legend.textWidth(title), layout.width);
        EXPECT_TRUE(labelAt(legend, title, layout.textLeft, 10, kBlack));
        EXPECT_EQ(countInColumn(legend, layout.width - 1, 0, layout.height - 1, kBlack), 0);
        for (int i = 0; i < 10; ++i) {
            const QString charge = legendCharge(i, constants);
            const int top = 35 + 16 * i;
            SCOPED_TRACE(charge.toStdString());
            EXPECT_LE(layout.textLeft + legend.textWidth(charge), layout.chargeRight());
            EXPECT_TRUE(labelAt(legend, charge, layout.textLeft, top, kBlack));
            EXPECT_EQ(paintedPixels(legend, layout.chargeRight(), top, layout.barLeft - 1,
                                    top + Surface::textLineHeight - 1),
                      0);
            // The bar: two rows from barLeft to barRight, white after it and below it.
            for (int x = layout.barLeft; x <= layout.barRight; ++x) {
                ASSERT_EQ(countInColumn(legend, x, top + 5, top + 6, colours.rangeColours[i]), 2)
                    << x;
            }
            EXPECT_EQ(std::pair(legend.pixel(layout.barRight + 1, top + 5),
                                legend.pixel(layout.barLeft, top + 7)),
                      std::pair(kWhite, kWhite));
        }

        auto* view = window.findChild<QWidget*>(QStringLiteral("Coltbl"));
        ASSERT_NE(view, nullptr);
        EXPECT_GE(view->width(), layout.width);
        EXPECT_GE(view->height(), layout.height);
        for (QLabel* label : window.findChildren<QLabel*>()) {
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
                << label->text().toStdString();
        }
    }
}

}  // namespace
}  // namespace kr5
