// The colour table and the pieces of the empty charts, read from the drawn pictures: label
// texts and places, grid lines, the Set Q line, label boxes and the colour legend. The
// charts built from them, and the readings drawn on them, are tested in
// chartplotter_test.cpp.
#include "charts/primitives.h"
#include "charts/chartprobe.h"
#include "charts/chartscale.h"
#include "charts/colours.h"
#include "charts/legend.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kr5 {
namespace {

using namespace test;

constexpr Colour grey = 0x808080;
constexpr Colour lightBlue = 0xFF0000;
constexpr Colour lightGreen = 0x00FF00;
constexpr Colour lightRed = 0x0000FF;

ColourTable filledTable() {
    ColourTable t;
    fillColourTable(t);
    return t;
}

// A range number outside the table takes the colour of its nearer end instead of reading
// past it; entry 10, which no range has, stays black.
TEST(Colours, RangeColourHoldsTheIndexInsideTheTable) {
    const ColourTable t = filledTable();
    EXPECT_EQ(std::pair(t.rangeColour(-3), t.rangeColour(99)),
              std::pair(t.rangeColours[0], t.rangeColours[10]));
    EXPECT_EQ(std::pair(t.rangeColour(3), t.rangeColour(10)), std::pair(t.rangeColours[3], kBlack));
}

TEST(ChartScale, LogarithmicMappingAndRounding) {
    // Off the picture, or not a number: held at its edge. Halves go to the even neighbour.
    const std::pair<double, int> logs[] = {
        {1.0, 248}, {0.1, 296}, {10.0, 200}, {1000.0, 104}, {1e300, 0}};
    const std::pair<double, int> pixels[] = {
        {196.5, 196}, {197.5, 198},   {chart::vqVoltX(101.0), 197},
        {1e300, 320}, {-INFINITY, 0}, {NAN, 0}};
    for (const auto& [v, y] : logs) {
        EXPECT_EQ(chart::pixelIn(chart::logY(v), 321), y) << v;
    }
    for (const auto& [c, y] : pixels) {
        EXPECT_EQ(chart::pixelIn(c, 321), y) << c;
    }
    EXPECT_EQ(std::tuple(chart::raised(0.0), chart::raised(-5.0), chart::raised(NAN),
                         chart::raised(0.25)),
              std::tuple(0.1, 0.1, 0.1, 0.25));
}

class Primitives : public ::testing::Test {
  protected:
    InputConstants constants;
    ColourTable colours = filledTable();
    ImageSurface s{625, 321};
};

TEST_F(Primitives, LabelStripsLogarithmicFromPointOneLinearAndBlank) {
    s.fillBox(0, 0, 624, 320, grey);
    drawValueStrip(s, QStringLiteral("PPS"), 0.1, lightRed, 35, false);
    EXPECT_TRUE(labelsAt(s, QStringLiteral(" .1| 1| 10| 100| 1k| 10k"), 35, 0, 291, -48, lightRed));
    EXPECT_TRUE(labelAt(s, QStringLiteral("PPS"), 43, 2, lightRed));
    for (int x = 43; x <= 63; ++x) {
        ASSERT_EQ(s.pixel(x, 16), lightRed) << x;
    }
    // The strip is white from x to x + 34, the rest untouched.
    EXPECT_EQ(std::tuple(s.pixel(69, 0), s.pixel(35, 320), s.pixel(34, 0), s.pixel(70, 0)),
              std::tuple(kWhite, kWhite, grey, grey));

    drawValueStrip(s, QStringLiteral("TV"), 20000, lightRed, 585, true);
    EXPECT_TRUE(
        labelsAt(s, QStringLiteral(" 0| 4k| 8k| 12k| 16k| 20k"), 585, 0, 291, -48, lightRed));
    // A top of 0, below 0 or not a number leaves a blank strip, and nothing fails.
    for (double top : {0.0, -5.0, static_cast<double>(NAN)}) {
        drawValueStrip(s, QStringLiteral("TV"), top, lightRed, 585, true);
        EXPECT_EQ(paintedPixels(s, 585, 0, 619, 320), 0) << top;
    }
}

TEST_F(Primitives, FrameGridAndTitle) {
    drawFrame(s, QStringLiteral("V-Q"), 10, 30, 330, grey);
    // Vertical grid lines at 63, 96, ... 360 (the last on the right border), from 7 to 296
    // (the title, drawn last, crosses the line at 195 in rows 20 to 31).
    for (int i = 1; i <= 10; ++i) {
        const int x = 30 + 33 * i;
        EXPECT_EQ(std::tuple(countInColumn(s, x, 32, 296, grey), countInColumn(s, x, 7, 19, grey),
                             s.pixel(x, 6)),
                  std::tuple(265, 13, kWhite))
            << x;
    }
    EXPECT_EQ(countInColumn(s, 30, 7, 296, grey), 290);
    // Elsewhere a column crosses only the 13 horizontal lines, 24 px apart.
    EXPECT_EQ(countInColumn(s, 64, 0, 320, grey), 13);
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(s.pixel(64, 296 - 24 * i), grey) << i;
    }
    EXPECT_EQ(s.pixel(361, 296), kWhite);
    EXPECT_TRUE(labelAt(s, QStringLiteral("V-Q"), 180, 20, kBlack));  // 165 - 15 + 30

