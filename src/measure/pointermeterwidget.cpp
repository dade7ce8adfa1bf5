#include "pointermeterwidget.h"

#include "platform/surfaceview.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPalette>

namespace kr5 {

Colour PointerMeterWidget::dialBackground() {
    const QColor highlight = QGuiApplication::palette().color(QPalette::Light);
    // A dark highlight would keep every erased pointer as a white trace.
    return highlight.lightness() >= 224 ? ImageSurface::fromQColor(highlight) : kWhite;
}

PointerMeterWidget::PointerMeterWidget(QWidget* parent)
    : QWidget(parent), picture_(pictureWidth, pictureHeight, dialBackground()), meter_(picture_) {
    view_ = new SurfaceView(picture_, this);
    view_->setObjectName(QStringLiteral("sc"));
    view_->setAccessibleDescription(QStringLiteral("sc"));
    // Held at the picture's size and centred, so the dial never stretches.
    view_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 0, Qt::AlignCenter);
}

void PointerMeterWidget::drawDial() {
    meter_.drawDial();
    view_->showChanged(picture_.takeChanges());
}

void PointerMeterWidget::init(double fullScale, int rightNumber, const QString& title) {
    meter_.init(fullScale, rightNumber, title);
    setAccessibleName(title);
    view_->showChanged(picture_.takeChanges());
}

void PointerMeterWidget::setValue(double value) {
    meter_.setValue(value);
    view_->showChanged(picture_.takeChanges());
}

void PointerMeterWidget::clear() {
    meter_.clear();
    view_->showChanged(picture_.takeChanges());
}

}  // namespace kr5
