#include "chartwindow.h"

#include "charts/picturesave.h"
#include "platform/controlnames.h"
#include "platform/surfaceview.h"

#include <QShowEvent>

namespace kr5 {

ChartWindow::ChartWindow(Clipboard& clipboard, Dialogs& dialogs, int width, int height,
                         const QString& pictureName, QWidget* parent)
    : QMainWindow(parent),
      clipboard_(clipboard),
      dialogs_(dialogs),
      pictureName_(pictureName),
      surface_(width, height) {
    surface_.keepDrawing();
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

void ChartWindow::savePicture() {
    kr5::savePicture(dialogs_, surface_.image(), surface_.drawing(), pictureName_);
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
