// The drawing surface: exact pixels for boxes and lines, colour order, the text position
// rules and a picture that survives being replaced.
#include "platform/imagesurface.h"

#include <gtest/gtest.h>
#include <QFontMetrics>

namespace kr5 {
namespace {

TEST(ImageSurface, FilledBoxIncludesBothCorners) {
    ImageSurface s(50, 40);
    s.fillBox(10, 5, 12, 7, 0x0000FF);  // red in 0x00BBGGRR
    EXPECT_EQ(s.pixel(10, 5), 0x0000FFu);
    EXPECT_EQ(s.pixel(12, 7), 0x0000FFu);
    EXPECT_EQ(s.pixel(13, 7), kWhite);
    EXPECT_EQ(s.pixel(12, 8), kWhite);
    EXPECT_EQ(s.image().pixelColor(11, 6), QColor(255, 0, 0));
}

TEST(ImageSurface, LinesAreCrispAndUseTheForegroundWhenNoColourIsGiven) {
    ImageSurface s(50, 40);
    s.line(0, 10, 49, 10, 0xFF0000);  // blue
    for (int x = 0; x < 50; ++x) {
        ASSERT_EQ(s.pixel(x, 10), 0xFF0000u) << x;
        ASSERT_EQ(s.pixel(x, 9), kWhite) << x;
    }
    s.setForeColour(0x00FF00);
    s.line(5, 0, 5, 39);
    EXPECT_EQ(s.pixel(5, 20), 0x00FF00u);
    s.line(20, 20, 20, 20, 0x0000FF);  // a point
    EXPECT_EQ(s.pixel(20, 20), 0x0000FFu);
    s.line(-1e12, 30, 1e12, 30, 0x0000FF);  // far outside: held, no overflow
    EXPECT_EQ(s.pixel(25, 30), 0x0000FFu);
}

TEST(ImageSurface, PrintMovesThePosition) {
    ImageSurface s(200, 100);
    s.setPos(10, 20);
    s.print(QStringLiteral("12"), false);
    EXPECT_DOUBLE_EQ(s.posY(), 20);
    EXPECT_DOUBLE_EQ(s.posX(), 10 + s.textWidth(QStringLiteral("12")));
    s.print(QStringLiteral("x"), true);
    EXPECT_DOUBLE_EQ(s.posX(), 0);
    EXPECT_DOUBLE_EQ(s.posY(), 32);
    // The text lies below its top line and within one text line.
    s.clear();
    s.setForeColour(kBlack);
    s.setPos(50, 40);
    s.print(QStringLiteral("888"), false);
    int top = 100, bottom = -1;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (s.pixel(x, y) != kWhite) {
                top = qMin(top, y);
                bottom = qMax(bottom, y);
            }
        }
    }
    EXPECT_GE(top, 40);
    EXPECT_LT(bottom, 40 + Surface::textLineHeight);
}

TEST(ImageSurface, ClearAndSetImage) {
    ImageSurface s(30, 20, 0x808080);
    EXPECT_EQ(s.pixel(3, 3), 0x808080u);
    QImage other(30, 20, QImage::Format_ARGB32);
    other.fill(QColor(1, 2, 3));
    s.setImage(other);
    EXPECT_EQ(s.pixel(29, 19), 0x030201u);
    EXPECT_EQ(s.image().format(), QImage::Format_RGB32);  // opaque colour, drawn without conversion
    s.clear();
    EXPECT_EQ(s.pixel(29, 19), 0x808080u);
    EXPECT_EQ(s.pixel(-1, 0), 0x808080u);  // outside reads as background
}

TEST(ImageSurface, ArcFollowsTheCircle) {
    ImageSurface s(200, 200);
    s.setForeColour(kBlack);
    s.arc(100, 100, 50, 0.0, M_PI);  // the upper half
    EXPECT_EQ(s.pixel(100, 50), kBlack);
    EXPECT_EQ(s.pixel(100, 150), kWhite);
}

}  // namespace
}  // namespace kr5