    // Seven characters of title, no divisions, and cleared 24 px right of the frame.
    s.fillBox(0, 0, 624, 320, grey);
    drawFrame(s, QStringLiteral("T-N(Q)V"), 0, 70, 510, grey);
    EXPECT_TRUE(labelAt(s, QStringLiteral("T-N(Q)V"), 290, 20, kBlack));
    EXPECT_EQ(countInColumn(s, 300, 0, 320, grey), 13);
    EXPECT_EQ(countInColumn(s, 580, 7, 296, grey), 290);
    EXPECT_EQ(std::pair(s.pixel(604, 0), s.pixel(605, 0)), std::pair(kWhite, grey));
}

TEST_F(Primitives, LabelsUnderTheQnAndVqCharts) {
    // The Q-N chart's labels are the charges of the ranges at the Adjust given.
    for (const auto& [adjust, charges] :
         {std::pair{1.0, " 1| 2| 5| 10| 20| 50| 100| 200| 500| 1k"},
          {2.5, " 2.5| 5| 12.5| 25| 50| 125| 250| 500| 1.25k| 2.5k"}}) {
        ImageSurface qn(625, 321);
        drawBottomLabels(qn, chart::Face::Qn, 10, adjust, 30, 330, lightBlue);
        EXPECT_TRUE(labelsAt(qn, QLatin1String(charges), 22, 33, 296, 0, lightBlue)) << adjust;
        EXPECT_TRUE(labelAt(qn, QStringLiteral("pC"), 360, 296, lightBlue));
    }

    s.fillBox(0, 0, 624, 320, grey);
    drawBottomLabels(s, chart::Face::Normal, 5, 20000, 30, 330, lightRed);
    EXPECT_TRUE(labelsAt(s, QStringLiteral(" 0| 4k| 8k| 12k| 16k| 20k"), 22, 66, 296, 0, lightRed));
    EXPECT_TRUE(labelAt(s, QStringLiteral("TV"), 360, 306, lightRed));
    // The strip from 297 to 312 is cleared.
    EXPECT_EQ(std::pair(s.pixel(30, 312), s.pixel(30, 313)), std::pair(kWhite, grey));
    ImageSurface blank(625, 321);  // no divisions: nothing at all
    drawBottomLabels(blank, chart::Face::Normal, 0, 20000, 30, 330, lightRed);
    EXPECT_EQ(paintedPixels(blank, 0, 0, 624, 320), 0);
}

TEST_F(Primitives, SetQLineFollowsTheRangeAndNeedsALogarithm) {
    for (const auto& [range, y] : {std::pair{0, 248}, {3, 200}, {9, 104}}) {
        for (double adjust : {1.0, 2.5, 0.04}) {
            ImageSurface chart(625, 321);
            constants.adjust = adjust;
            constants.setQ = attenuatorDivision(range) * adjust;
            drawSetQLine(chart, constants, colours, 70, 510);
            EXPECT_EQ(std::tuple(chart.pixel(70, y), chart.pixel(580, y),
                                 paintedPixels(chart, 0, 0, 624, 320)),
                      std::tuple(lightGreen, lightGreen, 511))
                << range << " " << adjust;
        }
    }
    for (const auto& [adjust, setQ] : {std::pair{0.0, 0.0}, {-1.0, -1.0}, {1.0, 0.0}, {0.0, 5.0}}) {
        constants.adjust = adjust;
        constants.setQ = setQ;
        drawSetQLine(s, constants, colours, 70, 510);
        EXPECT_EQ(paintedPixels(s, 0, 0, 624, 320), 0) << adjust << " " << setQ;
    }
    constants.adjust = 1.0;
    constants.setQ = 1e-30;  // 30 decades down: held on the picture's lowest row
    drawSetQLine(s, constants, colours, 70, 510);
    EXPECT_EQ(s.pixel(100, 320), lightGreen);
}

TEST_F(Primitives, LabelOnAWhiteBox) {
    s.fillBox(0, 0, 624, 320, grey);
    drawLabel(s, QStringLiteral("CSV= 1.2kV"), 40, 40);
    EXPECT_TRUE(labelAt(s, QStringLiteral("CSV= 1.2kV"), 40, 40, kBlack));
    // The box reaches x + 8 * 10 and y + 10.
    EXPECT_EQ(std::tuple(s.pixel(120, 50), s.pixel(121, 50), s.pixel(120, 51), s.pixel(39, 40)),
              std::tuple(kWhite, grey, grey, grey));
}

TEST(Legend, ChargesForAdjustOneAndTwoAndAHalf) {
    for (const auto& [adjust, charges] :
         {std::pair{1.0, " 1| 2| 5| 10| 20| 50| 100| 200| 500| 1k"},
          {2.5, " 2.5| 5| 12.5| 25| 50| 125| 250| 500| 1.25k| 2.5k"}}) {
        SCOPED_TRACE(adjust);
        InputConstants constants;
        constants.adjust = adjust;
        const ColourTable colours = filledTable();
        ImageSurface legend(153, 209);
        drawLegend(legend, constants, colours);
        EXPECT_TRUE(labelAt(legend, QStringLiteral("pC       Color"), 10, 10, kBlack));
        EXPECT_TRUE(labelsAt(legend, QLatin1String(charges), 10, 0, 35, 16, kBlack));
        for (int i = 0; i < 10; ++i) {  // a bar of two rows from x 60 to 140 per range
            const int bar = 40 + 16 * i;
            for (int x = 60; x <= 140; ++x) {
                ASSERT_EQ(countInColumn(legend, x, bar, bar + 1, colours.rangeColours[i]), 2) << i;
            }
            EXPECT_EQ(std::pair(legend.pixel(141, bar), legend.pixel(100, bar + 2)),
                      std::pair(kWhite, kWhite));
        }
    }
}

}  // namespace
}  // namespace kr5
