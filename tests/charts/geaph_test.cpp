// The per-reading update gplot on the trend and V-Q pictures: where each curve starts and
// ends, the colours by range and direction, the sweep of 510 readings, the Q-N face with
// its bars, caption and pass hook, the inception and extinction labels and result box,
// and the V-Q window's reload after it was discarded.
#include "charts/geaph.h"
#include "charts/chartprobe.h"
#include "platform/virtualclock.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

using namespace test;
using Segment = std::tuple<double, double, double, double, Colour>;

constexpr Colour grey = 0x808080;
constexpr Colour lightBlue = 0xFF0000;
constexpr Colour lightRed = 0x0000FF;
constexpr Colour lightMagenta = 0xFF00FF;
constexpr Colour red = 0x0000FF;

class FakeVqView : public VqView {
  public:
    void setText1(const QString& text) override { text1 = text; }
    void setText1Shown(bool shown) override { text1Shown = shown; }
    void setVqCaption(const QString& text) override { caption = text; }

    QString text1 = QStringLiteral("<untouched>");
    bool text1Shown = false;
    QString caption;
};

class Gplot : public ::testing::Test {
  protected:
    Gplot() {
        g.portstr = QStringLiteral("1");
        coldef(colours);
    }

    // The trend line drawn i-th since the record was last cleared.
    Segment segment(size_t i) const {
        const auto& l = trend.lines.at(i);
        return {l.x1, l.y1, l.x2, l.y2, l.colour};
    }

    Globals g;
    ColourTable colours;
    VirtualClock clock{QDateTime(QDate(2001, 4, 17), QTime(14, 5, 9))};
    RecordingSurface trend{625, 321};
    ImageSurface vq{385, 345};
    FakeVqView view;
    Geaph geaph{g, colours, clock, trend, vq, view};
    ChartState& state = geaph.state();
};

TEST_F(Gplot, FirstReadingStartsOnTheBottomLine) {
    geaph.clrwave();
    trend.lines.clear();
    geaph.gplot(10, 0, 0, 1);  // charge 10, no pulses, no voltage
    EXPECT_EQ(segment(0), Segment(70, 296, 71, 200, lightBlue));
    // The voltage, drawn last, stays on the bottom line; the rate is raised to 0.1.
    EXPECT_EQ(std::tuple(trend.pixel(70, 280), trend.pixel(71, 200), trend.pixel(71, 296)),
              std::tuple(lightBlue, lightBlue, lightRed));
    EXPECT_EQ(std::tuple(state.trendx, state.lastq, state.lastn), std::tuple(1, 10, 0.1));
    geaph.gplot(10, 0, 100, 1);
    EXPECT_EQ(trend.pixel(72, 176), lightRed);  // the voltage value 100 at 296 - 120
}

TEST_F(Gplot, RateCurveTakesTheRangeColour) {
    geaph.clrwave();
    geaph.gplot(1, 10, 0, 1);  // range 1: black
    geaph.gplot(1, 10, 0, 3);  // range 3: light blue
    // The charge 1 is light blue at 248 whatever the range.
    EXPECT_EQ(std::tuple(trend.pixel(70, 230), trend.pixel(72, 200), trend.pixel(72, 248)),
              std::tuple(kBlack, lightBlue, lightBlue));
}

TEST_F(Gplot, SweepOf510ReadingsThenAnEmptyChart) {
    geaph.clrwave();
    for (int i = 0; i < 509; ++i) {
        geaph.gplot(1, 1, 0, 0);
    }
    trend.lines.clear();
    geaph.gplot(10, 1, 0, 0);
    EXPECT_EQ(segment(0), Segment(579, 248, 580, 200, lightBlue));
    // Redrawn at once: no curve left in the frame, x 580 is the border again.
    EXPECT_EQ(state.trendx, 0);
    EXPECT_EQ(trend.pixel(580, 200), grey);
    for (int x = 71; x < 580; ++x) {
        ASSERT_EQ(countInColumn(trend, x, 30, 295, lightBlue), 0) << x;
    }
}

