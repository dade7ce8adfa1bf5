// What was drawn on a surface, kept as drawing steps (boxes, lines, arcs and texts), so that
// a chart can be painted again at any size on any painter: into a PDF or an SVG file as
// vectors, which stay sharp when enlarged or printed, where its picture is a bitmap.
//
// A box hides what lay wholly under it, and a line drawn again exactly as before adds nothing:
// neither is kept, so that a chart drawn for hours keeps no more steps than it shows
// different lines. (Such a line keeps the place of its first drawing among the others; where
// lines of different colours cross, the crossing may show the other colour.) A chart of more
// different lines than kMostSteps (a long recorded test drawn again) keeps none: its
// surface hands over its picture instead, so that memory stays bounded.
#pragma once

#include "platform/surface.h"

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <unordered_set>
#include <vector>

class QPainter;

namespace kr5 {

class SurfaceDrawing {
  public:
    static constexpr std::size_t kMostSteps = 100'000;

    // No drawing: nothing to paint.
    SurfaceDrawing() = default;
    // A drawing that is a picture alone, painted as a bitmap.
    static SurfaceDrawing ofPicture(const QImage& picture);
    // An empty surface of this size and background; texts are drawn in font.
    SurfaceDrawing(QSize size, Colour background, const QFont& font);

    bool isNull() const { return size_.isEmpty(); }
    QSize size() const { return size_; }
    std::size_t steps() const { return steps_.size(); }
    // More was drawn than kMostSteps: the steps were dropped until the next clear.
    bool overflowed() const { return overflowed_; }

    // The surface's calls, in its coordinates: a box with both corners included; a line and
    // an arc one pixel wide; a text from its baseline, covering `covers` (so that a box over
    // it can tell).
    void box(int x1, int y1, int x2, int y2, Colour colour);
    void line(const QPointF& a, const QPointF& b, Colour colour);
    void arc(const QRectF& box, int startSixteenths, int spanSixteenths, Colour colour);
    void text(const QPointF& baseline, const QString& text, const QRectF& covers, Colour colour);
    // Back to the background alone.
    void clear();

    // The same drawing seen through a surface of another size (the Q-N picture is the V-Q
    // chart's upper part).
    SurfaceDrawing resized(QSize size) const;

    // Paints the drawing with the painter's coordinates as the surface's pixels, clipped to
    // its size: the caller places and scales it. The lines between two boxes or texts go as
    // one path per colour, so a file holds a chart's curves as paths, not a stroke per
    // reading.
    void paint(QPainter& painter) const;

  private:
    enum class Kind : quint8 { Box, Line, Arc, Text };
    struct Step {
        Kind kind;
        Colour colour;
        QPointF a;  // box, arc: top left; line: one end; text: the baseline's start
        QPointF b;  // box, arc: bottom right; line: the other end
        int startAngle = 0;
        int spanAngle = 0;
        QString text;
        QRectF covers;  // the pixels the step draws on
    };
    struct LineKey {
        QPointF a;
        QPointF b;
        Colour colour;
        bool operator==(const LineKey& o) const {
            return a == o.a && b == o.b && colour == o.colour;
        }
    };
    struct LineHash {
        std::size_t operator()(const LineKey& k) const;
    };

    void paintStep(QPainter& painter, const Step& step) const;
    // Past kMostSteps the steps go, and no more are kept.
    void keepBounded();

    QSize size_;
    Colour background_ = kWhite;
    QFont font_;
    std::vector<Step> steps_;
    std::unordered_set<LineKey, LineHash> lines_;
    bool overflowed_ = false;
    QImage picture_;  // a drawing that is a picture
};

}  // namespace kr5
