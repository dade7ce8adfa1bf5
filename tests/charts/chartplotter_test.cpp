// The plotter on the trend and V-Q pictures: which readings it draws, where each curve
// starts and ends, the colours by range, direction and inception, the scales at the
// constants' Adjust and TV Multi, the sweep of 510 readings, the Q-N face with its bars and
// label, the result box and the V-Q window's reload after it was discarded. The empty
// charts' pieces are tested in primitives_test.cpp, the windows in windows_test.cpp.
#include "charts/chartplotter.h"
#include "charts/chartprobe.h"
#include "measure/evaluation.h"
#include "measure/inception.h"
#include "platform/virtualclock.h"

#include <gtest/gtest.h>

#include <iterator>
#include <limits>

namespace kr5 {
namespace {

using namespace test;
using Segment = std::tuple<double, double, double, double, Colour>;

constexpr Colour grey = 0x808080;
constexpr Colour lightBlue = 0xFF0000;
constexpr Colour lightGreen = 0x00FF00;
constexpr Colour lightRed = 0x0000FF;
constexpr Colour lightMagenta = 0xFF00FF;
constexpr Colour red = 0x0000FF;  // the colour of ranges 0 and 9

class FakeVqView : public VqView {
  public:
    void setResultText(const QString& text) override { resultText = text; }
    void setResultTextShown(bool shown) override { resultTextShown = shown; }
    void setCaption(const QString& text) override { caption = text; }

    QString resultText = QStringLiteral("<untouched>");
    bool resultTextShown = false;
    QString caption;
};

// The detector's whole reply to "x" and the AC unit's to "t" (code 2: Es = digits / 10).
Reply detectorReply(int peakCode, int rateCode, int att, int rateRange) {
    return {Reply::Status::Whole,
            QString::asprintf("A0x%02X%02X%d%d\r\n", peakCode, rateCode, att, rateRange)};
}
Reply acReply(int digits) {
    return {Reply::Status::Whole, QString::asprintf("A1t2%03d\r\n", digits)};
}

Segment segmentOf(const RecordingSurface::Line& l) {
    return {l.x1, l.y1, l.x2, l.y2, l.colour};
}

class Plotter : public ::testing::Test {
  protected:
    Plotter() { fillColourTable(colours); }

    // A complete reading of a normal cycle: raw peak at an attenuator range, pulse rate, Es.
    Reading cycle(int att, double rawPeak, double pulseRate, double es) const {
        Reading r;
        r.detector = DetectorFields{};
        r.attRange = att;
        r.rawPeak = rawPeak;
        r.charge = attenuatorDivision(att) * rawPeak * constants.adjust;
        r.pulseRate = pulseRate;
        r.es = es;
        r.testVoltage = es * constants.ptRatio;
        return r;
    }
    // A complete step of a Q-N pass at an attenuator range with its count rate.
    Reading qnStep(int att, qint32 countRate, double es = 0) const {
        Reading r = cycle(att, 0, countRate, es);
        r.kind = Reading::Kind::QnStep;
        r.countRate = countRate;
        return r;
    }

    // The trend line drawn i-th since the record was last cleared.
    Segment segment(size_t i) const { return segmentOf(trend.lines.at(i)); }

