#include "vqwindow.h"

#include "charts/windownames.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTableView>

namespace kr5 {

namespace {

// Where the noise warning lies on the chart, and how wide it is.
constexpr int warningLeft = 36;
constexpr int warningTop = 240;
constexpr int warningWidth = 325;
// The result table's area beside the chart: as wide as the box the table once had on the
// chart, which holds a short name and the voltages without scrolling sideways.
constexpr int resultWidth = 337;

}  // namespace

VqWindow::VqWindow(Clipboard& clipboard, Dialogs& dialogs, QWidget* parent)
    : ChartWindow(clipboard, dialogs, graWidth, graHeight, QStringLiteral("vq.png"), parent) {
    nameControl(this, QStringLiteral("VQ"));
    setWindowTitle(QStringLiteral("V-Q"));
    // The chart at its own size, the result table in an area of its own beside it, as high
    // as the chart, so that no row ever hides a part of the chart. Beside rather than under
    // it: on a 768-pixel screen the trend window and this one fit one over the other only
    // at the chart's own height.
    QWidget* gra = takeCentralWidget();
    auto* area = new QWidget(this);
    nameControl(area, QStringLiteral("vqArea"));
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(gra, 0, Qt::AlignLeft | Qt::AlignTop);
    setCentralWidget(area);

    // Over the lower part of the chart, where the curves of a test seldom run, on a light
    // face of its own so that it reads over them.
    noiseWarning_ = new QLabel(gra);
    nameControl(noiseWarning_, QStringLiteral("noiseWarning"));
    noiseWarning_->setWordWrap(true);
    noiseWarning_->setFixedWidth(warningWidth);
    noiseWarning_->move(warningLeft, warningTop);
    noiseWarning_->setAutoFillBackground(true);
    QPalette warningColours = noiseWarning_->palette();
    warningColours.setColor(QPalette::Window, QColor(0xFF, 0xF4, 0xC0));
    warningColours.setColor(QPalette::WindowText, QColor(0xA0, 0x00, 0x00));
    noiseWarning_->setPalette(warningColours);
    noiseWarning_->hide();

    // The columns take the width of their widest text, title or value, in the font in use;
    // when a long test name makes them wider than the area, the table scrolls sideways.
    resultTable_ = new QTableView(area);
    nameControl(resultTable_, QStringLiteral("Text1"));
    resultModel_ = new ResultTableModel(resultTable_);
    resultTable_->setModel(resultModel_);
    resultTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    resultTable_->setWordWrap(false);
    resultTable_->setTextElideMode(Qt::ElideNone);
    resultTable_->verticalHeader()->hide();
    resultTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    resultTable_->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    resultTable_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    resultTable_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    resultTable_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Hidden while there is no result, its area stays, so that the window keeps its size.
    QSizePolicy keepArea(QSizePolicy::Expanding, QSizePolicy::Expanding);
    keepArea.setRetainSizeWhenHidden(true);
    resultTable_->setSizePolicy(keepArea);
    resultTable_->setMinimumWidth(resultWidth);
    row->addWidget(resultTable_, 1);
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
    // Each column as wide as its texts; the newest row in view.
    resultTable_->horizontalHeader()->resizeSections(QHeaderView::ResizeToContents);
    resultTable_->scrollToBottom();
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
