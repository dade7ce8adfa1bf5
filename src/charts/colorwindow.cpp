#include "colorwindow.h"

#include "charts/legend.h"
#include "charts/windownames.h"
#include "platform/surfaceview.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kr5 {

namespace {

// The legend's layout for the font every picture is drawn in, so that its texts show whole
// whatever font the machine gives.
LegendLayout measuredLayout() {
    const ImageSurface measure(1, 1);
    return legendLayout([&measure](const QString& text) { return measure.textWidth(text); });
}

}  // namespace

ColorWindow::ColorWindow(const InputConstants& constants, const ColourTable& colours,
                         QWidget* parent)
    : QMainWindow(parent), constants_(constants), colours_(colours), layout_(measuredLayout()) {
    nameControl(this, QStringLiteral("Color"));
    setWindowTitle(QStringLiteral("Color"));
    auto* central = new QWidget(this);
    nameControl(central, QStringLiteral("central"));
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(namedLabel(QStringLiteral("Label1"),
                                 QStringLiteral("P.P.S Graph color. Change for Att Range"),
                                 central));
    layout->addWidget(namedLabel(QStringLiteral("Label2"), QStringLiteral("ATT Range"), central));
    auto* view = new SurfaceView(legend_, central);
    nameControl(view, QStringLiteral("Coltbl"));
    layout->addWidget(view, 0, Qt::AlignHCenter);
    auto* ok = new QPushButton(QStringLiteral("OK"), central);
    nameControl(ok, QStringLiteral("Command1"));
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    setCentralWidget(central);

    // The legend's Copy item has no action.
    charts::menuItem(this, QStringLiteral("ccop"), QStringLiteral("Copy"));
    connect(ok, &QPushButton::clicked, this, &ColorWindow::hide);
}

void ColorWindow::showLegend() {
    if (!drawn_) {
        drawLegend(legend_, constants_, colours_, layout_);
        drawn_ = true;
    }
    show();
}

void ColorWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

}  // namespace kr5
