#include "surfacedrawing.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <functional>
#include <utility>

namespace kr5 {

namespace {

// A pixel's line runs through the middle of the pixel, as the picture draws it.
const QPointF kPixelMiddle(0.5, 0.5);

QColor toQColor(Colour c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

// One pixel wide; the square ends reach the end pixels' far edges as the picture's lines do.
QPen pixelPen(Colour colour) {
    return QPen(toQColor(colour), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin);
}

}  // namespace

std::size_t SurfaceDrawing::LineHash::operator()(const LineKey& k) const {
    std::size_t h = std::hash<double>()(k.a.x());
    for (const double v : {k.a.y(), k.b.x(), k.b.y(), static_cast<double>(k.colour)}) {
        h = h * 1000003u ^ std::hash<double>()(v);
    }
    return h;
}

SurfaceDrawing::SurfaceDrawing(QSize size, Colour background, const QFont& font)
    : size_(size), background_(background), font_(font) {}

SurfaceDrawing SurfaceDrawing::ofPicture(const QImage& picture) {
    SurfaceDrawing drawing;
    drawing.size_ = picture.size();
    drawing.picture_ = picture;
    return drawing;
}

void SurfaceDrawing::keepBounded() {
    if (steps_.size() > kMostSteps) {
        overflowed_ = true;
        steps_ = {};
        lines_ = {};
    }
}

void SurfaceDrawing::box(int x1, int y1, int x2, int y2, Colour colour) {
    if (overflowed_) {
        return;
    }
    const QRectF covers(QPointF(std::min(x1, x2), std::min(y1, y2)),
                        QPointF(std::max(x1, x2) + 1, std::max(y1, y2) + 1));
    const auto hidden = std::remove_if(steps_.begin(), steps_.end(), [&covers](const Step& s) {
        return covers.contains(s.covers);
    });
    if (hidden != steps_.end()) {
        steps_.erase(hidden, steps_.end());
        lines_.clear();
        for (const Step& s : steps_) {
            if (s.kind == Kind::Line) {
                lines_.insert({s.a, s.b, s.colour});
            }
        }
    }
    if (covers.contains(QRectF(QPointF(0, 0), size_)) && colour == background_) {
        return;  // the empty surface: nothing more to keep
    }
    steps_.push_back({Kind::Box, colour, covers.topLeft(), covers.bottomRight(), 0, 0, {}, covers});
}

void SurfaceDrawing::line(const QPointF& a, const QPointF& b, Colour colour) {
    if (overflowed_ || !lines_.insert({a, b, colour}).second) {
        return;
    }
    const QRectF covers = QRectF(a, b).normalized().adjusted(0, 0, 1, 1);  // the end pixels whole
    steps_.push_back({Kind::Line, colour, a, b, 0, 0, {}, covers});
    keepBounded();
}

void SurfaceDrawing::arc(const QRectF& box, int startSixteenths, int spanSixteenths,
                         Colour colour) {
    if (overflowed_) {
        return;
    }
    steps_.push_back({Kind::Arc,
                      colour,
                      box.topLeft(),
                      box.bottomRight(),
                      startSixteenths,
                      spanSixteenths,
                      {},
                      box.adjusted(0, 0, 1, 1)});
    keepBounded();
}

void SurfaceDrawing::text(const QPointF& baseline, const QString& text, const QRectF& covers,
                          Colour colour) {
    if (overflowed_) {
        return;
    }
    steps_.push_back({Kind::Text, colour, baseline, baseline, 0, 0, text, covers});
    keepBounded();
}

void SurfaceDrawing::clear() {
    steps_.clear();
    lines_.clear();
    overflowed_ = false;
}

SurfaceDrawing SurfaceDrawing::resized(QSize size) const {
    SurfaceDrawing copy = *this;
    copy.size_ = size;
    if (!picture_.isNull()) {
        copy.picture_ = picture_.copy(QRect(QPoint(0, 0), size));
    }
    return copy;
}

void SurfaceDrawing::paintStep(QPainter& p, const Step& s) const {
    switch (s.kind) {
        case Kind::Box:
            p.fillRect(QRectF(s.a, s.b), toQColor(s.colour));
            break;
        case Kind::Arc:
            p.setPen(pixelPen(s.colour));
            p.drawArc(QRectF(s.a + kPixelMiddle, s.b + kPixelMiddle), s.startAngle, s.spanAngle);
            break;
        case Kind::Text:
            p.setFont(font_);
            p.setPen(toQColor(s.colour));
            p.drawText(s.a, s.text);
            break;
        case Kind::Line:  // a point: a line has length, and goes into a path
            p.fillRect(QRectF(s.a, QSizeF(1, 1)), toQColor(s.colour));
            break;
    }
}

void SurfaceDrawing::paint(QPainter& p) const {
    if (isNull()) {
        return;
    }
    p.save();
    const QRectF area(QPointF(0, 0), size_);
    p.setClipRect(area);
    p.fillRect(area, toQColor(background_));
    if (!picture_.isNull()) {
        p.drawImage(area, picture_);
        p.restore();
        return;
    }
    std::vector<std::pair<Colour, QPainterPath>> run;
    const auto strokeRun = [&] {
        for (const auto& [colour, path] : run) {
            p.strokePath(path, pixelPen(colour));
        }
        run.clear();
    };
    for (const Step& s : steps_) {
        if (s.kind != Kind::Line || s.a == s.b) {
            strokeRun();
            paintStep(p, s);
            continue;
        }
        auto path = std::find_if(run.begin(), run.end(),
                                 [&s](const auto& entry) { return entry.first == s.colour; });
        if (path == run.end()) {
            run.emplace_back(s.colour, QPainterPath());
            path = run.end() - 1;
        }
        const QPointF from = s.a + kPixelMiddle;
        if (path->second.elementCount() == 0 || path->second.currentPosition() != from) {
            path->second.moveTo(from);
        }
        path->second.lineTo(s.b + kPixelMiddle);
    }
    strokeRun();
    p.restore();
}

}  // namespace kr5
