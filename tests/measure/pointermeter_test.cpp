// The pointer meter, checked on the drawn picture, and the panel widget that shows it.
#include "measure/pointermeter.h"
#include "measure/pointermeterwidget.h"
#include "platform/imagesurface.h"

#include <gtest/gtest.h>
#include <QPixmap>
#include <QPointF>
#include <cmath>

namespace kr5 {
namespace {

constexpr double kPi = 3.14159;  // the dial's own value, not the exact one
constexpr double kRightEnd = kPi / 4;
constexpr double kMarkStep = kPi / 10;
constexpr double kDeg = kPi / 180;

// The panel's geometry: a 241 x 161 picture, centre (120, 193), arc radius 129, long
// ticks and numbers at radius 145.
constexpr int kCentreX = 120;
constexpr int kCentreY = 193;
constexpr int kArcRadius = 129;
constexpr int kMarkRadius = 145;

QPointF polar(double r, double t) {
    return {kCentreX + r * std::cos(t), kCentreY - r * std::sin(t)};
}

// The pointer's end for a fraction of the scale: 2 pixels inside the arc.
QPointF pointerEnd(double fraction) {
    return polar(kArcRadius - 2, 3 * kRightEnd - 2 * kRightEnd * fraction);
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

// The picture of a dial for 0 to 10 with the title, after the pointer's moves to the values.
QImage after(const QString& title, const std::vector<double>& values) {
    ImageSurface picture(241, 161);
    PointerMeter meter(picture);
    meter.init(10, 10, title);
    for (const double value : values) {
        meter.setValue(value);
    }
    return picture.image();
}

struct PointerMeterTest : ::testing::Test {
    const QImage blank = ImageSurface(241, 161).image();
    ImageSurface picture{241, 161};
    PointerMeter dial{picture};
};

TEST_F(PointerMeterTest, ArcFromFortyFiveToOneHundredThirtyFiveDegreesWithElevenTicks) {
    dial.drawDial();
    for (int deg = 46; deg <= 134; deg += 4) {
        EXPECT_TRUE(inkNear(picture, polar(kArcRadius, deg * kDeg))) << deg;
        if (deg % 9 != 0) {  // inside and outside the arc, away from the ticks, it is blank
            EXPECT_TRUE(blankAt(picture, polar(kArcRadius - 5, deg * kDeg)) &&
                        blankAt(picture, polar(kArcRadius + 5, deg * kDeg)))
                << deg;
        }
    }
    EXPECT_FALSE(inkNear(picture, polar(kArcRadius, 38 * kDeg)) ||
                 inkNear(picture, polar(kArcRadius, 142 * kDeg)));
    for (int i = 0; i <= 10; ++i) {  // long and short in turn
        SCOPED_TRACE(i);
        const double t = kRightEnd + kMarkStep * i / 2;
        const double outer = i % 2 == 0 ? kMarkRadius : kMarkRadius * 0.95;
        EXPECT_TRUE(inkNear(picture, polar((kArcRadius + outer) / 2, t)) &&
                    inkNear(picture, polar(outer - 1, t)));
        // Short ticks stop early; halfway to the next there is only the arc.
        EXPECT_TRUE(blankAt(picture, polar(outer + 3, t)));
        EXPECT_TRUE(i % 2 == 0 || blankAt(picture, polar(kMarkRadius - 1, t)));
        EXPECT_TRUE(blankAt(picture, polar(kArcRadius + 8, t + kMarkStep / 4)));
    }
}

TEST_F(PointerMeterTest, NumbersAndTitleArePrintedWhereTheDialPutsThem) {
    dial.init(100, 100, QStringLiteral("P.P.S."));
    // The same picture drawn by hand: the dial, the title at x = 120 - 2 * 6 with its top
    // at 80.5, and each number with its top 10 pixels above its mark and moved 4 pixels
    // left for each character after the first.
    ImageSurface expected(241, 161);
    PointerMeter(expected).drawDial();
    expected.setPos(kCentreX - 12, 80.5);
    expected.print(QStringLiteral("P.P.S."), true);
    const QStringList labels{"100", "80", "60", "40", "20", "0"};
    for (int v = 0; v <= 5; ++v) {
        const QPointF mark = polar(kMarkRadius, kRightEnd + v * kMarkStep);
        expected.setPos(mark.x() - static_cast<double>(labels[v].size() - 1) * 4.0, mark.y() - 10);
        expected.print(labels[v], true);
    }
    EXPECT_EQ(picture.image(), expected.image());
    // The numbers are fifths of the right-hand number, as for 100 above.
    for (const auto& [right, marks] :
         {std::pair{10, "10 8 6 4 2 0"}, {7, "7 5.6 4.2 2.8 1.4 0"}, {1, "1 .8 .6 .4 .2 0"}}) {
        QStringList texts;
        for (int v = 0; v <= 5; ++v) {
            texts << PointerMeter::markText(v, right);
        }
        EXPECT_EQ(texts.join(QLatin1Char(' ')), QLatin1String(marks));
    }
}

TEST_F(PointerMeterTest, PointerEndsAtTheLeftEndTheMiddleAndBeyondEitherEndOrStays) {
    dial.setValue(5);  // before init: no scale, nothing drawn
    EXPECT_EQ(picture.image(), blank);
    dial.init(10, 10, QStringLiteral("Vp"));
    dial.setValue(0);  // 135 degrees
    EXPECT_TRUE(inkNear(picture, pointerEnd(0)) && inkNear(picture, polar(80, 135 * kDeg)));
    dial.setValue(5);  // straight up: x = 120 from the lower edge to y = 193 - 127
    EXPECT_EQ(dial.fraction(), 0.5);
    for (int y = 66; y <= 160; y += 7) {
        EXPECT_EQ(picture.pixel(kCentreX, y), kBlack) << y;
    }
    EXPECT_EQ(picture.pixel(kCentreX, 65), kWhite);  // the gap between the pointer and the arc
    EXPECT_FALSE(inkNear(picture, polar(80, 135 * kDeg)));

    dial.setValue(15.0);  // held at 1.05 of the scale: 4.5 degrees right of the last mark
    EXPECT_DOUBLE_EQ(dial.fraction(), 1.05);
    EXPECT_TRUE(inkNear(picture, pointerEnd(1.05)) && inkNear(picture, polar(90, 40.5 * kDeg)));
    EXPECT_TRUE(blankAt(picture, polar(kArcRadius + 5, 40.5 * kDeg)));  // it stops at radius 127
    EXPECT_TRUE(blankAt(picture, polar(110, 45 * kDeg)));
    const QImage pinned = picture.image();
    dial.setValue(10.6);  // just past the limit
    EXPECT_EQ(picture.image(), pinned);

    dial.setValue(-1);  // no lower limit: 144 degrees
    EXPECT_DOUBLE_EQ(dial.fraction(), -0.1);
    EXPECT_TRUE(inkNear(picture, pointerEnd(-0.1)));
    EXPECT_TRUE(blankAt(picture, polar(110, 135 * kDeg)));
    // Values without a position leave the pointer where it is.
    dial.setValue(3);
    const QImage before = picture.image();
    dial.setValue(std::nan(""));
    dial.setValue(-HUGE_VAL);
    EXPECT_EQ(picture.image(), before);
    EXPECT_DOUBLE_EQ(dial.drawnFraction(), 0.3);
    dial.setValue(HUGE_VAL);  // far right is held at 1.05
    EXPECT_DOUBLE_EQ(dial.fraction(), 1.05);
}

TEST_F(PointerMeterTest, EachMoveLeavesExactlyOnePointerAndTheTitleIsReprintedWhenCrossed) {
    dial.init(10, 10, QStringLiteral("Vp"));
    const QRect title(kCentreX - 10, 78, 31, 17);  // around the title "Vp"
    const QImage initial = picture.image();
    ASSERT_NE(initial.copy(title), blank.copy(title));
    dial.setValue(0);
    dial.setValue(5);
    dial.setValue(9);
    // The same picture as a single move from the left end: nothing of the erased pointers
    // remains, and the dial, numbers and title are whole.
    EXPECT_EQ(picture.image(), after(QStringLiteral("Vp"), {9}));
    // So too after sweeping across the whole dial in small steps either way, for a short
    // and a long title: every erasure that cut the title was followed by a reprint.
    for (const QString& name : {QStringLiteral("Vp"), QStringLiteral("P.P.S.")}) {
        for (const bool rightward : {true, false}) {
            std::vector<double> sweep;
            for (int step = 0; step <= 105; ++step) {
                sweep.push_back((rightward ? step : 105 - step) / 10.0);
            }
            sweep.push_back(rightward ? 0.5 : 10.0);  // the last move away from the title
            EXPECT_EQ(after(name, sweep), after(name, {sweep.back()}))
                << name.toStdString() << rightward;
        }
    }

    picture.fillBox(title.left(), title.top(), title.right(), title.bottom(), kWhite);  // wipe it
    dial.setValue(5);  // from 0.9: no reprint, only the pointer crosses the box
    for (int y = title.top(); y <= title.bottom(); ++y) {
        for (int x = title.left(); x <= title.right(); ++x) {
            ASSERT_EQ(picture.pixel(x, y), x == kCentreX ? kBlack : kWhite) << x << "," << y;
        }
    }
    dial.setValue(9);  // from 0.5: the title comes back
    EXPECT_EQ(picture.image().copy(title), initial.copy(title));
}

TEST(PointerMeterWidget, ShowsItsPictureAtOneToOne) {
    PointerMeterWidget meter;
    EXPECT_EQ(meter.picture().image().size(), QSize(241, 161));
    EXPECT_EQ(meter.picture().pixel(0, 0), PointerMeterWidget::dialBackground());
    meter.init(100, 100, QStringLiteral("P.P.S."));
    meter.setValue(50);
    EXPECT_EQ(meter.meter().fraction(), 0.5);
    EXPECT_EQ(meter.accessibleName(), QStringLiteral("P.P.S."));
    meter.resize(400, 300);
    // The picture sits centred, unscaled.
    const QImage shown = meter.grab().toImage().convertToFormat(meter.picture().image().format());
    EXPECT_EQ(shown.copy((400 - 241) / 2, (300 - 161) / 2, 241, 161), meter.picture().image());
    meter.clear();
    EXPECT_EQ(meter.picture().pixel(kCentreX, 100), PointerMeterWidget::dialBackground());
}

}  // namespace
}  // namespace kr5
