// The colour table and the pieces of the empty charts, read from the drawn pictures: label
// texts and places, grid lines, the Set Q line, label boxes and the colour legend.
#include "charts/primitives.h"
#include "charts/chartprobe.h"
#include "charts/chartscale.h"
#include "charts/colours.h"
#include "charts/legend.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kr5 {
namespace {

using test::countInColumn;
using test::labelAt;
using test::paintedPixels;

constexpr Colour grey = 0x808080;
constexpr Colour lightBlue = 0xFF0000;
constexpr Colour lightGreen = 0x00FF00;
constexpr Colour lightRed = 0x0000FF;

ColourTable filledTable() {
    ColourTable t;
    coldef(t);
    return t;
}

TEST(Colours, PaletteAndRangeColours) {
    const ColourTable t = filledTable();
    const std::array<Colour, 17> palette = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
        0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF, 0x000000};
    EXPECT_EQ(t.qbcol, palette);
    const std::array<Colour, 11> ranges = {0x0000FF, 0x000000, 0xFF00FF, 0xFF0000,
                                           0x00FF00, 0x00C0C0, 0x0000C0, 0xE0C080,
                                           0xFFC000, 0x0000FF, 0x000000};
    EXPECT_EQ(t.attcol, ranges);
    // A range index out of the table never reads past it.
    EXPECT_EQ(t.rangeColour(-3), t.attcol[0]);
    EXPECT_EQ(t.rangeColour(99), t.attcol[10]);
}

TEST(ChartScale, LogarithmicMappingAndRounding) {
    const Globals g;
    EXPECT_EQ(chart::pixelIn(chart::logY(1.0, g.log10k), 321), 248);
    EXPECT_EQ(chart::pixelIn(chart::logY(0.1, g.log10k), 321), 296);
    EXPECT_EQ(chart::pixelIn(chart::logY(10.0, g.log10k), 321), 200);
    EXPECT_EQ(chart::pixelIn(chart::logY(1000.0, g.log10k), 321), 104);
    // Halves go to the even neighbour: 196.5 gives 196, 197.5 gives 198.
    EXPECT_EQ(chart::pixelIn(196.5, 400), 196);
    EXPECT_EQ(chart::pixelIn(197.5, 400), 198);
    EXPECT_EQ(chart::pixelIn(chart::vqVoltX(101.0), 385), 197);  // 196.65
    // Far off the picture, or not a number: held at an edge.
    EXPECT_EQ(chart::pixelIn(chart::logY(1e300, g.log10k), 321), 0);
    EXPECT_EQ(chart::pixelIn(1e300, 321), 320);
    EXPECT_EQ(chart::pixelIn(-INFINITY, 321), 0);
    EXPECT_EQ(chart::pixelIn(NAN, 321), 0);
    EXPECT_EQ(chart::raised(0.0), 0.1);
    EXPECT_EQ(chart::raised(-5.0), 0.1);
    EXPECT_EQ(chart::raised(NAN), 0.1);
    EXPECT_EQ(chart::raised(0.25), 0.25);
}

class Primitives : public ::testing::Test {
  protected:
    Globals g;
    ColourTable colours = filledTable();
    ImageSurface s{625, 321};
};

TEST_F(Primitives, LogarithmicStripFromPointOne) {
    s.fillBox(0, 0, 624, 320, grey);
    vaxis(s, QStringLiteral("PPS"), 0.1, lightRed, 35, false);
    const char* labels[] = {" .1", " 1", " 10", " 100", " 1k", " 10k"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(labelAt(s, QString::fromLatin1(labels[i]), 35, 291 - 48 * i, lightRed));
    }
    EXPECT_TRUE(labelAt(s, QStringLiteral("PPS"), 43, 2, lightRed));
    for (int x = 43; x <= 63; ++x) {
        ASSERT_EQ(s.pixel(x, 16), lightRed) << x;
    }
    // The strip is white from x to x + 34, the rest untouched.
    EXPECT_EQ(s.pixel(69, 0), kWhite);
    EXPECT_EQ(s.pixel(35, 320), kWhite);
    EXPECT_EQ(s.pixel(34, 0), grey);
    EXPECT_EQ(s.pixel(70, 0), grey);
}

