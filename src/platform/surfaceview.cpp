#include "surfaceview.h"

#include <QPainter>

namespace kr5 {

SurfaceView::SurfaceView(const ImageSurface& surface, QWidget* parent)
    : QWidget(parent), surface_(surface) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize SurfaceView::sizeHint() const {
    return surface_.image().size();
}

void SurfaceView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QSize picture = surface_.image().size();
    const int scale = qMax(1, qMin(width() / picture.width(), height() / picture.height()));
    const QRect target(QPoint(0, 0), picture * scale);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(target, surface_.image());
}

}  // namespace kr5
