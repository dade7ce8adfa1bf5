#include "surfaceview.h"

#include <QPaintEvent>
#include <QPainter>

namespace kr5 {

SurfaceView::SurfaceView(const ImageSurface& surface, QWidget* parent)
    : QWidget(parent), surface_(surface) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize SurfaceView::sizeHint() const {
    return surface_.image().size();
}

void SurfaceView::setScaling(Scaling scaling) {
    scaling_ = scaling;
    update();
}

QRect SurfaceView::filled() const {
    const QSize picture = surface_.image().size();
    return QRect(QPoint(0, 0), picture.scaled(size(), Qt::KeepAspectRatio));
}

int SurfaceView::scale() const {
    const QSize picture = surface_.image().size();
    return qMax(1, qMin(width() / picture.width(), height() / picture.height()));
}

void SurfaceView::showChanged(const QRect& pictureArea) {
    if (scaling_ == Scaling::Fill) {
        update(filled());  // the whole picture moves when any of it is smoothed anew
    } else if (!pictureArea.isEmpty()) {
        const int s = scale();
        update(QRect(pictureArea.topLeft() * s, pictureArea.size() * s));
    }
}

void SurfaceView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (scaling_ == Scaling::Fill) {
        const QRect target = filled();
        for (const QRect& beyond : event->region() - target) {
            p.fillRect(beyond, palette().window());
        }
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.drawImage(target, surface_.image());
        return;
    }
    const int s = scale();
    const QRect target(QPoint(0, 0), surface_.image().size() * s);
    // Only what the event asks for: the window beyond the picture, and the picture's
    // pixels under the event's area, each enlarged to whole s x s blocks.
    for (const QRect& beyond : event->region() - target) {
        p.fillRect(beyond, palette().window());
    }
    const QRect wanted = event->rect() & target;
    if (wanted.isEmpty()) {
        return;
    }
    const QRect source(QPoint(wanted.left() / s, wanted.top() / s),
                       QPoint(wanted.right() / s, wanted.bottom() / s));
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRect(source.topLeft() * s, source.size() * s), surface_.image(), source);
}

}  // namespace kr5
