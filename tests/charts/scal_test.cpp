// The pointer meter, checked on the drawn picture: the dial's arc and ticks, where the
// numbers and the title are printed, the pointer's end points, its erasure and the title
// reprint, and the panel widget that shows the picture.
#include "charts/scal.h"
#include "charts/scalewidget.h"
#include "platform/imagesurface.h"

#include <gtest/gtest.h>
#include <QPixmap>
#include <cmath>

namespace kr5 {
namespace {

constexpr double kPi = 3.14159;  // the dial's own value, not the exact one
constexpr double kA0 = kPi / 4;
constexpr double kDa = kPi / 10;
constexpr double kDeg = kPi / 180;

// The panel's geometry: a 241 x 161 picture, centre (120, 193), arc radius 129, long
// ticks and numbers at radius 145.
constexpr int kCx = 120;
constexpr int kCy = 193;
constexpr int kR1 = 129;
constexpr int kR2 = 145;

struct Point {
    double x;
    double y;
};

Point polar(double r, double t) {
    return {kCx + r * std::cos(t), kCy - r * std::sin(t)};
}

// The pointer's end for a fraction of the scale: 2 pixels inside the arc.
Point pointerEnd(double fraction) {
    return polar(kR1 - 2, 3 * kA0 - 2 * kA0 * fraction);
}

// True when a pixel within one pixel of the point has the colour (lines through real end
// points may land on either neighbour).
bool inkNear(const ImageSurface& s, Point p, Colour colour = kBlack) {
    const int x = static_cast<int>(std::lround(p.x));
    const int y = static_cast<int>(std::lround(p.y));
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (s.pixel(x + dx, y + dy) == colour) {
                return true;
            }
        }
    }
    return false;
}

bool blankAt(const ImageSurface& s, Point p) {
    return s.pixel(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y))) ==
           kWhite;
}

struct Box {
    int left = 1000;
    int top = 1000;
    int right = -1;
    int bottom = -1;
    bool empty() const { return right < 0; }
};

// Where two pictures differ inside a window: the ink of what one has and the other lacks.
Box difference(const ImageSurface& a, const ImageSurface& b, int x1, int y1, int x2, int y2) {
    Box box;
    for (int y = y1; y <= y2; ++y) {
        for (int x = x1; x <= x2; ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                box.left = qMin(box.left, x);
                box.right = qMax(box.right, x);
                box.top = qMin(box.top, y);
                box.bottom = qMax(box.bottom, y);
            }
        }
    }
    return box;
}

class ScalTest : public ::testing::Test {
  protected:
    ImageSurface sc{241, 161};
    Scal scal{sc};
};

TEST_F(ScalTest, GeometryFollowsThePictureSize) {
    EXPECT_EQ(scal.sw, 241);
    EXPECT_EQ(scal.sh, 161);
    EXPECT_EQ(scal.scx, kCx);  // 120.5 rounds to the even neighbour
    EXPECT_EQ(scal.scy, kCy);  // 193.2
    EXPECT_EQ(scal.r1, kR1);   // 128.8
    EXPECT_EQ(scal.r2, kR2);   // 144.9
    ImageSurface other(200, 100);
    const Scal small(other);
    EXPECT_EQ(small.scx, 100);
    EXPECT_EQ(small.scy, 120);
    EXPECT_EQ(small.r1, 80);
    EXPECT_EQ(small.r2, 90);
    // Nothing is drawn until init.
    EXPECT_TRUE(difference(sc, ImageSurface(241, 161), 0, 0, 240, 160).empty());
}

TEST_F(ScalTest, ArcRunsFromFortyFiveToOneHundredThirtyFiveDegrees) {
    scal.ach();
    for (int deg = 46; deg <= 134; deg += 4) {
        EXPECT_TRUE(inkNear(sc, polar(kR1, deg * kDeg))) << deg;
        // Inside and outside the arc, away from the ticks, the dial is blank.
        if (deg % 9 != 0) {
            EXPECT_TRUE(blankAt(sc, polar(kR1 - 5, deg * kDeg))) << deg;
            EXPECT_TRUE(blankAt(sc, polar(kR1 + 5, deg * kDeg))) << deg;
        }
    }
    for (int deg : {38, 142}) {
        EXPECT_FALSE(inkNear(sc, polar(kR1, deg * kDeg))) << deg;
    }
}

TEST_F(ScalTest, ElevenTicksLongAndShortInTurn) {
    scal.ach();
    for (int i = 0; i <= 10; ++i) {
        SCOPED_TRACE(i);
        const double t = kA0 + kDa * i / 2;
        const double outer = i % 2 == 0 ? kR2 : kR2 * 0.95;
        EXPECT_TRUE(inkNear(sc, polar((kR1 + outer) / 2, t)));
        EXPECT_TRUE(inkNear(sc, polar(outer - 1, t)));
        EXPECT_TRUE(blankAt(sc, polar(outer + 3, t)));
        if (i % 2 == 1) {
            EXPECT_TRUE(blankAt(sc, polar(kR2 - 1, t)));  // the short ticks stop early
        }
        // Halfway to the next tick there is only the arc.
        EXPECT_TRUE(blankAt(sc, polar(kR1 + 8, t + kDa / 4)));
    }
}

