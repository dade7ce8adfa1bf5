#include "qnwindow.h"

#include "charts/windownames.h"
#include "platform/surfaceview.h"

#include <QCloseEvent>

namespace kr5 {

QnWindow::QnWindow(Clipboard& clipboard, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), picture_(clipboard, dialogs) {
    nameControl(this, QStringLiteral("QN"));
    setWindowTitle(QStringLiteral("Q-N"));
    auto* gra = new SurfaceView(picture_.surface(), this);
    nameControl(gra, QStringLiteral("GRA"));
    setCentralWidget(gra);

    QAction* qclose = charts::menuItem(this, QStringLiteral("qclose"), QStringLiteral("Close(&X)"));
    QAction* qnsave = charts::menuItem(this, QStringLiteral("qnsave"), QStringLiteral("Save(&S)"));
    QAction* qcopy = charts::menuItem(this, QStringLiteral("qcopy"), QStringLiteral("Copy(&C)"));
    connect(qclose, &QAction::triggered, this, &QnWindow::hide);
    connect(qnsave, &QAction::triggered, this, &QnWindow::savePicture);
    connect(qcopy, &QAction::triggered, this, &QnWindow::copyPicture);
}

void QnWindow::copyIn(const QImage& vqPicture) {
    picture_.copyIn(vqPicture);
    show();
    centralWidget()->update();
}

void QnWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

}  // namespace kr5