TEST_F(Primitives, LinearStripAndBlankStrips) {
    vaxis(s, QStringLiteral("TV"), 20000, lightRed, 585, true);
    const char* labels[] = {" 0", " 4k", " 8k", " 12k", " 16k", " 20k"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(labelAt(s, QString::fromLatin1(labels[i]), 585, 291 - 48 * i, lightRed));
    }
    // A top of 0, below 0 or not a number leaves a blank strip, and nothing fails.
    for (double top : {0.0, -5.0, static_cast<double>(NAN)}) {
        vaxis(s, QStringLiteral("TV"), top, lightRed, 585, true);
        EXPECT_EQ(paintedPixels(s, 585, 0, 619, 320), 0) << top;
    }
}

TEST_F(Primitives, FrameGridAndTitle) {
    gframe(s, QStringLiteral("V-Q"), 10, 30, 330, grey);
    // Vertical grid lines at 63, 96, ... 360 (the last on the right border), from 7 to 296
    // (the title, drawn last, crosses the line at 195 in rows 20 to 31).
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(countInColumn(s, 30 + 33 * i, 32, 296, grey), 265) << i;
        EXPECT_EQ(countInColumn(s, 30 + 33 * i, 7, 19, grey), 13) << i;
        EXPECT_EQ(s.pixel(30 + 33 * i, 6), kWhite);
    }
    EXPECT_EQ(countInColumn(s, 30, 7, 296, grey), 290);
    // Elsewhere a column crosses only the 13 horizontal lines, 24 px apart.
    EXPECT_EQ(countInColumn(s, 64, 0, 320, grey), 13);
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(s.pixel(64, 296 - 24 * i), grey);
    }
    EXPECT_EQ(s.pixel(361, 296), kWhite);
    EXPECT_TRUE(labelAt(s, QStringLiteral("V-Q"), 180, 20, kBlack));  // 165 - 15 + 30
}

TEST_F(Primitives, TitleOfSevenCharactersAndNoDivisions) {
    s.fillBox(0, 0, 624, 320, grey);
    gframe(s, QStringLiteral("T-N(Q)V"), 0, 70, 510, grey);
    EXPECT_TRUE(labelAt(s, QStringLiteral("T-N(Q)V"), 290, 20, kBlack));
    EXPECT_EQ(countInColumn(s, 300, 0, 320, grey), 13);  // no vertical grid lines
    EXPECT_EQ(countInColumn(s, 580, 7, 296, grey), 290);
    EXPECT_EQ(s.pixel(604, 0), kWhite);  // also cleared 24 px right of the frame
    EXPECT_EQ(s.pixel(605, 0), grey);
}

TEST_F(Primitives, LabelsUnderTheQnChart) {
    g.qnmode = true;
    haxis(s, g, 10, 1.0, 30, 330, lightBlue);
    const char* labels[] = {" 1", " 2", " 5", " 10", " 20", " 50", " 100", " 200", " 500", " 1k"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(labelAt(s, QString::fromLatin1(labels[i]), 22 + 33 * i, 296, lightBlue));
    }
    EXPECT_TRUE(labelAt(s, QStringLiteral("pC"), 360, 296, lightBlue));
}

TEST_F(Primitives, LabelsUnderTheVqChart) {
    s.fillBox(0, 0, 624, 320, grey);
    haxis(s, g, 5, 20000, 30, 330, lightRed);
    const char* labels[] = {" 0", " 4k", " 8k", " 12k", " 16k", " 20k"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(labelAt(s, QString::fromLatin1(labels[i]), 22 + 66 * i, 296, lightRed));
    }
    EXPECT_TRUE(labelAt(s, QStringLiteral("TV"), 360, 306, lightRed));
    EXPECT_EQ(s.pixel(30, 312), kWhite);  // the strip from 297 to 312 is cleared
    EXPECT_EQ(s.pixel(30, 313), grey);
    // No divisions: nothing at all.
    ImageSurface blank(625, 321);
    haxis(blank, g, 0, 20000, 30, 330, lightRed);
    EXPECT_EQ(paintedPixels(blank, 0, 0, 624, 320), 0);
}

