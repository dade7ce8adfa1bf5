// The drawing surface: exact pixels for boxes, lines and arcs, colour order, the text
// position rules and a picture that survives being replaced. The charts drawn on it are
// tested in the charts tests.
#include "platform/imagesurface.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

TEST(ImageSurface, BoxesIncludeBothCornersAndLinesAndArcsAreCrisp) {
    ImageSurface s(200, 200);
    s.fillBox(10, 5, 12, 7, 0x0000FF);  // red in 0x00BBGGRR
    EXPECT_EQ(std::pair(s.pixel(10, 5), s.pixel(12, 7)), std::pair(0x0000FFu, 0x0000FFu));
    EXPECT_EQ(std::pair(s.pixel(13, 7), s.pixel(12, 8)), std::pair(kWhite, kWhite));
    EXPECT_EQ(s.image().pixelColor(11, 6), QColor(255, 0, 0));
    s.line(0, 10, 199, 10, 0xFF0000);  // blue
    for (int x = 0; x < 200; ++x) {
        ASSERT_EQ(std::pair(s.pixel(x, 10), s.pixel(x, 9)), std::pair(0xFF0000u, kWhite)) << x;
    }
    s.setForeColour(0x00FF00);  // without a colour a line has the foreground's
    s.line(5, 0, 5, 39);
    EXPECT_EQ(s.pixel(5, 20), 0x00FF00u);
    s.line(20, 20, 20, 20, 0x0000FF);  // a point
    EXPECT_EQ(s.pixel(20, 20), 0x0000FFu);
    s.line(-1e12, 30, 1e12, 30, 0x0000FF);  // far outside: held, no overflow
    EXPECT_EQ(s.pixel(25, 30), 0x0000FFu);
    s.setForeColour(kBlack);
    s.arc(100, 100, 50, 0.0, M_PI);  // the upper half
    EXPECT_EQ(std::pair(s.pixel(100, 50), s.pixel(100, 150)), std::pair(kBlack, kWhite));
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
    int top = 100;
    int bottom = -1;
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

}  // namespace
}  // namespace kr5
