#include "qnwindow.h"

#include "charts/windownames.h"
#include "platform/surfaceview.h"

#include <QCloseEvent>
#include <QStatusBar>

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

    qm_ = new QLabel(this);
    nameControl(qm_, QStringLiteral("qm"));
    statusBar()->addWidget(qm_, 1);
    qm_->setText(QStringLiteral("Qm at 10 pulses/s: no pass yet"));
}

void QnWindow::showQm(const QString& lastPass, const QString& block, int passesInBlock) {
    qm_->setText(QStringLiteral("Qm at 10 pulses/s: last pass %1; block, %2 %3: %4")
                     .arg(lastPass)
                     .arg(passesInBlock)
                     .arg(passesInBlock == 1 ? QStringLiteral("pass") : QStringLiteral("passes"))
                     .arg(block));
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
