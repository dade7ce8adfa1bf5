// Helpers for reading drawn charts: a label (or a row of them) compared glyph for glyph
// with the same text drawn alone, the painted pixels of a column or a box, and a surface
// that remembers its lines (for lines that a chart clears again within the same call).
#pragma once

#include "platform/imagesurface.h"

#include <gtest/gtest.h>

#include <QString>
#include <vector>

namespace kr5::test {

// The text drawn in colour with its top left at (x, y): the pixels of that colour in the
// text's box are exactly those of the same text drawn alone on a white picture.
inline ::testing::AssertionResult labelAt(const ImageSurface& chart, const QString& text, double x,
                                          int y, Colour colour) {
    ImageSurface alone(chart.width(), chart.height());
    alone.setForeColour(colour);
    alone.setPos(x, y);
    alone.print(text, false);
    const int left = static_cast<int>(x) - 1;
    const int right = static_cast<int>(x) + alone.textWidth(text) + 2;
    int glyphPixels = 0;
    for (int py = y; py < y + Surface::textLineHeight; ++py) {
        for (int px = left; px <= right; ++px) {
            const bool expected = alone.pixel(px, py) == colour;
            if (expected != (chart.pixel(px, py) == colour)) {
                return ::testing::AssertionFailure()
                       << "\"" << text.toStdString() << "\" at (" << x << ", " << y << "): pixel ("
                       << px << ", " << py << ") differs";
            }
            glyphPixels += expected ? 1 : 0;
        }
    }
    if (glyphPixels == 0) {
        return ::testing::AssertionFailure() << "\"" << text.toStdString() << "\" has no pixels";
    }
    return ::testing::AssertionSuccess();
}

// A row or column of labels (separated by '|'), the first with its top left at (x, y),
// each next one dx and dy further on.
inline ::testing::AssertionResult labelsAt(const ImageSurface& chart, const QString& texts,
                                           double x, double dx, int y, int dy, Colour colour) {
    for (const QString& text : texts.split(QLatin1Char('|'))) {
        ::testing::AssertionResult one = labelAt(chart, text, x, y, colour);
        if (!one) {
            return one;
        }
        x += dx;
        y += dy;
    }
    return ::testing::AssertionSuccess();
}

// Pixels of a column from y0 to y1 (inclusive) that have the colour.
inline int countInColumn(const ImageSurface& s, int x, int y0, int y1, Colour colour) {
    int n = 0;
    for (int y = y0; y <= y1; ++y) {
        n += s.pixel(x, y) == colour ? 1 : 0;
    }
    return n;
}

// Pixels of the picture that differ from white.
inline int paintedPixels(const ImageSurface& s, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            n += s.pixel(x, y) != kWhite ? 1 : 0;
        }
    }
    return n;
}

// A picture that also records each line drawn on it.
class RecordingSurface : public ImageSurface {
  public:
    struct Line {
        double x1, y1, x2, y2;
        Colour colour;
    };
    using ImageSurface::ImageSurface;
    using ImageSurface::line;

    void line(double x1, double y1, double x2, double y2, Colour colour) override {
        lines.push_back({x1, y1, x2, y2, colour});
        ImageSurface::line(x1, y1, x2, y2, colour);
    }

    std::vector<Line> lines;
};

}  // namespace kr5::test
