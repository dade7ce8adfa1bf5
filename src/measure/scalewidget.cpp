#include "scalewidget.h"

#include "platform/surfaceview.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPalette>

namespace kr5 {

Colour ScaleWidget::dialBackground() {
    const QColor highlight = QGuiApplication::palette().color(QPalette::Light);
    // A dark highlight would keep every erased pointer as a white trace.
    return highlight.lightness() >= 224 ? ImageSurface::fromQColor(highlight) : kWhite;
}

ScaleWidget::ScaleWidget(QWidget* parent)
    : QWidget(parent), sc_(pictureWidth, pictureHeight, dialBackground()), scal_(sc_) {
    view_ = new SurfaceView(sc_, this);
    view_->setObjectName(QStringLiteral("sc"));
    view_->setAccessibleDescription(QStringLiteral("sc"));
    // Held at the picture's size and centred, so the dial never stretches.
    view_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 0, Qt::AlignCenter);
}

void ScaleWidget::ach() {
    scal_.ach();
    view_->showChanged(sc_.takeChanges());
}

void ScaleWidget::init(double fullScale, int rightNumber, const QString& title) {
    scal_.init(fullScale, rightNumber, title);
    setAccessibleName(title);
    view_->showChanged(sc_.takeChanges());
}

void ScaleWidget::setdata(double value) {
    scal_.setdata(value);
    view_->showChanged(sc_.takeChanges());
}

void ScaleWidget::clear() {
    scal_.clear();
    view_->showChanged(sc_.takeChanges());
}

}  // namespace kr5
