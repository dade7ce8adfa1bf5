#include "constantswindow.h"

#include "platform/controlnames.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace kr5 {

namespace {

// Qt's scroll bar answers Home, End and the page keys but lets the arrow keys go by; an
// operator setting Set Q from the keyboard expects them to move it a step.
class SteppingScrollBar : public QScrollBar {
  public:
    using QScrollBar::QScrollBar;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        switch (event->key()) {
            case Qt::Key_Left:
            case Qt::Key_Down:
                triggerAction(SliderSingleStepSub);
                break;
            case Qt::Key_Right:
            case Qt::Key_Up:
                triggerAction(SliderSingleStepAdd);
                break;
            default:
                QScrollBar::keyPressEvent(event);
                return;
        }
        event->accept();
    }
};

}  // namespace

ConstantsWindow::ConstantsWindow(ConstantsForm& constants, QWidget* parent)
    : QDialog(parent), constants_(constants) {
    nameControl(this, QStringLiteral("kousei"));
    setWindowTitle(QStringLiteral("Input const"));
    setModal(false);

    grid_ = new QGridLayout;
    addField(0, QStringLiteral("Text1"), QStringLiteral("Name"), &InputFields::name);
    addField(1, QStringLiteral("Text2"), QStringLiteral("No."), &InputFields::number);
    addField(2, QStringLiteral("Text3"), QStringLiteral("Temp."), &InputFields::temperature,
             QStringLiteral("℃"));
    addField(3, QStringLiteral("Text4"), QStringLiteral("RH"), &InputFields::humidity,
             QStringLiteral("％"));
    addField(4, QStringLiteral("Text5"), QStringLiteral("PT Ratio"), &InputFields::ptRatio);
    QLineEdit* adjustField = addField(5, QStringLiteral("Text6"), QStringLiteral("Adjust"),
                                      &InputFields::adjust, QStringLiteral("pC/V"));

    setQBar_ = new SteppingScrollBar(Qt::Horizontal, this);
    nameControl(setQBar_, QStringLiteral("HScroll3"));
    setQBar_->setRange(0, ConstantsForm::setQIndexMax);
    setQBar_->setPageStep(1);
    // Set from the keyboard too: the arrow keys move it a step, Home and End to its ends.
    setQBar_->setFocusPolicy(Qt::StrongFocus);
    setQLabel_ = namedLabel(QStringLiteral("Label16"), QString(), this);
    setQLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setQLabel_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
    auto* setQRow = new QWidget(this);
    auto* setQLayout = new QHBoxLayout(setQRow);
    setQLayout->setContentsMargins(0, 0, 0, 0);
    setQLayout->addWidget(setQBar_, 1);
    setQLayout->addWidget(setQLabel_);
    addRow(6, QStringLiteral("Set Q"), setQRow, QStringLiteral("pC"));

    addField(7, QStringLiteral("Text7"), QStringLiteral("Start Count"), &InputFields::start,
             QStringLiteral("P.P.S"));
    addField(8, QStringLiteral("Text8"), QStringLiteral("Stop Count"), &InputFields::stop,
             QStringLiteral("P.P.S"));

    problem_ = namedLabel(QStringLiteral("okmsg"), QString(), this);
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #c00000"));
    problem_->hide();

    okButton_ = namedButton(QStringLiteral("Command1"), QStringLiteral("OK"), this);
    auto* cancelButton = namedButton(QStringLiteral("Command2"), QStringLiteral("CANCEL"), this);
    okButton_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid_);
    layout->addWidget(problem_);
    layout->addLayout(buttons);

    connect(setQBar_, &QScrollBar::valueChanged, this, &ConstantsWindow::showSetQ);
    // Typed Adjust shows in Set Q when the field is left. A text set by an assistive tool
    // has no such moment and shows at once: textEdited comes just before textChanged for
    // typing only.
    connect(adjustField, &QLineEdit::editingFinished, this, &ConstantsWindow::showSetQ);
    connect(adjustField, &QLineEdit::textEdited, this, [this] { adjustTyped_ = true; });
    connect(adjustField, &QLineEdit::textChanged, this, [this] {
        if (!adjustTyped_) {
            setQLabel_->setText(constants_.setQText());
        }
        adjustTyped_ = false;
    });
    connect(okButton_, &QPushButton::clicked, this, &ConstantsWindow::okClicked);
    connect(cancelButton, &QPushButton::clicked, this, &ConstantsWindow::cancelClicked);
    connect(&constants_, &ConstantsForm::fieldsLoaded, this, &ConstantsWindow::showFields);
    showFields();
}

// Caption labels are Label1 to Label9 from the top, unit labels Label10 to Label15.
void ConstantsWindow::addRow(int row, const QString& caption, QWidget* field, const QString& unit) {
    QLabel* captionLabel = namedLabel(QStringLiteral("Label%1").arg(row + 1), caption, this);
    captionLabel->setBuddy(field);
    grid_->addWidget(captionLabel, row, 0);
    grid_->addWidget(field, row, 1);
    if (!unit.isEmpty()) {
        const QString unitName = QStringLiteral("Label%1").arg(nextUnitLabel_++);
        grid_->addWidget(namedLabel(unitName, unit, this), row, 2);
    }
}

QLineEdit* ConstantsWindow::addField(int row, const QString& name, const QString& caption,
                                     QString InputFields::*field, const QString& unit) {
    auto* edit = new QLineEdit(this);
    nameControl(edit, name);
    addRow(row, caption, edit, unit);
    fields_.emplace_back(edit, field);
    // Every change counts, typed or set by an assistive tool through the accessibility
    // interface (which sets the text as a program does). Loading the fields writes back
    // the very values they were filled from, so it changes nothing.
    connect(edit, &QLineEdit::textChanged, this,
            [this, field](const QString& text) { constants_.fields.*field = text; });
    return edit;
}

void ConstantsWindow::showFields() {
    for (const auto& [edit, field] : fields_) {
        edit->setText(constants_.fields.*field);
    }
    setQBar_->setValue(constants_.fields.setQIndex);
    showSetQ();
}

void ConstantsWindow::showSetQ() {
    constants_.moveSetQ(setQBar_->value());
    const QString text = constants_.setQText();
    setQLabel_->setText(text);
    setQBar_->setAccessibleName(QStringLiteral("Set Q %1 pC").arg(text));
}

void ConstantsWindow::setOkEnabled(bool enabled) {
    okButton_->setEnabled(enabled);
}

void ConstantsWindow::okClicked() {
    if (constants_.ok() == ConstantsForm::OkResult::Saved) {
        problem_->clear();
        problem_->hide();
        hide();
        return;
    }
    // The window stays open with the edits, so that nothing typed is lost.
    problem_->setText(constants_.problem());
    problem_->show();
}

void ConstantsWindow::cancelClicked() {
    problem_->clear();
    problem_->hide();
    constants_.cancel();
    hide();
}

void ConstantsWindow::reject() {
    cancelClicked();
}

void ConstantsWindow::closeEvent(QCloseEvent* event) {
    // The window stays loaded; closing it is CANCEL.
    event->ignore();
    cancelClicked();
}

}  // namespace kr5
