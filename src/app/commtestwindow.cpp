#include "commtestwindow.h"

#include "platform/controlnames.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace kr5 {

namespace {

// A read-only field: a sunken label wide enough for its longest expected content.
QLabel* field(const QString& name, const QString& widest, QWidget* parent) {
    QLabel* label = namedLabel(name, QString(), parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest) +
                           2 * label->frameWidth() + 8);
    return label;
}

struct UnitRow {
    const char* key;      // part of the control names
    const char* caption;  // the unit as the operator knows it
};
constexpr std::array<UnitRow, 3> kUnitRows{{
    {"Kr", "KR-5"},
    {"Acu", "ACU"},
    {"Zn", "ZN-4"},
}};

int kindRow(UnitKind kind) {
    switch (kind) {
        case UnitKind::Detector:
            return 0;
        case UnitKind::AcUnit:
            return 1;
        case UnitKind::NoiseDiscriminator:
            return 2;
    }
    return 0;
}

}  // namespace

CommTestWindow::CommTestWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    nameControl(this, QStringLiteral("commtest"));
    setWindowTitle(QStringLiteral("Unit search"));

    auto* layout = new QVBoxLayout(this);
    auto* scanRow = new QHBoxLayout;
    scanRow->addWidget(
        namedLabel(QStringLiteral("scanCaption"), QStringLiteral("Scanning Unit"), this));
    scanAddress_ = field(QStringLiteral("scanAddress"), QStringLiteral("00"), this);
    scanRow->addWidget(scanAddress_);
    scanRow->addStretch(1);
    layout->addLayout(scanRow);

    auto* sections = new QHBoxLayout;
    for (int port = 1; port <= 2; ++port) {
        sections->addWidget(buildPortSection(port, fields_[port - 1]));
    }
    layout->addLayout(sections);
}

QWidget* CommTestWindow::buildPortSection(int port, PortFields& fields) {
    const QString com = QStringLiteral("com%1").arg(port);
    auto* box = new QGroupBox(QStringLiteral("COM%1").arg(port), this);
    nameControl(box, com);

    auto* grid = new QGridLayout(box);
    grid->addWidget(namedLabel(com + QStringLiteral("UnitCaption"), QStringLiteral("Unit"), box), 0,
                    0);
    grid->addWidget(
        namedLabel(com + QStringLiteral("AddressCaption"), QStringLiteral("Address"), box), 0, 1);
    for (int row = 0; row < 3; ++row) {
        const QString key = com + QLatin1String(kUnitRows[row].key);
        grid->addWidget(
            namedLabel(key + QStringLiteral("Caption"), QLatin1String(kUnitRows[row].caption), box),
            row + 1, 0);
        fields[row].address = field(key + QStringLiteral("Address"), QStringLiteral("00"), box);
        // The identification text is 13 characters, such as "KR-5 Ver.1.00".
        fields[row].ident =
            field(key + QStringLiteral("Ident"), QStringLiteral("MMMMMMMMMMMMM"), box);
        grid->addWidget(fields[row].address, row + 1, 1);
        grid->addWidget(fields[row].ident, row + 1, 2);
    }
    grid->setColumnStretch(2, 1);
    return box;
}

void CommTestWindow::showProgress() {
    show();
    raise();
}

void CommTestWindow::probing(int /*port*/, int index) {
    scanAddress_->setText(QString::number(index));
}

void CommTestWindow::found(int port, UnitKind kind, int index, const QString& ident) {
    if (port < 1 || port > 2) {
        return;
    }
    UnitFields& unit = fields_[port - 1][kindRow(kind)];
    unit.address->setText(QString::number(index));
    unit.ident->setText(ident);
}

void CommTestWindow::hideProgress() {
    hide();
}

}  // namespace kr5