    InputConstants constants;
    OperatingSettings settings;
    ColourTable colours;
    RecordingSurface trend{625, 321};
    RecordingSurface vq{385, 345};
    FakeVqView view;
    ChartPlotter plotter{constants, settings, colours, trend, vq, view};
};

TEST_F(Plotter, FirstReadingStartsOnTheBottomLine) {
    plotter.clearTrend();
    trend.lines.clear();
    plotter.plotReading(cycle(1, 5, 0, 0), false);  // charge 10 at range 1, no pulses, 0 V
    EXPECT_EQ(segment(0), Segment(70, 296, 71, 200, lightBlue));
    // The voltage, drawn last, stays on the bottom line; the rate is raised to 0.1.
    EXPECT_EQ(segment(1), Segment(70, 296, 71, 296, kBlack));
    EXPECT_EQ(std::tuple(trend.pixel(70, 280), trend.pixel(71, 200), trend.pixel(71, 296)),
              std::tuple(lightBlue, lightBlue, lightRed));
    plotter.plotReading(cycle(1, 5, 0, 100), false);
    EXPECT_EQ(segment(3), Segment(71, 200, 72, 200, lightBlue)) << "on from the last point";
    EXPECT_EQ(segment(5), Segment(71, 296, 72, 176, lightRed)) << "the voltage value 100";
}

// The rate point is the reading's own pulse rate, at the rate range the detector reported
// with it, in the colour of the reading's attenuator range.
TEST_F(Plotter, EachRatePointAtItsOwnRateRangeInItsRangeColour) {
    struct Case {
        int att;
        int rateRange;
        double y;  // of 10 x the range's multiplier
        Colour colour;
    };
    const Case cases[] = {
        {5, 0, 200, 0x00C0C0}, {6, 3, 118, 0x0000C0}, {7, 1, 166, 0xE0C080},
        {8, 2, 152, 0xFFC000}, {1, 0, 200, kBlack},   {3, 3, 118, lightBlue},
    };
    UnitsOnLine units;
    units.unit(UnitKind::AcUnit).address = 1;
    ReadingEvaluator evaluator(constants, units);
    plotter.clearTrend();
    trend.lines.clear();
    double previousY = 296;
    for (size_t k = 0; k < std::size(cases); ++k) {
        const Case& c = cases[k];
        SCOPED_TRACE(k);
        // No charge (raised to 0.1, on the bottom line), a raw rate of 10, Es 50 V.
        const Reading r =
            evaluator.cycle({0, detectorReply(0, 0x11, c.att, c.rateRange), acReply(500), {}});
        plotter.plotReading(r, false);
        const double x = 70.0 + static_cast<double>(k);
        EXPECT_EQ(segment(3 * k + 1), Segment(x, previousY, x + 1, c.y, c.colour));
        EXPECT_EQ(trend.pixel(static_cast<int>(x) + 1, static_cast<int>(c.y)), c.colour);
        previousY = c.y;
    }
}

TEST_F(Plotter, SweepOf510ReadingsThenAnEmptyChart) {
    plotter.clearTrend();
    for (int i = 0; i < 509; ++i) {
        plotter.plotReading(cycle(0, 1, 1, 0), false);
    }
    trend.lines.clear();
    plotter.plotReading(cycle(0, 10, 1, 0), false);
    EXPECT_EQ(segment(0), Segment(579, 248, 580, 200, lightBlue));
    // Redrawn at once: no curve left in the frame, x 580 is the border again.
    EXPECT_EQ(trend.pixel(580, 200), grey);
    for (int x = 71; x < 580; ++x) {
        ASSERT_EQ(countInColumn(trend, x, 30, 295, lightBlue), 0) << x;
    }
    // The next reading is the first column of the new sweep.
    trend.lines.clear();
    plotter.plotReading(cycle(0, 10, 1, 0), false);
    EXPECT_EQ(segment(0), Segment(70, 200, 71, 200, lightBlue));
}

TEST_F(Plotter, RateScaleColourFollowsTheShownRange) {
    plotter.clearTrend();
    EXPECT_TRUE(labelAt(trend, QStringLiteral(" .1"), 35, 291, red));  // range 0
    plotter.recolourRateScale(3);
    EXPECT_TRUE(labelAt(trend, QStringLiteral(" 10k"), 32, 51, lightBlue));
    EXPECT_EQ(trend.pixel(33, 100), kWhite);  // the strip at 32 covers the "pC" strip's edge
    plotter.clearTrend();
    EXPECT_TRUE(labelAt(trend, QStringLiteral(" .1"), 35, 291, lightBlue));
    EXPECT_TRUE(labelAt(trend, QStringLiteral(" 20k"), 585, 51, lightRed));  // 100 x 200
    EXPECT_EQ(trend.pixel(70, 248), lightGreen);                             // Set Q of range 0
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
        EXPECT_EQ(std::pair(surface->pixel(x0, 200), surface->pixel(x1, 200)),
                  std::pair(lightGreen, lightGreen));
        EXPECT_NE(surface->pixel(x0, 248), lightGreen);
    }

    // 250 pC (raw 10 V at range 3) at Es 50 V: on the row of the label " 250" (top 147),
    // at the voltage value 100, that is 5 kV, half way along the V-Q chart.
    UnitsOnLine units;
    units.unit(UnitKind::AcUnit).address = 1;
    ReadingEvaluator evaluator(constants, units);
    const Reading r = evaluator.cycle({0, detectorReply(170, 0x11, 3, 0), acReply(500), {}});
    ASSERT_DOUBLE_EQ(r.charge, 250.0);
    trend.lines.clear();
    vq.lines.clear();
    plotter.plotReading(r, false);
    EXPECT_EQ(segment(0), Segment(70, 296, 71, 152, lightBlue));
    EXPECT_EQ(segment(2), Segment(70, 296, 71, 176, lightRed));
    ASSERT_EQ(vq.lines.size(), 1u);
    EXPECT_EQ(segmentOf(vq.lines[0]), Segment(30, 296, 195, 152, lightBlue));

