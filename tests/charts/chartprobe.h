// Helpers for the chart tests: the charts' colours, labels compared glyph for glyph with the
// same text drawn alone, painted pixels, and a surface that remembers its lines.
#pragma once

#include "platform/imagesurface.h"
#include "support/readings.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QString>
#include <vector>

namespace kr5::test {

// Colours of the charts, in 0x00BBGGRR.
constexpr Colour grey = 0x808080;
constexpr Colour lightBlue = 0xFF0000;
constexpr Colour lightGreen = 0x00FF00;
constexpr Colour lightRed = 0x0000FF;  // also ranges 0 and 9
constexpr Colour lightMagenta = 0xFF00FF;

// Labels separated by '|', the first with its top left at (x, y), each next one dx and dy
// further on: in each label's box the pixels of the colour are exactly those of the same
// text drawn alone on a white picture.
inline ::testing::AssertionResult labelsAt(const ImageSurface& chart, const QString& texts,
                                           double x, double dx, int y, int dy, Colour colour) {
    for (const QString& text : texts.split(QLatin1Char('|'))) {
        ImageSurface alone(chart.width(), chart.height());
        alone.setForeColour(colour);
        alone.setPos(x, y);
        alone.print(text, false);
        int glyphPixels = 0;
        for (int py = y; py < y + Surface::textLineHeight; ++py) {
            const int left = static_cast<int>(x);
            for (int px = left - 1; px <= left + alone.textWidth(text) + 2; ++px) {
                const bool expected = alone.pixel(px, py) == colour;
                if (expected != (chart.pixel(px, py) == colour)) {
                    return ::testing::AssertionFailure()
                           << "\"" << text.toStdString() << "\" at (" << x << ", " << y
                           << "): pixel (" << px << ", " << py << ") differs";
                }
                glyphPixels += expected ? 1 : 0;
            }
        }
        if (glyphPixels == 0) {
            return ::testing::AssertionFailure()
                   << "\"" << text.toStdString() << "\" has no pixels";
        }
        x += dx;
        y += dy;
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult labelAt(const ImageSurface& chart, const QString& text, double x,
                                          int y, Colour colour) {
    return labelsAt(chart, text, x, 0, y, 0, colour);
}

// Pixels of a column from y0 to y1 (inclusive) that have the colour.
inline int countInColumn(const ImageSurface& s, int x, int y0, int y1, Colour colour) {
    int n = 0;
    for (int y = y0; y <= y1; ++y) {
        n += s.pixel(x, y) == colour ? 1 : 0;
    }
    return n;
}

// Pixels of the box that differ from white.
inline int paintedPixels(const ImageSurface& s, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int x = x0; x <= x1; ++x) {
        n += (y1 - y0 + 1) - countInColumn(s, x, y0, y1, kWhite);
    }
    return n;
}

// Triggers a window's menu item, found by its name.
inline void trigger(QObject& window, const char* item) {
    auto* action = window.findChild<QAction*>(QLatin1String(item));
    ASSERT_NE(action, nullptr) << item;
    action->trigger();
}

// A picture that also records each line drawn on it.
struct RecordingSurface : ImageSurface {
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
