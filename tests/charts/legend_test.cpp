// The colour legend's texts fit its layout in the Color window's own font at any Adjust; the
// classic picture pixel by pixel is in primitives_test.cpp.
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

        const QString title = legendTitle();
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
            EXPECT_EQ(legend.pixel(layout.barLeft, top + 5), colours.rangeColours[i]);
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
