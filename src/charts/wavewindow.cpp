#include "wavewindow.h"

#include "charts/windownames.h"
#include "platform/surfaceview.h"

#include <QCloseEvent>

namespace kr5 {

WaveWindow::WaveWindow(Clipboard& clipboard, QWidget* parent)
    : QMainWindow(parent), clipboard_(clipboard) {
    nameControl(this, QStringLiteral("wave"));
    setWindowTitle(QStringLiteral("T-QNV"));
    auto* gra = new SurfaceView(surface_, this);
    nameControl(gra, QStringLiteral("GRA"));
    setCentralWidget(gra);

    QAction* wclose = charts::menuItem(this, QStringLiteral("wclose"), QStringLiteral("Close(&X)"));
    QAction* wcopy = charts::menuItem(this, QStringLiteral("wcopy"), QStringLiteral("Copy(&C)"));
    QAction* wcoler = charts::menuItem(this, QStringLiteral("wcoler"), QStringLiteral("Color(&L)"));
    QAction* wclear = charts::menuItem(this, QStringLiteral("wclear"), QStringLiteral("Erase(&D)"));
    connect(wclose, &QAction::triggered, this, &WaveWindow::hide);
    connect(wcopy, &QAction::triggered, this, &WaveWindow::copyChart);
    connect(wcoler, &QAction::triggered, this, &WaveWindow::legendRequested);
    connect(wclear, &QAction::triggered, this, &WaveWindow::eraseRequested);
}

void WaveWindow::copyChart() {
    clipboard_.clear();
    clipboard_.setImage(surface_.image());
}

void WaveWindow::refresh() {
    centralWidget()->update();
}

void WaveWindow::closeEvent(QCloseEvent* event) {
    // Closing by the frame only hides the window; its chart stays.
    event->ignore();
    hide();
}

void WaveWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        emit shownChanged(true);
    }
}

void WaveWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (!event->spontaneous()) {
        emit shownChanged(false);
    }
}

}  // namespace kr5
