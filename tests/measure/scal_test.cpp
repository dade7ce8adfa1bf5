// The pointer meter, checked on the drawn picture: the dial's arc and ticks, where the
// numbers and the title are printed, the pointer's end points, its erasure and the title
// reprint, and the panel widget that shows the picture.
#include "measure/scal.h"
#include "measure/scalewidget.h"
#include "platform/imagesurface.h"

#include <gtest/gtest.h>
#include <QPixmap>
#include <QPointF>
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

QPointF polar(double r, double t) {
    return {kCx + r * std::cos(t), kCy - r * std::sin(t)};
}

// The pointer's end for a fraction of the scale: 2 pixels inside the arc.
QPointF pointerEnd(double fraction) {
    return polar(kR1 - 2, 3 * kA0 - 2 * kA0 * fraction);
}

// True when a pixel within one pixel of the point is black (lines through real end
// points may land on either neighbour).
bool inkNear(const ImageSurface& s, QPointF p) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (s.pixel(p.toPoint().x() + dx, p.toPoint().y() + dy) == kBlack) {
                return true;
            }
        }
    }
    return false;
}

bool blankAt(const ImageSurface& s, QPointF p) {
    return s.pixel(p.toPoint().x(), p.toPoint().y()) == kWhite;
}

class ScalTest : public ::testing::Test {
  protected:
    const QImage blank = ImageSurface(241, 161).image();
    ImageSurface sc{241, 161};
    Scal scal{sc};
};

TEST_F(ScalTest, GeometryFollowsThePictureSizeAndNothingIsDrawnBeforeInit) {
    // 120.5 rounds to the even neighbour; 193.2, 128.8, 144.9.
    EXPECT_EQ(std::tuple(scal.sw, scal.sh, scal.scx, scal.scy, scal.r1, scal.r2),
              std::tuple(241, 161, kCx, kCy, kR1, kR2));
    ImageSurface other(200, 100);
    const Scal small(other);
    EXPECT_EQ(std::tuple(small.scx, small.scy, small.r1, small.r2), std::tuple(100, 120, 80, 90));
    scal.setdata(5);
    scal.setdata(0);
    EXPECT_EQ(sc.image(), blank);
    EXPECT_EQ(scal.cur(), 0.0);
}

TEST_F(ScalTest, ArcFromFortyFiveToOneHundredThirtyFiveDegreesWithElevenTicks) {
    scal.ach();
    for (int deg = 46; deg <= 134; deg += 4) {
        EXPECT_TRUE(inkNear(sc, polar(kR1, deg * kDeg))) << deg;
        if (deg % 9 != 0) {  // inside and outside the arc, away from the ticks, it is blank
            EXPECT_TRUE(blankAt(sc, polar(kR1 - 5, deg * kDeg)) &&
                        blankAt(sc, polar(kR1 + 5, deg * kDeg)))
                << deg;
        }
    }
    EXPECT_FALSE(inkNear(sc, polar(kR1, 38 * kDeg)) || inkNear(sc, polar(kR1, 142 * kDeg)));
    for (int i = 0; i <= 10; ++i) {  // long and short in turn
        SCOPED_TRACE(i);
        const double t = kA0 + kDa * i / 2;
        const double outer = i % 2 == 0 ? kR2 : kR2 * 0.95;
        EXPECT_TRUE(inkNear(sc, polar((kR1 + outer) / 2, t)) && inkNear(sc, polar(outer - 1, t)));
        EXPECT_TRUE(blankAt(sc, polar(outer + 3, t)));
        EXPECT_TRUE(i % 2 == 0 || blankAt(sc, polar(kR2 - 1, t)));  // short ticks stop early
        EXPECT_TRUE(blankAt(sc, polar(kR1 + 8, t + kDa / 4)));      // halfway on, only the arc
    }
}

TEST_F(ScalTest, NumbersAndTitleArePrintedWhereTheDialPutsThem) {
    scal.init(100, 100, QStringLiteral("P.P.S."));
    EXPECT_EQ(std::tuple(scal.fs(), scal.lmax(), scal.stitle()),
              std::tuple(100.0, 100, QStringLiteral("P.P.S.")));
    // The same picture drawn by hand: the dial, the title at x = 120 - 2 * 6 with its top
    // at 80.5, and each number with its top 10 pixels above its mark and moved 4 pixels
    // left for each character after the first.
    ImageSurface expected(241, 161);
    Scal(expected).ach();
    expected.setPos(kCx - 12, 80.5);
    expected.print(QStringLiteral("P.P.S."), true);
    const QStringList labels{"100", "80", "60", "40", "20", "0"};
    for (int v = 0; v <= 5; ++v) {
        const QPointF mark = polar(kR2, kA0 + v * kDa);
        expected.setPos(mark.x() - static_cast<double>(labels[v].size() - 1) * 4.0, mark.y() - 10);
        expected.print(labels[v], true);
    }
    EXPECT_EQ(sc.image(), expected.image());
    // The numbers are fifths of the right-hand number.
    for (const auto& [right, marks] : {std::pair{100, "100 80 60 40 20 0"},
                                       {10, "10 8 6 4 2 0"},
                                       {7, "7 5.6 4.2 2.8 1.4 0"},
                                       {1, "1 .8 .6 .4 .2 0"}}) {
        QStringList texts;
        for (int v = 0; v <= 5; ++v) {
            texts << Scal::markText(v, right);
        }
        EXPECT_EQ(texts.join(QLatin1Char(' ')), QLatin1String(marks));
    }
}

