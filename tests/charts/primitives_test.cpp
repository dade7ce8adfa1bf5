// The colour table and the pieces of the empty charts, read from the drawn pictures; the
// readings drawn on them are in chartplotter_test.cpp, the colour legend in legend_test.cpp.
#include "charts/primitives.h"
#include "charts/chartprobe.h"
#include "charts/chartscale.h"
#include "charts/colours.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kr5 {
namespace {

using namespace test;

ColourTable filledTable() {
    ColourTable t;
    fillColourTable(t);
    return t;
}

// Off the picture, or not a number: held at its edge. Halves go to the even neighbour.
TEST(ChartScale, LogarithmicMappingRoundingAndRangeColoursHeldInside) {
    const std::pair<double, int> logs[] = {{1.0, 248}, {0.1, 296}, {1000.0, 104}, {1e300, 0}};
    const std::pair<double, int> pixels[] = {
        {196.5, 196}, {197.5, 198},   {chart::vqVoltX(101.0), 197},
        {1e300, 320}, {-INFINITY, 0}, {NAN, 0}};
    for (const auto& [v, y] : logs) {
        EXPECT_EQ(chart::pixelIn(chart::logY(v), 321), y) << v;
    }
    for (const auto& [c, y] : pixels) {
        EXPECT_EQ(chart::pixelIn(c, 321), y) << c;
    }
    // A range number outside the colour table takes the colour of its nearer end instead of
    // reading past it; entry 10, which no range has, stays black.
    const ColourTable t = filledTable();
    EXPECT_EQ(std::pair(t.rangeColour(-3), t.rangeColour(99)),
              std::pair(t.rangeColours[0], t.rangeColours[10]));
    EXPECT_EQ(std::pair(t.rangeColour(3), t.rangeColour(10)), std::pair(t.rangeColours[3], kBlack));
}

struct Primitives : ::testing::Test {
    Primitives() { s.fillBox(0, 0, 624, 320, grey); }
    InputConstants constants;
    ColourTable colours = filledTable();
    ImageSurface s{625, 321};
};

// The strips' labels at other tops, and linear ones, are read in chartplotter_test.cpp.
TEST_F(Primitives, LabelStripsFromPointOneAndBlankWithoutATop) {
    drawValueStrip(s, QStringLiteral("PPS"), 0.1, lightRed, 35, false);
    EXPECT_TRUE(labelsAt(s, QStringLiteral(" .1| 1| 10| 100| 1k| 10k"), 35, 0, 291, -48, lightRed));
    EXPECT_TRUE(labelAt(s, QStringLiteral("PPS"), 43, 2, lightRed));
    // The strip is white from x to x + 34, the rest untouched.
    EXPECT_EQ(std::tuple(s.pixel(69, 0), s.pixel(35, 320), s.pixel(34, 0), s.pixel(70, 0)),
              std::tuple(kWhite, kWhite, grey, grey));
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
    for (int x = 63; x <= 360; x += 33) {
        EXPECT_EQ(std::tuple(countInColumn(s, x, 32, 296, grey), countInColumn(s, x, 7, 19, grey),
                             s.pixel(x, 6)),
                  std::tuple(265, 13, kWhite))
            << x;
    }
    EXPECT_EQ(countInColumn(s, 30, 7, 296, grey), 290);
    // Elsewhere a column crosses only the 13 horizontal lines, 24 px apart.
    EXPECT_EQ(std::tuple(countInColumn(s, 64, 0, 320, grey), s.pixel(64, 8), s.pixel(64, 272)),
              std::tuple(13, grey, grey));
    EXPECT_EQ(s.pixel(361, 296), kWhite);
    EXPECT_TRUE(labelAt(s, QStringLiteral("V-Q"), 180, 20, kBlack));  // 165 - 15 + 30

    // Seven characters of title, no divisions, and cleared 24 px right of the frame.
    drawFrame(s, QStringLiteral("T-N(Q)V"), 0, 70, 510, grey);
    EXPECT_TRUE(labelAt(s, QStringLiteral("T-N(Q)V"), 290, 20, kBlack));
    EXPECT_EQ(std::tuple(countInColumn(s, 300, 0, 320, grey), s.pixel(604, 0), s.pixel(605, 0)),
              std::tuple(13, kWhite, grey));
}

TEST_F(Primitives, VoltageLabelsUnderTheVqChartOnAClearedStripAndALabelOnAWhiteBox) {
    drawBottomLabels(s, chart::Face::Normal, 5, 20000, 30, 330, lightRed);
    EXPECT_TRUE(labelsAt(s, QStringLiteral(" 0| 4k| 8k| 12k| 16k| 20k"), 22, 66, 296, 0, lightRed));
    EXPECT_TRUE(labelAt(s, QStringLiteral("TV"), 360, 306, lightRed));
    EXPECT_EQ(std::pair(s.pixel(30, 312), s.pixel(30, 313)), std::pair(kWhite, grey));
    const QImage before = s.image();
    drawBottomLabels(s, chart::Face::Normal, 0, 1, 0, 600, kBlack);  // no divisions: nothing
    EXPECT_EQ(s.image(), before);
    // A label on a white box.
    drawLabel(s, QStringLiteral("CSV= 1.2kV"), 40, 40);
    EXPECT_TRUE(labelAt(s, QStringLiteral("CSV= 1.2kV"), 40, 40, kBlack));
    // The box reaches x + 8 * 10 and y + 10.
    EXPECT_EQ(std::tuple(s.pixel(120, 50), s.pixel(121, 50), s.pixel(120, 51), s.pixel(39, 40)),
              std::tuple(kWhite, grey, grey, grey));
}

// Set Q / Adjust on the unadjusted charge scale, held on the picture; no line without a
// logarithm (-1: nothing drawn).
TEST_F(Primitives, SetQLineFollowsTheRangeAndNeedsALogarithm) {
    for (const auto& [adjust, setQ, y] : {std::tuple{0.04, 40.0, 104},
                                          {1.0, 1e-30, 320},
                                          {0.0, 0.0, -1},
                                          {-1.0, -1.0, -1},
                                          {1.0, 0.0, -1},
                                          {0.0, 5.0, -1}}) {
        ImageSurface chart(625, 321);
        constants.adjust = adjust;
        constants.setQ = setQ;
        drawSetQLine(chart, constants, colours, 70, 510);
        EXPECT_EQ(paintedPixels(chart, 0, 0, 624, 320), y < 0 ? 0 : 511) << adjust << " " << setQ;
        EXPECT_TRUE(y < 0 ||
                    (chart.pixel(70, y) == lightGreen && chart.pixel(580, y) == lightGreen))
            << adjust << " " << setQ;
    }
}

}  // namespace
}  // namespace kr5