    // The Q-N chart labels the ranges with their charges at this Adjust.
    plotter.setFace(chart::Face::Qn, QStringLiteral("label"));
    plotter.clearVq();
    EXPECT_TRUE(labelsAt(vq, QStringLiteral(" 2.5| 5| 12.5| 25| 50| 125| 250| 500| 1.25k| 2.5k"),
                         22, 33, 296, 0, lightBlue));
}

// A reading with a unit's reply missing draws nothing and moves nothing: the next complete
// reading is drawn as if it had not come.
TEST_F(Plotter, OnlyCompleteReadingsAreDrawn) {
    plotter.clearTrend();
    plotter.clearVq();
    Reading noDetector = cycle(3, 10, 500, 80);
    noDetector.detector.reset();
    Reading noVoltage = cycle(3, 10, 500, 80);
    noVoltage.es.reset();
    Reading noCount = qnStep(3, 500, 80);
    noCount.countRate.reset();
    trend.lines.clear();
    vq.lines.clear();
    const QImage trendBefore = trend.image();
    const QImage vqBefore = vq.image();
    for (const Reading& r : {noDetector, noVoltage, noCount}) {
        ASSERT_FALSE(r.complete());
        plotter.plotReading(r, true);
        plotter.plotQnBar(0, r);
    }
    EXPECT_TRUE(trend.lines.empty());
    EXPECT_TRUE(vq.lines.empty());
    EXPECT_EQ(trend.image(), trendBefore);
    EXPECT_EQ(vq.image(), vqBefore);

    plotter.plotReading(cycle(0, 10, 1, 0), false);
    EXPECT_EQ(segment(0), Segment(70, 296, 71, 200, lightBlue));
    ASSERT_EQ(vq.lines.size(), 1u);
    EXPECT_EQ(segmentOf(vq.lines[0]), Segment(30, 296, 30, 200, kBlack));
}

// The segment's colour: rising light blue, or black once an inception stands; falling
// light red, or light magenta while an inception stands; an unchanged voltage black. It
// follows the state handed with each reading.
TEST_F(Plotter, VqSegmentColourFollowsDirectionAndInceptionStanding) {
    struct Case {
        double es;
        bool standing;
        int x;  // where the segment from (195, 248) ends on the row 200
        Colour colour;
    };
    const Case cases[] = {
        {101, false, 197, lightBlue},  {101, true, 197, kBlack},  {99, false, 193, lightRed},
        {99, true, 193, lightMagenta}, {100, false, 195, kBlack}, {100, true, 195, kBlack},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.es << (c.standing ? " standing" : ""));
        RecordingSurface trendPicture(625, 321);
        RecordingSurface vqPicture(385, 345);
        ChartPlotter fresh(constants, settings, colours, trendPicture, vqPicture, view);
        fresh.plotReading(cycle(0, 1, 1, 100), !c.standing);
        vqPicture.lines.clear();
        fresh.plotReading(cycle(0, 10, 1, c.es), c.standing);
        ASSERT_EQ(vqPicture.lines.size(), 1u);
        EXPECT_EQ(segmentOf(vqPicture.lines[0]), Segment(195, 248, c.x, 200, c.colour));
        EXPECT_EQ(vqPicture.pixel(c.x, 200), c.colour);
    }
}

TEST_F(Plotter, AReadingOnTheSamePixelDrawsNoSegment) {
    plotter.plotReading(cycle(0, 10, 1, 100), false);
    const QImage before = vq.image();
    vq.lines.clear();
    plotter.plotReading(cycle(0, 10.01, 1, 100.1), true);
    EXPECT_TRUE(vq.lines.empty());
    EXPECT_EQ(vq.image(), before);
}

// Pass k of range r stands at x = 31 + 33 r + k, from the bottom line up to its count.
TEST_F(Plotter, QnBarsStandInTheColumnOfTheirPass) {
    plotter.setFace(chart::Face::Qn, QStringLiteral(" 12.5kV dry"));
    plotter.clearVq();
    struct Case {
        int pass;
        int range;
        qint32 count;
        int x;
        int top;
        Colour colour;
    };
    const Case cases[] = {
        {0, 3, 10, 130, 200, lightBlue}, {1, 3, 100, 131, 152, lightBlue},
        {5, 0, 1, 36, 248, red},         {30, 9, 1000, 358, 104, red},
        {2, 1, 10, 66, 200, kBlack},     {0, 4, 0, 163, 296, lightGreen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "pass " << c.pass << " range " << c.range);
        vq.lines.clear();
        plotter.plotQnBar(c.pass, qnStep(c.range, c.count));
        ASSERT_EQ(vq.lines.size(), 1u);
        EXPECT_EQ(segmentOf(vq.lines[0]), Segment(c.x, 296, c.x, c.top, c.colour));
        EXPECT_EQ(countInColumn(vq, c.x, c.top, 296, c.colour), 296 - c.top + 1);
        EXPECT_NE(vq.pixel(c.x, c.top - 1), c.colour);
    }
    EXPECT_EQ(view.caption, QStringLiteral("V-Q")) << "the pass caption is not the plotter's";
}

