// The readings the plotter draws on the trend, V-Q and Q-N pictures, read pixel by pixel. The
// empty charts' pieces are in primitives_test.cpp, the windows in windows_test.cpp.
#include "charts/chartplotter.h"
#include "charts/chartprobe.h"
#include "measure/inception.h"
#include "platform/virtualclock.h"

#include <gtest/gtest.h>

#include <iterator>

namespace kr5 {
namespace {

using namespace test;
using Segment = std::tuple<double, double, double, double, Colour>;

constexpr Colour red = lightRed;  // the colour of ranges 0 and 9

struct FakeVqView : VqView {
    void setResultText(const QString& text) override { resultText = text; }
    void setResultTextShown(bool shown) override { resultTextShown = shown; }
    void setCaption(const QString& text) override { caption = text; }
    void setResultDoubt(const QString& text) override { doubt = text; }
    QString resultText = QStringLiteral("<untouched>");
    QString doubt;
    bool resultTextShown = false;
    QString caption;
};

Segment segmentOf(const RecordingSurface::Line& l) {
    return {l.x1, l.y1, l.x2, l.y2, l.colour};
}

struct Plotter : ::testing::Test {
    // The charts start cleared, with no line recorded yet.
    Plotter() {
        fillColourTable(colours);
        plotter.clearTrend();
        plotter.clearVq();
        clearLines();
    }
    void clearLines() {
        trend.lines.clear();
        vq.lines.clear();
    }
    Reading cycle(int att, double rawPeak, double pulseRate, double es) const {
        return cycleReading(att, rawPeak, pulseRate, es, constants.adjust, constants.ptRatio);
    }
    // The trend line drawn i-th since the record was last cleared.
    Segment segment(size_t i) const { return segmentOf(trend.lines.at(i)); }
    Segment vqSegment() const {
        EXPECT_EQ(vq.lines.size(), 1u);
        return vq.lines.empty() ? Segment() : segmentOf(vq.lines.back());
    }