TEST_F(Gplot, RateScaleColourFollowsTheShownRange) {
    geaph.clrwave();
    EXPECT_TRUE(labelAt(trend, QStringLiteral(" .1"), 35, 291, red));  // range 0
    geaph.chmcol(3);
    EXPECT_TRUE(labelAt(trend, QStringLiteral(" 10k"), 32, 51, lightBlue));
    EXPECT_EQ(trend.pixel(33, 100), kWhite);  // the strip at 32 covers the "pC" strip's edge
    geaph.clrwave();
    EXPECT_TRUE(labelAt(trend, QStringLiteral(" .1"), 35, 291, lightBlue));
    EXPECT_TRUE(labelAt(trend, QStringLiteral(" 20k"), 585, 51, lightRed));  // tvmax 100 x 200
    EXPECT_EQ(trend.pixel(70, 248), 0x00FF00u);                              // Set Q of range 0
}

TEST_F(Gplot, QnFaceDrawsOneCurvePerRange) {
    g.qnmode = true;
    geaph.clrwave();
    EXPECT_TRUE(labelAt(trend, QStringLiteral("T-N(Q)V"), 270, 20, kBlack));
    trend.lines.clear();
    geaph.gplot(0, 10, 50, 0);  // range 0 at x 35: count 10, voltage value 50
    EXPECT_EQ(trend.pixel(35, 210), red);
    geaph.gplot(0, 100, 50, 1);  // range 1 at x 36
    ASSERT_EQ(trend.lines.size(), 3u);
    EXPECT_EQ(segment(0), Segment(35, 296, 35, 200, red));
    EXPECT_EQ(std::tuple(trend.lines[1].y1, trend.lines[1].y2, trend.lines[1].colour),
              std::tuple(296, 236, lightRed));
    EXPECT_EQ(trend.pixel(36, 152), kBlack);
    for (int att = 2; att <= 9; ++att) {
        geaph.gplot(0, 1, 50, att);
    }
    trend.lines.clear();
    geaph.gplot(0, 1, 80, 0);  // the next pass: range 0 continues from its own last point
    EXPECT_EQ(segment(0), Segment(35, 200, 45, 248, red));
    EXPECT_EQ(std::tuple(trend.lines[1].x1, trend.lines[1].y1, trend.lines[1].y2),
              std::tuple(35, 236, 200));
    EXPECT_EQ(state.trendx, 11);
}

TEST_F(Gplot, VqSegmentColourByDirectionAndTheWindowsReloadAfterItWasDiscarded) {
    geaph.clrvq();
    EXPECT_TRUE(view.text1Shown);
    EXPECT_EQ(view.caption, QStringLiteral("V-Q"));
    state.lastv = 100;
    state.lastq = 1;
    geaph.gplot(10, 1, 100, 0);  // constant voltage: black
    EXPECT_EQ(countInColumn(vq, 195, 200, 248, kBlack), 49);
    EXPECT_FALSE(geaph.inception().vrising);
    const QImage before = vq.image();
    geaph.gplot(10, 1, 100, 0);
    EXPECT_EQ(vq.image(), before);
    geaph.gplot(10, 1, 99, 0);  // falling, no inception: light red
    EXPECT_EQ(vq.pixel(193, 200), lightRed);
    geaph.clrvq();
    state.lastv = 100;
    state.lastq = 2;
    geaph.gplot(2, 1, 101, 0);  // rising before inception: light blue from x 195 to 197
    for (int x = 194; x <= 198; ++x) {
        EXPECT_EQ(vq.pixel(x, 234), x == 194 || x == 198 ? kWhite : lightBlue) << x;
    }
    EXPECT_TRUE(geaph.inception().vrising);

    geaph.setVqCaption(QStringLiteral("V-Q(1)"));
    view.text1 = QStringLiteral("result");
    geaph.vqUnloaded();
    state.lastv = 10;  // the curve goes on from the last reading across the reload
    geaph.gplot(2, 1, 11, 0);
    EXPECT_EQ(std::pair(view.caption, view.text1), std::pair(QStringLiteral("V-Q"), QString()));
    // The old curve went with the old chart.
    EXPECT_EQ(std::pair(vq.pixel(196, 234), vq.pixel(48, 234)), std::pair(kWhite, lightBlue));
}