// clearVq redraws the face in force: on the Q-N face with the label it was given, whose
// bars it clears; back on the normal face, the V-Q chart with its result box.
TEST_F(Plotter, ClearVqRedrawsTheFaceInForceWithItsLabel) {
    plotter.setFace(chart::Face::Qn, QStringLiteral(" 12.5kV dry"));
    plotter.clearVq();
    const auto qnFace = [this] {
        EXPECT_TRUE(labelAt(vq, QStringLiteral("Q-N"), 180, 20, kBlack));
        EXPECT_TRUE(labelAt(vq, QStringLiteral(" TV        Condition"), 220, 22, kBlack));
        EXPECT_TRUE(labelAt(vq, QStringLiteral(" 12.5kV dry"), 220, 34, kBlack));
        EXPECT_TRUE(labelAt(vq, QStringLiteral(" .1"), 0, 291, kBlack));  // the PPS strip
        EXPECT_FALSE(view.resultTextShown);
    };
    qnFace();
    plotter.plotQnBar(0, qnStep(3, 10));
    ASSERT_EQ(countInColumn(vq, 130, 200, 295, lightBlue), 96);
    plotter.clearVq();
    qnFace();
    EXPECT_EQ(countInColumn(vq, 130, 200, 295, lightBlue), 0);
    EXPECT_EQ(plotter.face(), chart::Face::Qn);

    // Back on the normal face: the V-Q chart as a plotter that never left it draws it.
    plotter.setFace(chart::Face::Normal);
    plotter.clearVq();
    EXPECT_TRUE(view.resultTextShown);
    ImageSurface normalVq(385, 345);
    ImageSurface unused(625, 321);
    FakeVqView otherView;
    ChartPlotter(constants, settings, colours, unused, normalVq, otherView).clearVq();
    EXPECT_TRUE(labelAt(normalVq, QStringLiteral("V-Q"), 180, 20, kBlack));
    EXPECT_EQ(vq.image(), normalVq.image());
}

TEST_F(Plotter, QnFaceDrawsOneCurvePerRange) {
    plotter.setFace(chart::Face::Qn, QStringLiteral("label"));
    plotter.clearTrend();
    plotter.clearVq();
    EXPECT_TRUE(labelAt(trend, QStringLiteral("T-N(Q)V"), 270, 20, kBlack));
    trend.lines.clear();
    vq.lines.clear();
    plotter.plotReading(qnStep(0, 10, 50), false);  // range 0 at x 35: count 10, voltage 50
    EXPECT_EQ(trend.pixel(35, 210), red);
    plotter.plotReading(qnStep(1, 100, 50), false);  // range 1 at x 36
    ASSERT_EQ(trend.lines.size(), 3u);
    EXPECT_EQ(segment(0), Segment(35, 296, 35, 200, red));
    EXPECT_EQ(segment(1), Segment(35, 296, 35, 236, lightRed));
    EXPECT_EQ(segment(2), Segment(35, 296, 36, 152, kBlack));
    for (int att = 2; att <= 9; ++att) {
        plotter.plotReading(qnStep(att, 1, 50), false);
    }
    trend.lines.clear();
    plotter.plotReading(qnStep(0, 1, 80), false);  // the next pass: from range 0's own point
    EXPECT_EQ(segment(0), Segment(35, 200, 45, 248, red));
    EXPECT_EQ(segment(1), Segment(35, 236, 45, 200, lightRed));
    EXPECT_TRUE(vq.lines.empty()) << "the bars are drawn by plotQnBar alone";
}

