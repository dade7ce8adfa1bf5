#include "vqwindow.h"

#include "charts/windownames.h"
#include "platform/surfaceview.h"

#include <QCloseEvent>
#include <QPlainTextEdit>

namespace kr5 {

VqWindow::VqWindow(Clipboard& clipboard, QWidget* parent)
    : QMainWindow(parent), clipboard_(clipboard) {
    nameControl(this, QStringLiteral("VQ"));
    setWindowTitle(QStringLiteral("V-Q"));
    auto* gra = new SurfaceView(surface_, this);
    nameControl(gra, QStringLiteral("GRA"));
    setCentralWidget(gra);

    // The result box lies over the chart's upper part, below the CSV and CEV labels.
    text1Box_ = new QPlainTextEdit(gra);
    nameControl(text1Box_, QStringLiteral("Text1"));
    text1Box_->setGeometry(32, 80, 337, 49);
    text1Box_->setReadOnly(true);
    text1Box_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Two lines of results need no scroll bars, and the box is repainted with the chart.
    text1Box_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text1Box_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    QAction* vqcls = charts::menuItem(this, QStringLiteral("vqcls"), QStringLiteral("Close(&X)"));
    QAction* vcopy = charts::menuItem(this, QStringLiteral("vcopy"), QStringLiteral("Copy(&C)"));
    QAction* verase = charts::menuItem(this, QStringLiteral("verase"), QStringLiteral("Erase(&D)"));
    QAction* sdata = charts::menuItem(this, QStringLiteral("sdata"), QStringLiteral("Save(&S)"));
    connect(vqcls, &QAction::triggered, this, &VqWindow::vqclsClick);
    connect(vcopy, &QAction::triggered, this, &VqWindow::vcopyClick);
    connect(verase, &QAction::triggered, this, &VqWindow::veraseClick);
    connect(sdata, &QAction::triggered, this, &VqWindow::sdataClick);
}

bool VqWindow::text1Shown() const {
    return !text1Box_->isHidden();
}

void VqWindow::setText1(const QString& text) {
    text1_ = text;
    QString display = text;
    display.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text1Box_->setPlainText(display);
}

void VqWindow::setText1Shown(bool visible) {
    text1Box_->setVisible(visible);
}

void VqWindow::vcopyClick() {
    clipboard_.clear();
    clipboard_.setImage(surface_.image());
}

void VqWindow::veraseClick() {
    if (onErase) {
        onErase();
    }
}

void VqWindow::sdataClick() {
    if (onSave) {
        onSave();
    }
}

void VqWindow::refresh() {
    centralWidget()->update();
}

void VqWindow::closeEvent(QCloseEvent* event) {
    // The window hides at once; its chart and text count as discarded from now on.
    event->ignore();
    hide();
    if (onUnload) {
        onUnload();
    }
}

void VqWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    shown.changed(*this, *event);
}

void VqWindow::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    shown.changed(*this, *event);
}

}  // namespace kr5