    InputConstants constants;
    OperatingSettings settings;
    ColourTable colours;
    RecordingSurface trend{625, 321};
    RecordingSurface vq{385, 345};
    FakeVqView view;
    ChartPlotter plotter{constants, settings, colours, trend, vq, view};
};

// Each curve starts on the bottom line and goes on from its last point; after 510
// readings the chart is redrawn empty and the next reading takes its first column.
TEST_F(Plotter, TrendCurvesStartOnTheBottomLineAndSweep510Columns) {
    plotter.plotReading(cycle(1, 5, 0, 0), false);  // charge 10 at range 1, no pulses, 0 V
    EXPECT_EQ(segment(0), Segment(70, 296, 71, 200, lightBlue));
    // The voltage, drawn last, stays on the bottom line; the rate is raised to 0.1.
    EXPECT_EQ(segment(1), Segment(70, 296, 71, 296, kBlack));
    EXPECT_EQ(std::tuple(trend.pixel(70, 280), trend.pixel(71, 200), trend.pixel(71, 296)),
              std::tuple(lightBlue, lightBlue, lightRed));
    plotter.plotReading(cycle(1, 5, 0, 100), false);
    EXPECT_EQ(segment(3), Segment(71, 200, 72, 200, lightBlue));
    EXPECT_EQ(segment(5), Segment(71, 296, 72, 176, lightRed)) << "the voltage value 100";

    for (int i = 2; i < 509; ++i) {
        plotter.plotReading(cycle(0, 1, 1, 0), false);
    }
    trend.lines.clear();
    plotter.plotReading(cycle(0, 10, 1, 0), false);
    EXPECT_EQ(segment(0), Segment(579, 248, 580, 200, lightBlue));
    EXPECT_EQ(trend.pixel(580, 200), grey) << "x 580 is the border again";
    for (int x = 71; x < 580; ++x) {
        ASSERT_EQ(countInColumn(trend, x, 30, 295, lightBlue), 0) << x;
    }
    trend.lines.clear();
    plotter.plotReading(cycle(0, 10, 1, 0), false);
    EXPECT_EQ(segment(0), Segment(70, 200, 71, 200, lightBlue));
}

// The rate point is the reading's own pulse rate, at the rate range the detector reported
// with it, in the colour of the reading's attenuator range.
TEST_F(Plotter, EachRatePointAtItsOwnRateRangeInItsRangeColour) {
    // The attenuator and rate ranges, and the row and colour of 10 x the range's multiplier.
    const std::tuple<int, int, double, Colour> cases[] = {
        {5, 0, 200, 0x00C0C0}, {6, 3, 118, 0x0000C0}, {7, 1, 166, 0xE0C080},
        {8, 2, 152, 0xFFC000}, {1, 0, 200, kBlack},   {3, 3, 118, lightBlue},
    };
    double previousY = 296;
    for (size_t k = 0; k < std::size(cases); ++k) {
        const auto& [att, rateRange, y, colour] = cases[k];
        SCOPED_TRACE(k);
        // No charge, a raw rate of 10 at the reading's rate range, Es 50 V.
        Reading r = cycle(att, 0, rateMultiplier(rateRange) * 10.0, 50);
        r.rateRange = rateRange;
        r.rawRate = 10;
        plotter.plotReading(r, false);
        const double x = 70.0 + static_cast<double>(k);
        EXPECT_EQ(segment(3 * k + 1), Segment(x, previousY, x + 1, y, colour));
        EXPECT_EQ(trend.pixel(static_cast<int>(x) + 1, static_cast<int>(y)), colour);
        previousY = y;
    }
}

// The rate scale keeps the colour of the range the panel follows when the chart is cleared.
TEST_F(Plotter, RateScaleColourFollowsTheShownRange) {
    EXPECT_TRUE(labelAt(trend, QStringLiteral(" .1"), 35, 291, red));  // range 0
    plotter.recolourRateScale(3);
    EXPECT_TRUE(labelAt(trend, QStringLiteral(" 10k"), 32, 51, lightBlue));
    EXPECT_EQ(trend.pixel(33, 100), kWhite);  // the strip at 32 covers the "pC" strip's edge
    plotter.clearTrend();
    EXPECT_TRUE(labelAt(trend, QStringLiteral(" .1"), 35, 291, lightBlue));
}

// With Adjust 2.5 the charge scales read 2.5 times the values of Adjust 1 and the Set Q
// line lies at Set Q / Adjust; a charge plots where its label stands. TV Multi 2 halves
// the voltage scales and doubles the voltage value.
TEST_F(Plotter, ScalesAndSetQLineFollowAdjustAndTvMulti) {
    constants.adjust = 2.5;
    constants.setQ = 25;  // range 3 at Adjust 2.5: the line of 10 on the unadjusted scale
    settings.tvMultiplier = 2;
    plotter.clearTrend();
    plotter.clearVq();
    const QString charges = QStringLiteral(" .25| 2.5| 25| 250| 2.5k| 25k");
    EXPECT_TRUE(labelsAt(trend, charges, 0, 0, 291, -48, lightBlue));
    EXPECT_TRUE(labelsAt(vq, charges, 0, 0, 291, -48, lightBlue));
    const QString volts = QStringLiteral(" 0| 2k| 4k| 6k| 8k| 10k");
    EXPECT_TRUE(labelsAt(trend, volts, 585, 0, 291, -48, lightRed));
    EXPECT_TRUE(labelsAt(vq, volts, 22, 66, 296, 0, lightRed));
    for (const auto& [surface, x0, x1] : {std::tuple{&trend, 71, 579}, std::tuple{&vq, 31, 359}}) {
        EXPECT_EQ(std::tuple(surface->pixel(x0, 200), surface->pixel(x1, 200),
                             surface->pixel(x0, 248) == lightGreen),
                  std::tuple(lightGreen, lightGreen, false));
    }

    // 250 pC (raw 10 V at range 3) at Es 50 V: on the row of the label " 250" (top 147),
    // at the voltage value 100, that is 5 kV, half way along the V-Q chart.
    clearLines();
    plotter.plotReading(cycle(3, 10, 10, 50), false);
    EXPECT_EQ(segment(0), Segment(70, 296, 71, 152, lightBlue));
    EXPECT_EQ(segment(2), Segment(70, 296, 71, 176, lightRed));
    EXPECT_EQ(vqSegment(), Segment(30, 296, 195, 152, lightBlue));

    // The Q-N chart labels the ranges with their charges at this Adjust.
    plotter.setFace(chart::Face::Qn, QStringLiteral("label"));
    plotter.clearVq();
    EXPECT_TRUE(labelsAt(vq, QStringLiteral(" 2.5| 5| 12.5| 25| 50| 125| 250| 500| 1.25k| 2.5k"),
                         22, 33, 296, 0, lightBlue));
    EXPECT_TRUE(labelAt(vq, QStringLiteral("pC"), 360, 296, lightBlue));
}

// The next complete reading is drawn as if an incomplete one had not come.
// A Q-N step's count is drawn without the detector's and the AC unit's replies beside it,
// but not the voltage it lacks.
TEST_F(Plotter, OnlyCompleteReadingsAreDrawnAndAQnStepNeedsOnlyItsCount) {
    Reading noDetector = cycle(3, 10, 500, 80);
    noDetector.detector.reset();
    Reading noVoltage = cycle(3, 10, 500, 80);
    noVoltage.es.reset();
    Reading noCount = qnStepReading(3, 500, 80);
    noCount.countRate.reset();
    const QImage trendBefore = trend.image();
    const QImage vqBefore = vq.image();
    for (const Reading& r : {noDetector, noVoltage, noCount}) {
        ASSERT_FALSE(r.complete());
        plotter.plotReading(r, true);
        plotter.plotQnBar(0, r);
    }
    EXPECT_EQ(trend.image(), trendBefore);
    EXPECT_EQ(vq.image(), vqBefore);
    plotter.plotReading(cycle(0, 10, 1, 0), false);
    EXPECT_EQ(segment(0), Segment(70, 296, 71, 200, lightBlue));
    EXPECT_EQ(vqSegment(), Segment(30, 296, 30, 200, kBlack));
    Reading countOnly = qnStepReading(0, 500, 80);
    countOnly.detector.reset();
    countOnly.es.reset();
    trend.lines.clear();
    plotter.plotReading(countOnly, false);
    EXPECT_EQ(trend.lines.size(), 1u) << "the count's line, none for the voltage";
    plotter.plotQnBar(0, countOnly);
    EXPECT_EQ(vq.lines.size(), 2u) << "the bar beside the segment";
}

// The segment's colour: rising light blue, or black once an inception stands; falling
// light red, or light magenta while an inception stands; an unchanged voltage black. A
// reading on the same pixel draws no segment.
TEST_F(Plotter, VqSegmentColourFollowsDirectionAndInceptionStanding) {
    // Es, the inception standing, and where the segment from (195, 248) ends on the row 200.
    const std::tuple<double, bool, int, Colour> cases[] = {
        {101, false, 197, lightBlue},  {101, true, 197, kBlack},  {99, false, 193, lightRed},
        {99, true, 193, lightMagenta}, {100, false, 195, kBlack}, {100, true, 195, kBlack},
    };
    for (const auto& [es, standing, x, colour] : cases) {
        SCOPED_TRACE(testing::Message() << es << (standing ? " standing" : ""));
        RecordingSurface vqPicture(385, 345);
        ChartPlotter fresh(constants, settings, colours, trend, vqPicture, view);
        fresh.plotReading(cycle(0, 1, 1, 100), !standing);
        vqPicture.lines.clear();
        fresh.plotReading(cycle(0, 10, 1, es), standing);
        ASSERT_EQ(vqPicture.lines.size(), 1u);
        EXPECT_EQ(segmentOf(vqPicture.lines[0]), Segment(195, 248, x, 200, colour));
        const QImage before = vqPicture.image();
        fresh.plotReading(cycle(0, 10.01, 1, es + 0.01), true);
        EXPECT_EQ(std::pair(vqPicture.lines.size(), vqPicture.image()),
                  std::pair(size_t{1}, before));
    }
}

// A recorded test drawn again starts its V-Q curve where the live one starts: on the
// bottom line, not below the chart.
TEST_F(Plotter, AReplayedVqCurveStartsOnTheBottomLineAsTheLiveOne) {
    plotter.plotVqOnly(cycle(0, 10, 1, 100), false);
    const Segment replayed = vqSegment();
    RecordingSurface live(385, 345);
    ChartPlotter fresh(constants, settings, colours, trend, live, view);
    fresh.plotReading(cycle(0, 10, 1, 100), false);
    EXPECT_EQ(segmentOf(live.lines.back()), replayed);
    EXPECT_EQ(std::get<1>(replayed), 296.0);
}

// Pass k of range r stands at x = 31 + 33 r + k, from the bottom line up to its count.
TEST_F(Plotter, QnBarsStandInTheColumnOfTheirPass) {
    plotter.setFace(chart::Face::Qn, QStringLiteral(" 12.5kV dry"));
    plotter.clearVq();
    // The pass, the range and its count; where the bar stands, its top and colour.
    const std::tuple<int, int, qint32, int, int, Colour> cases[] = {
        {0, 3, 10, 130, 200, lightBlue}, {1, 3, 100, 131, 152, lightBlue},
        {5, 0, 1, 36, 248, red},         {30, 9, 1000, 358, 104, red},
        {2, 1, 10, 66, 200, kBlack},     {0, 4, 0, 163, 296, lightGreen},
    };
    for (const auto& [pass, range, count, x, top, colour] : cases) {
        SCOPED_TRACE(testing::Message() << "pass " << pass << " range " << range);
        vq.lines.clear();
        plotter.plotQnBar(pass, qnStepReading(range, count));
        EXPECT_EQ(vqSegment(), Segment(x, 296, x, top, colour));
        EXPECT_EQ(countInColumn(vq, x, top, 296, colour), 296 - top + 1);
        EXPECT_NE(vq.pixel(x, top - 1), colour);
    }
    EXPECT_EQ(view.caption, QStringLiteral("V-Q")) << "the pass caption is not the plotter's";
}

// clearVq redraws the face in force: on the Q-N face with the label it was given, whose
// bars it clears; back on the normal face, the V-Q chart with its result box.
TEST_F(Plotter, ClearVqRedrawsTheFaceInForceWithItsLabel) {
    plotter.setFace(chart::Face::Qn, QStringLiteral(" 12.5kV dry"));
    plotter.clearVq();
    plotter.plotQnBar(0, qnStepReading(3, 10));
    ASSERT_EQ(countInColumn(vq, 130, 200, 295, lightBlue), 96);
    plotter.clearVq();
    EXPECT_EQ(countInColumn(vq, 130, 200, 295, lightBlue), 0);
    EXPECT_TRUE(labelAt(vq, QStringLiteral("Q-N"), 180, 20, kBlack));
    EXPECT_TRUE(labelAt(vq, QStringLiteral(" TV        Condition"), 220, 22, kBlack));
    EXPECT_TRUE(labelAt(vq, QStringLiteral(" 12.5kV dry"), 220, 34, kBlack));
    EXPECT_TRUE(labelAt(vq, QStringLiteral(" .1"), 0, 291, kBlack));  // the PPS strip
    EXPECT_EQ(plotter.face(), chart::Face::Qn);

    // Back on the normal face: the V-Q chart as a plotter that never left it draws it.
    plotter.setFace(chart::Face::Normal);
    plotter.clearVq();
    ImageSurface normalVq(385, 345);
    FakeVqView otherView;
    ChartPlotter(constants, settings, colours, trend, normalVq, otherView).clearVq();
    EXPECT_TRUE(labelAt(normalVq, QStringLiteral("V-Q"), 180, 20, kBlack));
    EXPECT_EQ(vq.image(), normalVq.image());
}

TEST_F(Plotter, QnFaceDrawsOneCurvePerRange) {
    plotter.setFace(chart::Face::Qn, QStringLiteral("label"));
    plotter.clearTrend();
    plotter.clearVq();
    EXPECT_TRUE(labelAt(trend, QStringLiteral("T-N(Q)V"), 270, 20, kBlack));
    clearLines();
    plotter.plotReading(qnStepReading(0, 10, 50), false);  // range 0 at x 35: count 10, voltage 50
    EXPECT_EQ(trend.pixel(35, 210), red);
    plotter.plotReading(qnStepReading(1, 100, 50), false);  // range 1 at x 36
    ASSERT_EQ(trend.lines.size(), 3u);
    EXPECT_EQ(segment(0), Segment(35, 296, 35, 200, red));
    EXPECT_EQ(segment(1), Segment(35, 296, 35, 236, lightRed));
    EXPECT_EQ(segment(2), Segment(35, 296, 36, 152, kBlack));
    for (int att = 2; att <= 9; ++att) {
        plotter.plotReading(qnStepReading(att, 1, 50), false);
    }
    trend.lines.clear();
    plotter.plotReading(qnStepReading(0, 1, 80), false);  // the next pass: from range 0's own point
    EXPECT_EQ(segment(0), Segment(35, 200, 45, 248, red));
    EXPECT_EQ(segment(1), Segment(35, 236, 45, 200, lightRed));
    for (int att = 1; att <= 9; ++att) {
        plotter.plotReading(qnStepReading(att, 1, 80), false);
    }
    trend.lines.clear();
    plotter.plotReading(qnStepReading(0, 10, 80), false);
    EXPECT_EQ(segment(0), Segment(45, 248, 55, 200, red));
    EXPECT_TRUE(vq.lines.empty()) << "the bars are drawn by plotQnBar alone";
}

// The inception and extinction as the measurement finds them: their labels and the result
// table, and the segments in the inception state of each reading. Erase, which empties the
// chart and the result box, is in windows_test.
TEST_F(Plotter, InceptionAndExtinctionOnTheVqChart) {
    constants.setQ = 100;
    constants.name = QStringLiteral("test1");
    constants.number = QStringLiteral("7");
    VirtualClock clock{QDateTime(QDate(2001, 4, 17), QTime(14, 5, 9))};
    InceptionDetector detector(constants, clock);
    for (const auto& [rawPeak, es] :
         {std::pair{10.0, 10.0}, {120.0, 12.0}, {150.0, 11.0}, {50.0, 9.8}}) {
        const Reading r = cycle(0, rawPeak, 60, es);
        if (const auto found = detector.judge(r)) {
            plotter.showInception(*found);
        }
        plotter.plotReading(r, detector.inceptionStanding());
    }
    EXPECT_TRUE(labelAt(vq, QStringLiteral("CSV= 1.2kV"), 40, 40, kBlack));
    EXPECT_TRUE(labelAt(vq, QStringLiteral("CEV= 980V"), 40, 60, kBlack));
    EXPECT_EQ(view.resultText, QStringLiteral("name\tno.\tCSV\tCEV\tdate time\r\n"
                                              "test1\t7\t1200\t980\t04-17-2001 14:05:09"));
    EXPECT_EQ(vq.pixel(49, 150), kBlack);        // rising after the inception
    EXPECT_EQ(vq.pixel(49, 146), lightMagenta);  // falling while it stands
    EXPECT_EQ(vq.pixel(46, 166), lightRed);      // falling after the extinction
    // A new inception takes the old extinction's value away.
    for (const auto& [rawPeak, es] : {std::pair{10.0, 9.0}, {10.0, 10.0}, {120.0, 13.0}}) {
        if (const auto found = detector.judge(cycle(0, rawPeak, 60, es))) {
            plotter.showInception(*found);
        }
    }
    EXPECT_TRUE(labelAt(vq, QStringLiteral("CSV= 1.3kV"), 40, 40, kBlack));
    EXPECT_TRUE(labelAt(vq, QStringLiteral("CEV="), 40, 60, kBlack));
    EXPECT_EQ(paintedPixels(vq, 40 + 4 * 8, 60, 40 + 11 * 8 - 1, 69), 0);
}

}  // namespace
}  // namespace kr5
