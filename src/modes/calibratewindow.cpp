#include "calibratewindow.h"

#include "platform/controlnames.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kr5 {

CalibrateWindow::CalibrateWindow(Calibration& calibration, QWidget* parent)
    : QDialog(parent), calibration_(calibration) {
    nameControl(this, QStringLiteral("calibrate"));
    setWindowTitle(tr("Calibrate"));
    setModal(false);

    QLabel* hint = namedLabel(QStringLiteral("hint"),
                              tr("Switch the high voltage off and connect the charge calibrator "
                                 "to the test object. Keep the detector at one range while it "
                                 "measures."),
                              this);
    hint->setWordWrap(true);

    q0_ = new QLineEdit(this);
    nameControl(q0_, QStringLiteral("q0"));
    q1_ = new QLineEdit(this);
    nameControl(q1_, QStringLiteral("q1"));
    measure_ = namedButton(QStringLiteral("measure"), tr("Measure"), this);
    measure2_ = namedButton(QStringLiteral("measure2"), tr("Measure second value"), this);
    raw_ = namedLabel(QStringLiteral("raw"), QString(), this);
    range_ = namedLabel(QStringLiteral("range"), QString(), this);
    proposal_ = namedLabel(QStringLiteral("proposal"), QString(), this);
    linearity_ = namedLabel(QStringLiteral("linearity"), QString(), this);

    auto* grid = new QGridLayout;
    const auto caption = [this, grid](int row, const QString& name, const QString& text,
                                      QWidget* buddy) {
        QLabel* label = namedLabel(name, text, this);
        label->setBuddy(buddy);
        grid->addWidget(label, row, 0);
    };
    caption(0, QStringLiteral("Label1"), tr("Calibrator charge &q0"), q0_);
    grid->addWidget(q0_, 0, 1);
    grid->addWidget(namedLabel(QStringLiteral("Label2"), tr("pC"), this), 0, 2);
    grid->addWidget(measure_, 0, 3);
    caption(1, QStringLiteral("Label3"), tr("Second value q&1 (optional)"), q1_);
    grid->addWidget(q1_, 1, 1);
    grid->addWidget(namedLabel(QStringLiteral("Label4"), tr("pC"), this), 1, 2);
    grid->addWidget(measure2_, 1, 3);
    const std::pair<const char*, QLabel*> readouts[] = {{QT_TR_NOOP("Mean raw peak"), raw_},
                                                        {QT_TR_NOOP("Range"), range_},
                                                        {QT_TR_NOOP("Proposed Adjust"), proposal_},
                                                        {QT_TR_NOOP("Linearity"), linearity_}};
    int row = 2;
    for (const auto& [text, readout] : readouts) {
        caption(row, QStringLiteral("Label%1").arg(row + 3), tr(text), readout);
        grid->addWidget(readout, row, 1, 1, 3);
        ++row;
    }

    warnings_ = namedLabel(QStringLiteral("calwarn"), QString(), this);
    warnings_->setWordWrap(true);
    warnings_->setStyleSheet(QStringLiteral("color: #c00000"));

    accept_ = namedButton(QStringLiteral("accept"), tr("Accept"), this);
    auto* close = namedButton(QStringLiteral("close"), tr("Close"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(accept_);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(grid);
    layout->addWidget(warnings_);
    layout->addLayout(buttons);

    connect(measure_, &QPushButton::clicked, this, &CalibrateWindow::measureClicked);
    connect(measure2_, &QPushButton::clicked, this, &CalibrateWindow::measure2Clicked);
    connect(accept_, &QPushButton::clicked, this, &CalibrateWindow::acceptClicked);
    connect(close, &QPushButton::clicked, this, &CalibrateWindow::closeClicked);
    connect(&calibration_, &Calibration::changed, this, &CalibrateWindow::showModel);
    showModel();
}

void CalibrateWindow::measureClicked() {
    refusal_ = calibration_.start(q0_->text());
    showModel();
}

void CalibrateWindow::measure2Clicked() {
    refusal_ = calibration_.startSecond(q1_->text());
    showModel();
}

void CalibrateWindow::acceptClicked() {
    refusal_ = acceptIntent_ ? acceptIntent_() : calibration_.accept();
    showModel();
}

void CalibrateWindow::closeClicked() {
    calibration_.stop();
    refusal_.clear();
    hide();
}

void CalibrateWindow::reject() {
    closeClicked();
}

void CalibrateWindow::closeEvent(QCloseEvent* event) {
    // The window stays loaded; closing it is Close.
    event->ignore();
    closeClicked();
}

void CalibrateWindow::showModel() {
    const bool averaging = calibration_.averaging();
    raw_->setText(averaging ? calibration_.progressText() : calibration_.rawText());
    range_->setText(averaging ? QString() : calibration_.rangeText());
    proposal_->setText(calibration_.proposalText());
    linearity_->setText(calibration_.linearityText());
    QStringList warnings;
    if (!refusal_.isEmpty()) {
        warnings << refusal_;
    }
    if (!averaging && !calibration_.warningText().isEmpty()) {
        warnings << calibration_.warningText();
    }
    warnings_->setText(warnings.join(QLatin1Char('\n')));
    const bool proposed = !averaging && calibration_.proposal().has_value();
    accept_->setEnabled(proposed);
    measure2_->setEnabled(proposed);
}

}  // namespace kr5
