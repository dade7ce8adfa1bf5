// The drawing surface's colours, texts, picture and changed areas, and the view that repaints
// only those. Its boxes, lines, points and arcs are read pixel by pixel in the charts' and the
// pointer meter's tests.
#include "platform/imagesurface.h"
#include "platform/surfaceview.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace kr5 {
namespace {

// The pixels that differ between two pictures of one size, as the smallest rectangle.
QRect differences(const QImage& a, const QImage& b) {
    QRect changed;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                changed |= QRect(x, y, 1, 1);
            }
        }
    }
    return changed;
}

TEST(ImageSurface, ColoursAreBlueGreenRedAndALineWithoutOneHasTheForegrounds) {
    ImageSurface s(20, 20);
    s.fillBox(10, 5, 12, 7, 0x0000FF);  // red in 0x00BBGGRR
    EXPECT_EQ(s.image().pixelColor(11, 6), QColor(255, 0, 0));
    s.setForeColour(0x00FF00);
    s.line(5, 0, 5, 19);
    EXPECT_EQ(s.pixel(5, 10), 0x00FF00u);
}

TEST(ImageSurface, PrintDrawsBelowThePositionAndMovesIt) {
    ImageSurface s(200, 100);
    s.setForeColour(kBlack);
    s.setPos(50, 40);
    s.print(QStringLiteral("888"), false);
    EXPECT_EQ(std::pair(s.posX(), s.posY()),
              std::pair(50.0 + s.textWidth(QStringLiteral("888")), 40.0));
    s.print(QStringLiteral("x"), true);
    EXPECT_EQ(std::pair(s.posX(), s.posY()), std::pair(0.0, 40.0 + Surface::textLineHeight));
    // The text lies below its top line and within one text line.
    const QRect ink = differences(ImageSurface(200, 100).image(), s.image());
    EXPECT_TRUE(ink.top() >= 40 && ink.bottom() < 40 + Surface::textLineHeight);
}

// A picture set, cleared, or taken while drawing goes on (it stays as it was).
TEST(ImageSurface, ClearSetAndTakeThePicture) {
    ImageSurface s(30, 20, 0x808080);
    EXPECT_EQ(s.pixel(3, 3), 0x808080u);
    QImage other(30, 20, QImage::Format_ARGB32);
    other.fill(QColor(1, 2, 3));
    s.setImage(other);
    EXPECT_EQ(s.pixel(29, 19), 0x030201u);
    EXPECT_EQ(s.image().format(), QImage::Format_RGB32);  // opaque colour, drawn without conversion
    const QImage taken = s.image();  // shares the pixels until the next drawing
    s.fillBox(5, 5, 10, 10, 0x0000FF);
    EXPECT_EQ(std::pair(taken.pixel(7, 7), s.pixel(7, 7)), std::pair(qRgb(1, 2, 3), 0x0000FFu));
    s.clear();
    EXPECT_EQ(taken.pixel(29, 19), qRgb(1, 2, 3));
    EXPECT_EQ(s.pixel(29, 19), 0x808080u);
    EXPECT_EQ(s.pixel(-1, 0), 0x808080u);  // outside reads as background
}

TEST(ImageSurface, EachDrawingReportsAnAreaHoldingEveryPixelItChanged) {
    ImageSurface s(120, 80);
    s.setForeColour(kBlack);
    const std::vector<std::function<void()>> drawings{
        [&] { s.fillBox(30, 20, 10, 5, 0x0000FF); },  // corners either way round
        [&] { s.line(3.4, 70.6, 110.5, 2.5, 0xFF0000); },
        [&] { s.line(110.5, 77.5, 0.5, 60.2); },
        [&] { s.line(60, 40, 60, 40, 0x00FF00); },  // a point
        [&] { s.line(-1e9, 50, 1e9, 50.5); },       // far outside, held
        [&] { s.arc(60, 90, 45, 0.3, 2.8); },       // reaches below the picture
        [&] {
            s.setPos(70, 60);
            s.print(QStringLiteral("Wg|jÅ"), false);  // ascent, descent, overhang
        },
        [&] {
            s.setPos(-4, 74);
            s.print(QStringLiteral("edge"), true);
        },
    };
    s.takeChanges();
    for (size_t i = 0; i < drawings.size(); ++i) {
        SCOPED_TRACE(i);
        const QImage before = s.image();
        drawings[i]();
        const QRect reported = s.takeChanges();
        const QRect changed = differences(before, s.image());
        ASSERT_FALSE(changed.isEmpty());
        EXPECT_TRUE(reported.contains(changed))
            << "reported " << reported.x() << "," << reported.y() << " " << reported.width() << "x"
            << reported.height();
        EXPECT_TRUE(s.image().rect().contains(reported));
        EXPECT_TRUE(s.takeChanges().isEmpty());  // taken once
    }
    s.clear();
    EXPECT_EQ(s.takeChanges(), s.image().rect());
}

// A view larger than twice the picture shows it enlarged to 2 x 2 blocks. An update of a
// part (odd edges included) paints exactly the blocks of that part and nothing else.
TEST(SurfaceView, APartialRepaintPaintsTheBlocksOfThatPartOnly) {
    ImageSurface s(50, 40);
    for (int i = 0; i < 40; i += 3) {
        s.line(0, i, 49, 39 - i, static_cast<Colour>(0x010203 * (i + 1)));
    }
    SurfaceView view(s);
    view.resize(101, 85);
    const QImage whole = s.image().scaled(100, 80);  // 2 x 2 blocks, no smoothing
    for (const QRect& part : {QRect(0, 0, 101, 85), QRect(7, 9, 13, 21), QRect(99, 79, 2, 6)}) {
        SCOPED_TRACE(part.x());
        QImage painted(view.size(), QImage::Format_RGB32);
        painted.fill(Qt::magenta);
        view.render(&painted, part.topLeft(), QRegion(part), QWidget::RenderFlags());
        for (int y = 0; y < painted.height(); ++y) {
            for (int x = 0; x < painted.width(); ++x) {
                const QRgb expected = !part.contains(x, y) ? QColor(Qt::magenta).rgb()
                                      : x < 100 && y < 80  ? whole.pixel(x, y)
                                                           : view.palette().window().color().rgb();
                ASSERT_EQ(painted.pixel(x, y), expected) << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace kr5
