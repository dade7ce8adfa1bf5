#include "vqwindow.h"

#include "charts/windownames.h"

#include <QCloseEvent>
#include <QPlainTextEdit>

namespace kr5 {

VqWindow::VqWindow(Clipboard& clipboard, QWidget* parent)
    : ChartWindow(clipboard, graWidth, graHeight, parent) {
    nameControl(this, QStringLiteral("VQ"));
    setWindowTitle(QStringLiteral("V-Q"));
    QWidget* gra = centralWidget();

    // The result box lies over the chart's upper part, below the CSV and CEV labels.
    resultBox_ = new QPlainTextEdit(gra);
    nameControl(resultBox_, QStringLiteral("Text1"));
    resultBox_->setGeometry(32, 80, 337, 49);
    resultBox_->setReadOnly(true);
    resultBox_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Two lines of results need no scroll bars, and the box is repainted with the chart.
    resultBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    resultBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    QAction* vqcls = charts::menuItem(this, QStringLiteral("vqcls"), QStringLiteral("Close(&X)"));
    QAction* vcopy = charts::menuItem(this, QStringLiteral("vcopy"), QStringLiteral("Copy(&C)"));
    QAction* verase = charts::menuItem(this, QStringLiteral("verase"), QStringLiteral("Erase(&D)"));
    QAction* sdata = charts::menuItem(this, QStringLiteral("sdata"), QStringLiteral("Save(&S)"));
    connect(vqcls, &QAction::triggered, this, &VqWindow::hide);
    connect(vcopy, &QAction::triggered, this, &VqWindow::copyChart);
    connect(verase, &QAction::triggered, this, &VqWindow::eraseRequested);
    connect(sdata, &QAction::triggered, this, &VqWindow::saveRequested);
}

bool VqWindow::resultTextShown() const {
    return !resultBox_->isHidden();
}

void VqWindow::setResultText(const QString& text) {
    resultText_ = text;
    QString display = text;
    display.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    resultBox_->setPlainText(display);
}

void VqWindow::setResultTextShown(bool visible) {
    resultBox_->setVisible(visible);
}

void VqWindow::closeEvent(QCloseEvent* event) {
    // The window hides at once; its chart and text count as discarded from now on.
    event->ignore();
    hide();
    emit unloaded();
}

}  // namespace kr5