TEST_F(ScalTest, NumbersAndTitleArePrintedWhereTheDialPutsThem) {
    scal.init(100, 100, QStringLiteral("P.P.S."));
    EXPECT_EQ(scal.fs(), 100.0);
    EXPECT_EQ(scal.lmax(), 100);
    EXPECT_EQ(scal.stitle(), QStringLiteral("P.P.S."));

    // The same picture drawn by hand: the dial, the title at x = 120 - 2 * 6 with its top
    // at 80.5, and each number with its top 10 pixels above its mark and moved 4 pixels
    // left for each character after the first.
    ImageSurface expected(241, 161);
    Scal(expected).ach();
    ImageSurface dialOnly = expected;
    expected.setPos(kCx - 12, 80.5);
    expected.print(QStringLiteral("P.P.S."), true);
    const QStringList labels{"100", "80", "60", "40", "20", "0"};
    for (int v = 0; v <= 5; ++v) {
        SCOPED_TRACE(v);
        const Point mark = polar(kR2, kA0 + v * kDa);
        const double x = mark.x - static_cast<double>(labels[v].size() - 1) * 4.0;
        const double top = mark.y - 10;
        expected.setPos(x, top);
        expected.print(labels[v], true);

        // The printed ink lies in the text line below that top, starting at that x.
        const Box ink = difference(sc, dialOnly, static_cast<int>(x) - 4, static_cast<int>(top) - 4,
                                   static_cast<int>(x) + 30, static_cast<int>(top) + 16);
        ASSERT_FALSE(ink.empty());
        EXPECT_GE(ink.top, std::floor(top));
        EXPECT_LT(ink.bottom, top + Surface::textLineHeight);
        EXPECT_GE(ink.left, std::floor(x) - 1);
        EXPECT_LE(ink.left, x + 3);
    }
    EXPECT_EQ(sc.image(), expected.image());

    const Box title = difference(sc, dialOnly, 90, 70, 150, 100);
    EXPECT_GE(title.top, 80);
    EXPECT_LT(title.bottom, 80.5 + Surface::textLineHeight);
    EXPECT_GE(title.left, kCx - 13);
}

TEST(ScalMarks, NumbersAreFifthsOfTheRightHandNumber) {
    const QStringList hundred{"100", "80", "60", "40", "20", "0"};
    const QStringList ten{"10", "8", "6", "4", "2", "0"};
    const QStringList seven{"7", "5.6", "4.2", "2.8", "1.4", "0"};
    const QStringList one{"1", ".8", ".6", ".4", ".2", "0"};
    for (int v = 0; v <= 5; ++v) {
        EXPECT_EQ(Scal::markText(v, 100), hundred[v]);
        EXPECT_EQ(Scal::markText(v, 10), ten[v]);
        EXPECT_EQ(Scal::markText(v, 7), seven[v]);
        EXPECT_EQ(Scal::markText(v, 1), one[v]);
    }
}

TEST_F(ScalTest, SetdataBeforeInitDrawsNothing) {
    scal.setdata(5);
    scal.setdata(0);
    EXPECT_TRUE(difference(sc, ImageSurface(241, 161), 0, 0, 240, 160).empty());
    EXPECT_EQ(scal.cur(), 0.0);
}

TEST_F(ScalTest, PointerEndsAtTheLeftEndTheMiddleAndBeyondTheRightEnd) {
    scal.init(10, 10, QStringLiteral("Vp"));

    scal.setdata(0);  // 135 degrees
    EXPECT_TRUE(inkNear(sc, pointerEnd(0)));
    EXPECT_TRUE(inkNear(sc, polar(80, 135 * kDeg)));

    scal.setdata(5);  // straight up: x = 120 from the lower edge to y = 193 - 127
    EXPECT_EQ(scal.cur(), 0.5);
    for (int y = 66; y <= 160; y += 7) {
        EXPECT_EQ(sc.pixel(kCx, y), kBlack) << y;
    }
    EXPECT_EQ(sc.pixel(kCx, 65), kWhite);  // the gap between the pointer and the arc
    EXPECT_FALSE(inkNear(sc, polar(80, 135 * kDeg)));

    scal.setdata(15.0);  // held at 1.05 of the scale: 4.5 degrees right of the last mark
    EXPECT_DOUBLE_EQ(scal.cur(), 1.05);
    const Point end = pointerEnd(1.05);
    EXPECT_NEAR(std::atan2(kCy - end.y, end.x - kCx) / kDeg, 45 - 4.5, 1e-9);
    EXPECT_TRUE(inkNear(sc, end));
    EXPECT_TRUE(inkNear(sc, polar(90, 40.5 * kDeg)));
    EXPECT_TRUE(blankAt(sc, polar(kR1 + 5, 40.5 * kDeg)));  // it stops at radius 127
    EXPECT_TRUE(blankAt(sc, polar(110, 45 * kDeg)));
    const QImage pinned = sc.image();
    scal.setdata(10.6);  // just past the limit
    EXPECT_EQ(sc.image(), pinned);
}