TEST_F(Primitives, SetQLineFollowsTheRange) {
    const std::pair<int, int> rangeToY[] = {{0, 248}, {3, 200}, {9, 104}};
    for (const auto& [range, y] : rangeToY) {
        for (double kadj : {1.0, 2.5}) {
            ImageSurface chart(625, 321);
            g.kadj = kadj;
            g.ksetq = g.atttbl[static_cast<size_t>(range)] * kadj;
            refline(chart, g, colours, 70, 510);
            EXPECT_EQ(chart.pixel(70, y), lightGreen) << range << " " << kadj;
            EXPECT_EQ(chart.pixel(580, y), lightGreen);
            EXPECT_EQ(paintedPixels(chart, 0, 0, 624, 320), 511);
        }
    }
}

TEST_F(Primitives, SetQLineWithoutALogarithm) {
    for (const auto& [kadj, ksetq] : {std::pair{0.0, 0.0}, {-1.0, -1.0}, {1.0, 0.0}}) {
        g.kadj = kadj;
        g.ksetq = ksetq;
        refline(s, g, colours, 70, 510);
        EXPECT_EQ(paintedPixels(s, 0, 0, 624, 320), 0);
    }
    g.kadj = 1.0;
    g.ksetq = 1e-30;  // 30 decades down: held on the picture's lowest row
    refline(s, g, colours, 70, 510);
    EXPECT_EQ(s.pixel(100, 320), lightGreen);
}

TEST_F(Primitives, LabelOnAWhiteBox) {
    s.fillBox(0, 0, 624, 320, grey);
    vqlabel(s, QStringLiteral("CSV= 1.2kV"), 40, 40);
    EXPECT_TRUE(labelAt(s, QStringLiteral("CSV= 1.2kV"), 40, 40, kBlack));
    EXPECT_EQ(s.pixel(120, 50), kWhite);  // box to x + 8 * 10 and y + 10
    EXPECT_EQ(s.pixel(121, 50), grey);
    EXPECT_EQ(s.pixel(120, 51), grey);
    EXPECT_EQ(s.pixel(39, 40), grey);
}

void expectLegend(double kadj, const std::vector<const char*>& charges) {
    Globals g;
    g.kadj = kadj;
    const ColourTable colours = filledTable();
    ImageSurface legend(153, 209);
    drawLegend(legend, g, colours);
    EXPECT_TRUE(labelAt(legend, QStringLiteral("pC       Color"), 10, 10, kBlack));
    for (int i = 0; i < 10; ++i) {
        const int bar = 40 + 16 * i;
        EXPECT_TRUE(labelAt(legend, QString::fromLatin1(charges[static_cast<size_t>(i)]), 10,
                            35 + 16 * i, kBlack));
        const Colour c = colours.attcol[static_cast<size_t>(i)];
        for (int x = 60; x <= 140; ++x) {
            ASSERT_EQ(legend.pixel(x, bar), c) << i;
            ASSERT_EQ(legend.pixel(x, bar + 1), c) << i;
        }
        EXPECT_EQ(legend.pixel(141, bar), kWhite);
        EXPECT_EQ(legend.pixel(100, bar + 2), kWhite);
    }
}

TEST(Legend, ChargesForAdjustOne) {
    expectLegend(1.0, {" 1", " 2", " 5", " 10", " 20", " 50", " 100", " 200", " 500", " 1k"});
}

TEST(Legend, ChargesForAdjustTwoAndAHalf) {
    expectLegend(2.5,
                 {" 2.5", " 5", " 12.5", " 25", " 50", " 125", " 250", " 500", " 1.25k", " 2.5k"});
}

}  // namespace
}  // namespace kr5
