#include "imagesurface.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <cmath>
#include <utility>

namespace kr5 {

namespace {

// A font whose line is as close to 12 pixels as the machine's fonts allow.
QFont chartFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setStyleStrategy(QFont::NoAntialias);
    for (int px = 11; px >= 6; --px) {
        font.setPixelSize(px);
        if (QFontMetrics(font).height() <= Surface::textLineHeight) {
            break;
        }
    }
    return font;
}

QPointF at(double x, double y) {
    return {x, y};
}

}  // namespace

ImageSurface::ImageSurface(int w, int h, Colour background)
    : image_(qMax(1, w), qMax(1, h), QImage::Format_RGB32),
      background_(background),
      font_(chartFont()) {
    clear();
}

QColor ImageSurface::toQColor(Colour c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

Colour ImageSurface::fromQColor(const QColor& c) {
    return static_cast<Colour>(c.red()) | static_cast<Colour>(c.green()) << 8 |
           static_cast<Colour>(c.blue()) << 16;
}

Colour ImageSurface::pixel(int x, int y) const {
    finishDrawing();
    if (!image_.valid(x, y)) {
        return background_;
    }
    return fromQColor(image_.pixelColor(x, y));
}

QPainter& ImageSurface::painter() {
    if (!painter_.isActive()) {
        painter_.begin(&image_);
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.setRenderHint(QPainter::TextAntialiasing, false);
        painter_.setFont(font_);
    }
    return painter_;
}

void ImageSurface::finishDrawing() const {
    if (painter_.isActive()) {
        painter_.end();
    }
}

void ImageSurface::touched(const QRect& area) {
    changed_ |= area & image_.rect();
}

QRect ImageSurface::takeChanges() {
    return std::exchange(changed_, QRect());
}

void ImageSurface::fillBox(int x1, int y1, int x2, int y2, Colour colour) {
    const QRect box(QPoint(qMin(x1, x2), qMin(y1, y2)), QPoint(qMax(x1, x2), qMax(y1, y2)));
    painter().fillRect(box, toQColor(colour));
    touched(box);
    if (keepsDrawing_) {
        drawing_.box(x1, y1, x2, y2, colour);
    }
}

void ImageSurface::line(double x1, double y1, double x2, double y2, Colour colour) {
    QPainter& p = painter();
    p.setPen(QPen(toQColor(colour), 0));
    // Coordinates far outside the picture are held near it so nothing overflows.
    const auto hold = [](double v) { return std::isfinite(v) ? qBound(-1e5, v, 1e5) : 0.0; };
    const QPointF a = at(hold(x1), hold(y1));
    const QPointF b = at(hold(x2), hold(y2));
    if (a == b) {
        p.drawPoint(a);
    } else {
        p.drawLine(a, b);
    }
    if (keepsDrawing_) {
        drawing_.line(a, b, colour);
    }
    // A pixel of margin on every side covers how the ends are rounded.
    touched(QRectF(a, b).normalized().toAlignedRect().adjusted(-1, -1, 1, 1));
}

void ImageSurface::line(double x1, double y1, double x2, double y2) {
    line(x1, y1, x2, y2, fore_);
}

void ImageSurface::arc(double cx, double cy, double r, double a1, double a2) {
    QPainter& p = painter();
    p.setPen(QPen(toQColor(fore_), 0));
    const QRectF box(cx - r, cy - r, 2 * r, 2 * r);
    // QPainter angles are in 1/16 degree, counter-clockwise, as ours are.
    const double toSixteenths = 180.0 / M_PI * 16.0;
    const int start = static_cast<int>(std::lround(a1 * toSixteenths));
    const int span = static_cast<int>(std::lround((a2 - a1) * toSixteenths));
    p.drawArc(box, start, span);
    if (keepsDrawing_) {
        drawing_.arc(box, start, span, fore_);
    }
    touched(box.toAlignedRect().adjusted(-1, -1, 1, 1));
}

void ImageSurface::setPos(double x, double y) {
    x_ = x;
    y_ = y;
}

int ImageSurface::textWidth(const QString& text) const {
    return QFontMetrics(font_).horizontalAdvance(text);
}

void ImageSurface::print(const QString& text, bool lineEnd) {
    QPainter& p = painter();
    p.setPen(toQColor(fore_));
    const QFontMetrics fm(font_);
    const QPointF baseline(x_, y_ + fm.ascent());
    p.drawText(baseline, text);
    // Glyphs may reach past their advance and their line: the ink's box and the line's.
    const QRect ink = fm.boundingRect(text).translated(baseline.toPoint());
    const QRect advance(QPointF(x_, y_).toPoint(), QSize(fm.horizontalAdvance(text), fm.height()));
    touched((ink | advance).adjusted(-2, -2, 2, 2));
    if (keepsDrawing_) {
        drawing_.text(baseline, text, advance, fore_);
    }
    if (lineEnd) {
        x_ = 0.0;
        y_ += textLineHeight;
    } else {
        x_ += fm.horizontalAdvance(text);
    }
}

void ImageSurface::clear() {
    finishDrawing();
    image_.fill(toQColor(background_));
    touched(image_.rect());
    drawing_.clear();
}

void ImageSurface::keepDrawing() {
    keepsDrawing_ = true;
    drawing_ = SurfaceDrawing(image_.size(), background_, font_);
}

void ImageSurface::setImage(const QImage& image) {
    keepsDrawing_ = false;
    drawing_ = SurfaceDrawing();
    QImage converted = image.convertToFormat(QImage::Format_RGB32);
    if (converted.size() != image_.size()) {
        clear();
        painter().drawImage(0, 0, converted);
        return;
    }
    finishDrawing();
    image_ = converted;
    touched(image_.rect());
}

}  // namespace kr5
