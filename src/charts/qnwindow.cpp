#include "qnwindow.h"

#include "charts/picturesave.h"
#include "charts/windownames.h"
#include "platform/surfaceview.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QMenuBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace kr5 {

QnWindow::QnWindow(Clipboard& clipboard, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), picture_(clipboard, dialogs) {
    nameControl(this, QStringLiteral("QN"));
    setWindowTitle(QStringLiteral("Q-N"));
    auto* chartView = new SurfaceView(picture_.surface(), this);
    nameControl(chartView, QStringLiteral("GRA"));
    // A still picture: it may grow with the window, smoothed, as a live chart may not.
    chartView->setScaling(SurfaceView::Scaling::Fill);
    setCentralWidget(chartView);

    QAction* qclose = charts::menuItem(this, QStringLiteral("qclose"), QStringLiteral("Close(&X)"));
    QAction* qnsave = charts::menuItem(this, QStringLiteral("qnsave"), QStringLiteral("Save(&S)"));
    QAction* qcopy = charts::menuItem(this, QStringLiteral("qcopy"), QStringLiteral("Copy(&C)"));
    QAction* savepic =
        charts::menuItem(this, QStringLiteral("savepic"), QStringLiteral("Save picture(&P)"));
    QAction* savecounts =
        charts::menuItem(this, QStringLiteral("savecounts"), QStringLiteral("Save counts(&N)"));
    connect(qclose, &QAction::triggered, this, &QnWindow::hide);
    connect(qnsave, &QAction::triggered, this, &QnWindow::savePicture);
    connect(qcopy, &QAction::triggered, this, &QnWindow::copyPicture);
    connect(savepic, &QAction::triggered, this, &QnWindow::savePictureAs);
    connect(savecounts, &QAction::triggered, this, &QnWindow::saveCounts);

    // Qm and, under it, NQN.
    auto* figures = new QWidget(this);
    auto* lines = new QVBoxLayout(figures);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(0);
    qm_ = new QLabel(figures);
    nameControl(qm_, QStringLiteral("qm"));
    // Qm beyond the ranges reads longer; it takes a second line rather than being cut.
    qm_->setWordWrap(true);
    qm_->setText(QStringLiteral("Qm at 10 pulses/s: no pass yet"));
    nqn_ = new QLabel(figures);
    nameControl(nqn_, QStringLiteral("nqn"));
    lines->addWidget(qm_);
    lines->addWidget(nqn_);
    statusBar()->addWidget(figures, 1);
}

QSize QnWindow::sizeHint() const {
    // A line as long as the Qm of a block of full passes reads.
    const QString typicalQm =
        QStringLiteral("Qm at 10 pulses/s: last pass 1234.5 pC; block, 31 passes: 1234.5 pC");
    // Beside it in the status bar: the size grip, and the bar's margins around both.
    const int grip = style()->pixelMetric(QStyle::PM_SizeGripSize, nullptr, this);
    const int besideQm = grip + 16;
    const int qmWidth = qm_->fontMetrics().horizontalAdvance(typicalQm) + besideQm;
    QSize hint = QMainWindow::sizeHint();
    hint.setWidth(std::max({hint.width(), menuBar()->sizeHint().width(), qmWidth}));
    return hint;
}

void QnWindow::showQm(const QString& lastPass, const QString& block, int passesInBlock) {
    qm_->setText(QStringLiteral("Qm at 10 pulses/s: last pass %1; block, %2 %3: %4")
                     .arg(lastPass)
                     .arg(passesInBlock)
                     .arg(passesInBlock == 1 ? QStringLiteral("pass") : QStringLiteral("passes"))
                     .arg(block));
}

void QnWindow::showNqn(const QString& lastPass, const QString& block) {
    nqn_->setText(QStringLiteral("NQN: last pass %1; block %2").arg(lastPass, block));
}

void QnWindow::savePictureAs() {
    if (picture_.hasPicture()) {
        kr5::savePicture(dialogs_, picture_.surface().image(), picture_.drawing(),
                         QStringLiteral("qn.png"));
    }
}

void QnWindow::setCounts(const QnPasses& passes, double adjust) {
    passes_ = passes;
    adjust_ = adjust;
}

void QnWindow::saveCounts() {
    if (!passes_.empty()) {
        saveCsv(dialogs_, qnCountsCsv(passes_, adjust_), QStringLiteral("qn.csv"));
    }
}

void QnWindow::copyIn(const QImage& vqPicture, const SurfaceDrawing& vqDrawing) {
    picture_.copyIn(vqPicture, vqDrawing);
    show();
    centralWidget()->update();
}

void QnWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

void QnWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        emit shownChanged(true);
    }
}

void QnWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (!event->spontaneous()) {
        emit shownChanged(false);
    }
}

}  // namespace kr5