// The inception and extinction as the measurement finds them, drawn on the V-Q chart with
// the inception state of each reading.
TEST_F(Plotter, InceptionAndExtinctionOnTheVqChart) {
    constants.setQ = 100;
    constants.name = QStringLiteral("test1");
    constants.number = QStringLiteral("7");
    VirtualClock clock{QDateTime(QDate(2001, 4, 17), QTime(14, 5, 9))};
    InceptionDetector detector(constants, clock);
    const auto feed = [&](const Reading& r) {
        if (const auto found = detector.judge(r)) {
            plotter.showInception(*found);
        }
        plotter.plotReading(r, detector.inceptionStanding());
    };
    plotter.clearVq();
    feed(cycle(0, 10, 60, 10));  // rising from 0; not judged rising yet
    EXPECT_EQ(view.resultText, QString());
    feed(cycle(0, 120, 60, 12));  // CSV at 12 x 100
    EXPECT_TRUE(labelAt(vq, QStringLiteral("CSV= 1.2kV"), 40, 40, kBlack));
    EXPECT_EQ(view.resultText,
              QStringLiteral("name\tno.\tCSV\tCEV\tdate time\r\ntest1\t7\t1200\t"));
    EXPECT_EQ(vq.pixel(50, 148), kBlack);  // the segment after inception is black
    const QString afterInception = view.resultText;
    feed(cycle(0, 150, 60, 11));  // falling, still above Set Q: no CEV
    EXPECT_EQ(view.resultText, afterInception);
    EXPECT_EQ(vq.pixel(48, 144), lightMagenta);
    feed(cycle(0, 50, 60, 9.8));  // below Set Q: CEV
    EXPECT_TRUE(labelAt(vq, QStringLiteral("CEV= 980V"), 40, 60, kBlack));
    EXPECT_TRUE(
        view.resultText.endsWith(QLatin1String("test1\t7\t1200\t980\t04-17-2001 14:05:09")));
    EXPECT_EQ(vq.pixel(46, 166), lightRed);  // falling after extinction: light red

    plotter.eraseVq();
    EXPECT_TRUE(view.resultText.isEmpty());
    EXPECT_EQ(vq.pixel(48, 144), kWhite);
    EXPECT_TRUE(view.resultTextShown);
}

TEST_F(Plotter, VqWindowReloadsAfterItWasDiscarded) {
    plotter.clearVq();
    EXPECT_TRUE(view.resultTextShown);
    EXPECT_EQ(view.caption, QStringLiteral("V-Q"));
    plotter.plotReading(cycle(0, 2, 1, 100), false);
    plotter.plotReading(cycle(0, 2, 1, 101), false);
    EXPECT_EQ(segmentOf(vq.lines.back()), Segment(195, 234, 197, 234, lightBlue));
    ASSERT_GT(countInColumn(vq, 112, 240, 296, lightBlue), 0);  // the first segment

    plotter.setVqCaption(QStringLiteral("V-Q(1)"));
    view.resultText = QStringLiteral("result");
    plotter.vqUnloaded();
    EXPECT_EQ(view.caption, QStringLiteral("V-Q(1)")) << "nothing happens before the next use";
    vq.lines.clear();
    plotter.plotReading(cycle(0, 20, 1, 20), false);
    EXPECT_EQ(std::pair(view.caption, view.resultText),
              std::pair(QStringLiteral("V-Q"), QString()));
    // The old curve went with the old chart; the new one goes on from the last reading.
    EXPECT_EQ(countInColumn(vq, 112, 240, 296, lightBlue), 0);
    EXPECT_EQ(segmentOf(vq.lines.back()), Segment(197, 234, 63, 186, lightRed));
}

TEST_F(Plotter, GarbledValuesStayOnThePicture) {
    plotter.clearTrend();
    plotter.clearVq();
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    plotter.plotReading(cycle(42, 1e300, inf, -1e300), false);
    plotter.plotReading(cycle(-7, nan, nan, nan), true);
    Reading huge = cycle(9, 1e300, 1e300, 1e300);
    plotter.plotReading(huge, false);
    huge.kind = Reading::Kind::QnStep;
    huge.countRate = std::numeric_limits<qint32>::max();
    plotter.plotReading(huge, false);
    plotter.plotQnBar(std::numeric_limits<int>::max() - 400, huge);
    for (const RecordingSurface* s : {&trend, &vq}) {
        for (const auto& l : s->lines) {
            for (const auto& [x, y] : {std::pair(l.x1, l.y1), std::pair(l.x2, l.y2)}) {
                ASSERT_TRUE(x >= 0 && x < s->width() && y >= 0 && y < s->height()) << x << " " << y;
            }
        }
    }
    trend.lines.clear();
    plotter.plotReading(cycle(0, 1, 1, 0), false);
    EXPECT_EQ(std::get<0>(segment(0)), 74) << "every complete reading took a column";
}

}  // namespace
}  // namespace kr5