TEST_F(ScalTest, NegativeValuesGoBeyondTheLeftEnd) {
    scal.init(10, 10, QStringLiteral("Vp"));
    scal.setdata(-1);
    EXPECT_DOUBLE_EQ(scal.cur(), -0.1);
    EXPECT_TRUE(inkNear(sc, pointerEnd(-0.1)));  // 144 degrees
    EXPECT_TRUE(blankAt(sc, polar(110, 135 * kDeg)));
}

TEST_F(ScalTest, ValuesWithoutAPositionLeaveThePointer) {
    scal.init(10, 10, QStringLiteral("Vp"));
    scal.setdata(3);
    const QImage before = sc.image();
    scal.setdata(std::nan(""));
    scal.setdata(-HUGE_VAL);
    EXPECT_EQ(sc.image(), before);
    EXPECT_DOUBLE_EQ(scal.old(), 0.3);
    scal.setdata(HUGE_VAL);  // far right is held at 1.05
    EXPECT_DOUBLE_EQ(scal.cur(), 1.05);
}

TEST_F(ScalTest, EachMoveLeavesExactlyOnePointer) {
    scal.init(10, 10, QStringLiteral("Vp"));
    scal.setdata(0);
    scal.setdata(5);
    scal.setdata(9);
    EXPECT_EQ(scal.old(), 0.9);
    EXPECT_EQ(sc.pixel(kCx, 73), kWhite);  // the old pointer at 0.5 is gone
    EXPECT_EQ(sc.pixel(kCx, 133), kWhite);
    EXPECT_FALSE(inkNear(sc, pointerEnd(0)));

    // The same picture as a single move from the left end: nothing of the erased
    // pointers remains, and the dial, numbers and title are whole.
    ImageSurface fresh(241, 161);
    Scal once(fresh);
    once.init(10, 10, QStringLiteral("Vp"));
    once.setdata(9);
    EXPECT_EQ(sc.image(), fresh.image());
}

TEST_F(ScalTest, TitleIsReprintedWhenTheOldPointerCrossedIt) {
    scal.init(10, 10, QStringLiteral("Vp"));
    const ImageSurface initial = sc;
    const int x1 = kCx - 10, y1 = 78, x2 = kCx + 20, y2 = 94;  // around the title "Vp"
    ASSERT_FALSE(difference(initial, ImageSurface(241, 161), x1, y1, x2, y2).empty());

    scal.setdata(9);
    sc.fillBox(x1, y1, x2, y2, kWhite);  // wipe the title
    scal.setdata(5);                     // from 0.9: no reprint
    for (int y = y1; y <= y2; ++y) {
        for (int x = x1; x <= x2; ++x) {
            if (x != kCx) {
                ASSERT_EQ(sc.pixel(x, y), kWhite) << x << "," << y;
            }
        }
    }
    scal.setdata(9);  // from 0.5: the title comes back
    EXPECT_TRUE(difference(sc, initial, x1, y1, x2, y2).empty());
}

TEST_F(ScalTest, InitAgainDrawsOverAndClearBlanks) {
    scal.init(10, 10, QStringLiteral("Vp"));
    scal.setdata(4);
    scal.clear();
    EXPECT_TRUE(difference(sc, ImageSurface(241, 161), 0, 0, 240, 160).empty());
    scal.init(100, 100, QStringLiteral("P.P.S."));
    EXPECT_TRUE(inkNear(sc, polar(kR1, 90 * kDeg)));
    EXPECT_EQ(scal.fs(), 100.0);
}

TEST(ScaleWidget, ShowsItsPictureAtOneToOne) {
    ScaleWidget meter;
    EXPECT_EQ(meter.sc().width(), 241);
    EXPECT_EQ(meter.sc().height(), 161);
    EXPECT_EQ(meter.sc().pixel(0, 0), ScaleWidget::dialBackground());

    meter.init(100, 100, QStringLiteral("P.P.S."));
    meter.setdata(50);
    EXPECT_EQ(meter.scal().cur(), 0.5);
    EXPECT_EQ(meter.accessibleName(), QStringLiteral("P.P.S."));
    meter.resize(400, 300);
    const QImage shown = meter.grab().toImage().convertToFormat(meter.sc().image().format());
    // The picture sits centred, unscaled.
    const int left = (400 - 241) / 2;
    const int top = (300 - 161) / 2;
    const QImage picture = shown.copy(left, top, 241, 161);
    EXPECT_EQ(picture, meter.sc().image());

    meter.clear();
    EXPECT_EQ(meter.sc().pixel(kCx, 100), ScaleWidget::dialBackground());
}

}  // namespace
}  // namespace kr5
