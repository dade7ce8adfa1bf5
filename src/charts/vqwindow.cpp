#include "vqwindow.h"

#include "charts/windownames.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>

namespace kr5 {

namespace {

// Where the result box has always been on the chart, and its height while empty.
constexpr int resultLeft = 32;
constexpr int resultTop = 80;
constexpr int resultWidth = 337;
constexpr int resultMinHeight = 49;
constexpr int warningTop = 240;

}  // namespace

VqWindow::VqWindow(Clipboard& clipboard, Dialogs& dialogs, QWidget* parent)
    : ChartWindow(clipboard, dialogs, graWidth, graHeight, QStringLiteral("vq.png"), parent) {
    nameControl(this, QStringLiteral("VQ"));
    setWindowTitle(QStringLiteral("V-Q"));
    QWidget* gra = centralWidget();

    // The result table lies over the chart's upper part, below the CSV and CEV labels. Its
    // columns take the width of their widest text, title or value, in the font in use; when
    // a long test name makes them wider than the box, the table scrolls sideways.
    // Over the lower part of the chart, where the curves of a test seldom run, on a light
    // face of its own so that it reads over them.
    noiseWarning_ = new QLabel(gra);
    nameControl(noiseWarning_, QStringLiteral("noiseWarning"));
    noiseWarning_->setWordWrap(true);
    noiseWarning_->setFixedWidth(resultWidth - 12);
    noiseWarning_->move(resultLeft + 4, warningTop);
    noiseWarning_->setAutoFillBackground(true);
    QPalette warningColours = noiseWarning_->palette();
    warningColours.setColor(QPalette::Window, QColor(0xFF, 0xF4, 0xC0));
    warningColours.setColor(QPalette::WindowText, QColor(0xA0, 0x00, 0x00));
    noiseWarning_->setPalette(warningColours);
    noiseWarning_->hide();

    resultTable_ = new QTableView(gra);
    nameControl(resultTable_, QStringLiteral("Text1"));
    resultModel_ = new ResultTableModel(resultTable_);
    resultTable_->setModel(resultModel_);
    resultTable_->move(resultLeft, resultTop);
    resultTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    resultTable_->setWordWrap(false);
    resultTable_->setTextElideMode(Qt::ElideNone);
    resultTable_->verticalHeader()->hide();
    resultTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    resultTable_->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    resultTable_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    resultTable_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    resultTable_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fitResultTable();

    QAction* vqcls = charts::menuItem(this, QStringLiteral("vqcls"), QStringLiteral("Close(&X)"));
    QAction* vcopy = charts::menuItem(this, QStringLiteral("vcopy"), QStringLiteral("Copy(&C)"));
    QAction* verase = charts::menuItem(this, QStringLiteral("verase"), QStringLiteral("Erase(&D)"));
    QAction* sdata = charts::menuItem(this, QStringLiteral("sdata"), QStringLiteral("Save(&S)"));
    QAction* savepic =
        charts::menuItem(this, QStringLiteral("savepic"), QStringLiteral("Save picture(&P)"));
    connect(vqcls, &QAction::triggered, this, &VqWindow::hide);
    connect(vcopy, &QAction::triggered, this, &VqWindow::copyChart);
    connect(verase, &QAction::triggered, this, &VqWindow::eraseRequested);
    connect(sdata, &QAction::triggered, this, &VqWindow::saveRequested);
    connect(savepic, &QAction::triggered, this, &VqWindow::savePicture);
}

bool VqWindow::resultTextShown() const {
    return !resultTable_->isHidden();
}

void VqWindow::setResultText(const QString& text) {
    resultText_ = text;
    resultModel_->setTable(text);
    fitResultTable();
}

void VqWindow::fitResultTable() {
    // As wide as the chart leaves room for; as high as the titles, the rows and, when the
    // columns are wider than that, the scroll bar, so no row is ever cut.
    const int frame = 2 * resultTable_->frameWidth();
    QHeaderView* titles = resultTable_->horizontalHeader();
    titles->resizeSections(QHeaderView::ResizeToContents);
    int height = frame + titles->sizeHint().height();
    for (int row = 0; row < resultModel_->rowCount(); ++row) {
        height += resultTable_->rowHeight(row);
    }
    if (titles->length() > resultWidth - frame) {
        height += resultTable_->horizontalScrollBar()->sizeHint().height();
    }
    resultTable_->resize(resultWidth, std::max(height, resultMinHeight));
}

void VqWindow::setNoiseWarning(const QString& warning) {
    noiseWarning_->setText(warning);
    noiseWarning_->adjustSize();
    noiseWarning_->setVisible(!warning.isEmpty());
}

void VqWindow::setResultDoubt(const QString& doubt) {
    resultModel_->setDoubt(doubt);
}

void VqWindow::setResultTextShown(bool visible) {
    resultTable_->setVisible(visible);
}

void VqWindow::closeEvent(QCloseEvent* event) {
    // The window hides at once; its chart and text count as discarded from now on.
    event->ignore();
    hide();
    emit unloaded();
}

}  // namespace kr5
