#include "chartwindow.h"

#include "platform/controlnames.h"
#include "platform/surfaceview.h"

#include <QShowEvent>

namespace kr5 {

ChartWindow::ChartWindow(Clipboard& clipboard, int width, int height, QWidget* parent)
    : QMainWindow(parent), clipboard_(clipboard), surface_(width, height) {
    view_ = new SurfaceView(surface_, this);
    nameControl(view_, QStringLiteral("GRA"));
    setCentralWidget(view_);
}

void ChartWindow::refresh() {
    view_->showChanged(surface_.takeChanges());
}

void ChartWindow::copyChart() {
    clipboard_.clear();
    clipboard_.setImage(surface_.image());
}

void ChartWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        emit shownChanged(true);
    }
}

void ChartWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (!event->spontaneous()) {
        emit shownChanged(false);
    }
}

}  // namespace kr5
