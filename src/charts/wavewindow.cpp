#include "wavewindow.h"

#include "charts/windownames.h"

#include <QCloseEvent>

namespace kr5 {

WaveWindow::WaveWindow(Clipboard& clipboard, Dialogs& dialogs, QWidget* parent)
    : ChartWindow(clipboard, dialogs, graWidth, graHeight, QStringLiteral("trend.png"), parent) {
    nameControl(this, QStringLiteral("wave"));
    setWindowTitle(QStringLiteral("T-QNV"));

    QAction* wclose = charts::menuItem(this, QStringLiteral("wclose"), QStringLiteral("Close(&X)"));
    QAction* wcopy = charts::menuItem(this, QStringLiteral("wcopy"), QStringLiteral("Copy(&C)"));
    QAction* legendItem =
        charts::menuItem(this, QStringLiteral("wcoler"), QStringLiteral("Color(&L)"));
    QAction* wclear = charts::menuItem(this, QStringLiteral("wclear"), QStringLiteral("Erase(&D)"));
    QAction* savepic =
        charts::menuItem(this, QStringLiteral("savepic"), QStringLiteral("Save picture(&P)"));
    connect(wclose, &QAction::triggered, this, &WaveWindow::hide);
    connect(wcopy, &QAction::triggered, this, &WaveWindow::copyChart);
    connect(legendItem, &QAction::triggered, this, &WaveWindow::legendRequested);
    connect(wclear, &QAction::triggered, this, &WaveWindow::eraseRequested);
    connect(savepic, &QAction::triggered, this, &WaveWindow::savePicture);
}

void WaveWindow::closeEvent(QCloseEvent* event) {
    // Closing by the frame only hides the window; its chart stays.
    event->ignore();
    hide();
}

}  // namespace kr5