TEST_F(Gplot, InceptionAndExtinctionOnTheVqChart) {
    g.ksetq = 100;
    g.kname = QStringLiteral("test1");
    g.knum = QStringLiteral("7");
    geaph.clrvq();
    geaph.gplot(10, 60, 10, 0);  // rising from 0; not judged rising yet
    EXPECT_FALSE(geaph.inception().csvfound);
    geaph.gplot(120, 60, 12, 0);  // CSV at 12 x 100
    EXPECT_TRUE(labelAt(vq, QStringLiteral("CSV= 1.2kV"), 40, 40, kBlack));
    EXPECT_EQ(view.text1, QStringLiteral("name\tno.\tCSV\tCEV\tdate time\r\ntest1\t7\t1200\t"));
    EXPECT_EQ(vq.pixel(50, 148), kBlack);  // the segment after inception is black
    const QString afterInception = view.text1;
    geaph.gplot(150, 60, 11, 0);  // falling, still above Set Q: no CEV
    EXPECT_EQ(view.text1, afterInception);
    EXPECT_EQ(vq.pixel(48, 144), lightMagenta);
    geaph.gplot(50, 60, 9.8, 0);  // below Set Q: CEV
    EXPECT_TRUE(labelAt(vq, QStringLiteral("CEV= 980V"), 40, 60, kBlack));
    EXPECT_TRUE(view.text1.endsWith(QLatin1String("test1\t7\t1200\t980\t04-17-2001 14:05:09")));
    EXPECT_EQ(vq.pixel(46, 166), lightRed);  // falling after extinction: light red

    g.ksetq = 0.05;  // a charge 0 counts as 0.1, times Adjust above this Set Q
    Geaph fresh{g, colours, clock, trend, vq, view};
    fresh.gplot(0, 60, 10, 0);
    fresh.gplot(0, 60, 20, 0);
    EXPECT_EQ(fresh.inception().csvval, QStringLiteral("2000"));
}

TEST_F(Gplot, QnBarsCaptionAndPassHook) {
    g.qnmode = true;
    g.qnloops = 10;
    int passesEnded = 0;
    geaph.qnPassEnd = [&] {
        ++passesEnded;
        EXPECT_EQ(state.qnpass, 1);  // counted before the hook runs
    };
    geaph.clrvq();
    EXPECT_FALSE(view.text1Shown);
    EXPECT_TRUE(labelAt(vq, QStringLiteral(" TV        Condition"), 220, 22, kBlack));
    geaph.gplot(0, 10, 0, 3);  // pass 0, range 3, count 10: x 130 from 296 up to 200
    EXPECT_EQ(std::tuple(countInColumn(vq, 130, 199, 296, lightBlue),
                         countInColumn(vq, 131, 200, 296, lightBlue)),
              std::tuple(97, 0));
    EXPECT_EQ(view.caption, QStringLiteral("Q-N(1)  1/10"));
    for (int att = 4; att <= 9; ++att) {
        geaph.gplot(0, 10, 0, att);
    }
    EXPECT_EQ(passesEnded, 1);
    geaph.qnPassEnd = nullptr;
    geaph.gplot(0, 10, 0, 3);  // pass 1 stands one pixel right
    EXPECT_EQ(countInColumn(vq, 131, 200, 296, lightBlue), 97);
    state.qnpass = 2;
    geaph.gplot(0, 1, 0, 0);
    EXPECT_EQ(view.caption, QStringLiteral("Q-N(1)  3/10"));
    g.qnloops = -1;  // Non Stop: the minus sign is the character dropped
    geaph.gplot(0, 1, 0, 0);
    EXPECT_EQ(view.caption, QStringLiteral("Q-N(1)  3/1"));
    geaph.clrvq();
    EXPECT_EQ(state.qnpass, 0);
}

TEST_F(Gplot, GarbledValuesStayOnThePicture) {
    geaph.clrwave();
    geaph.clrvq();
    geaph.gplot(1e300, INFINITY, -1e300, 42);
    geaph.gplot(NAN, NAN, NAN, -7);
    for (const auto& l : trend.lines) {
        ASSERT_TRUE(l.x1 >= 0 && l.x2 < 625 && l.y1 >= 0 && l.y2 < 321);
    }
    EXPECT_EQ(state.trendx, 2);
}

}  // namespace
}  // namespace kr5