TEST_F(ScalTest, PointerEndsAtTheLeftEndTheMiddleAndBeyondEitherEnd) {
    scal.init(10, 10, QStringLiteral("Vp"));
    scal.setdata(0);  // 135 degrees
    EXPECT_TRUE(inkNear(sc, pointerEnd(0)) && inkNear(sc, polar(80, 135 * kDeg)));
    scal.setdata(5);  // straight up: x = 120 from the lower edge to y = 193 - 127
    EXPECT_EQ(scal.cur(), 0.5);
    for (int y = 66; y <= 160; y += 7) {
        EXPECT_EQ(sc.pixel(kCx, y), kBlack) << y;
    }
    EXPECT_EQ(sc.pixel(kCx, 65), kWhite);  // the gap between the pointer and the arc
    EXPECT_FALSE(inkNear(sc, polar(80, 135 * kDeg)));

    scal.setdata(15.0);  // held at 1.05 of the scale: 4.5 degrees right of the last mark
    EXPECT_DOUBLE_EQ(scal.cur(), 1.05);
    EXPECT_TRUE(inkNear(sc, pointerEnd(1.05)) && inkNear(sc, polar(90, 40.5 * kDeg)));
    EXPECT_TRUE(blankAt(sc, polar(kR1 + 5, 40.5 * kDeg)));  // it stops at radius 127
    EXPECT_TRUE(blankAt(sc, polar(110, 45 * kDeg)));
    const QImage pinned = sc.image();
    scal.setdata(10.6);  // just past the limit
    EXPECT_EQ(sc.image(), pinned);

    scal.setdata(-1);  // no lower limit: 144 degrees
    EXPECT_DOUBLE_EQ(scal.cur(), -0.1);
    EXPECT_TRUE(inkNear(sc, pointerEnd(-0.1)));
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

TEST_F(ScalTest, EachMoveLeavesExactlyOnePointerAndTheTitleIsReprintedWhenCrossed) {
    scal.init(10, 10, QStringLiteral("Vp"));
    const QRect title(kCx - 10, 78, 31, 17);  // around the title "Vp"
    const QImage initial = sc.image();
    ASSERT_NE(initial.copy(title), blank.copy(title));
    scal.setdata(0);
    scal.setdata(5);
    scal.setdata(9);
    // The same picture as a single move from the left end: nothing of the erased pointers
    // remains, and the dial, numbers and title are whole.
    ImageSurface fresh(241, 161);
    Scal once(fresh);
    once.init(10, 10, QStringLiteral("Vp"));
    once.setdata(9);
    EXPECT_EQ(sc.image(), fresh.image());
    // So too after sweeping across the whole dial in small steps either way, for a short
    // and a long title: every erasure that cut the title was followed by a reprint.
    for (const QString& name : {QStringLiteral("Vp"), QStringLiteral("P.P.S.")}) {
        for (const bool rightward : {true, false}) {
            ImageSurface swept(241, 161);
            Scal meter(swept);
            meter.init(10, 10, name);
            for (int step = 0; step <= 105; ++step) {
                meter.setdata((rightward ? step : 105 - step) / 10.0);
            }
            meter.setdata(rightward ? 0.5 : 10.0);  // the last move away from the title
            ImageSurface single(241, 161);
            Scal reference(single);
            reference.init(10, 10, name);
            reference.setdata(rightward ? 0.5 : 10.0);
            EXPECT_EQ(swept.image(), single.image()) << name.toStdString() << rightward;
        }
    }

    sc.fillBox(title.left(), title.top(), title.right(), title.bottom(), kWhite);  // wipe it
    scal.setdata(5);  // from 0.9: no reprint, only the pointer crosses the box
    for (int y = title.top(); y <= title.bottom(); ++y) {
        for (int x = title.left(); x <= title.right(); ++x) {
            ASSERT_EQ(sc.pixel(x, y), x == kCx ? kBlack : kWhite) << x << "," << y;
        }
    }
    scal.setdata(9);  // from 0.5: the title comes back
    EXPECT_EQ(sc.image().copy(title), initial.copy(title));
}

TEST_F(ScalTest, InitAgainDrawsOverAndClearBlanks) {
    scal.init(10, 10, QStringLiteral("Vp"));
    scal.setdata(4);
    scal.clear();
    EXPECT_EQ(sc.image(), blank);
    scal.init(100, 100, QStringLiteral("P.P.S."));
    EXPECT_TRUE(inkNear(sc, polar(kR1, 90 * kDeg)));
    EXPECT_EQ(scal.fs(), 100.0);
}

TEST(ScaleWidget, ShowsItsPictureAtOneToOne) {
    ScaleWidget meter;
    EXPECT_EQ(meter.sc().image().size(), QSize(241, 161));
    EXPECT_EQ(meter.sc().pixel(0, 0), ScaleWidget::dialBackground());
    meter.init(100, 100, QStringLiteral("P.P.S."));
    meter.setdata(50);
    EXPECT_EQ(meter.scal().cur(), 0.5);
    EXPECT_EQ(meter.accessibleName(), QStringLiteral("P.P.S."));
    meter.resize(400, 300);
    // The picture sits centred, unscaled.
    const QImage shown = meter.grab().toImage().convertToFormat(meter.sc().image().format());
    EXPECT_EQ(shown.copy((400 - 241) / 2, (300 - 161) / 2, 241, 161), meter.sc().image());
    meter.clear();
    EXPECT_EQ(meter.sc().pixel(kCx, 100), ScaleWidget::dialBackground());
}

}  // namespace
}  // namespace kr5
