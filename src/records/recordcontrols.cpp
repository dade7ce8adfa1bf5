#include "recordcontrols.h"

#include "platform/controlnames.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace kr5 {

RecordControls::RecordControls(Recorder& recorder, QWidget* parent)
    : QWidget(parent), recorder_(recorder) {
    nameControl(this, QStringLiteral("recordControls"));
    frec_ = new QGroupBox(this);
    nameControl(frec_, QStringLiteral("Frec"));
    option1_ = new QRadioButton(recorder.recOnCaption(), frec_);
    nameControl(option1_, QStringLiteral("Option1"));
    option2_ = new QRadioButton(QStringLiteral("PAUSE"), frec_);
    nameControl(option2_, QStringLiteral("Option2"));
    auto* frecLayout = new QHBoxLayout(frec_);
    frecLayout->addWidget(option1_);
    frecLayout->addWidget(option2_);
    bclose_ = namedButton(QStringLiteral("bclose"), QStringLiteral("CLOSE"), this);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frec_);
    layout->addWidget(bclose_, 0, Qt::AlignVCenter);
    layout->addStretch(1);

    connect(option1_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            recorder_.option1Click();
        }
    });
    connect(option2_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            recorder_.option2Click();
        }
    });
    connect(bclose_, &QPushButton::clicked, &recorder_, &Recorder::bcloseClick);
    connect(&recorder_, &Recorder::preparedChanged, this, &RecordControls::showPrepared);
    connect(&recorder_, &Recorder::selectionChanged, this, &RecordControls::showSelection);
    connect(&recorder_, &Recorder::recOnCaptionChanged, option1_, &QRadioButton::setText);

    showSelection(recorder_.recOnSelected());
    showPrepared(recorder_.csvready());
}

void RecordControls::showPrepared(bool prepared) {
    frec_->setVisible(prepared);
    bclose_->setVisible(prepared);
}

void RecordControls::showSelection(bool recOn) {
    // The selection comes from the recorder: no click handler runs for it. Checking one
    // button of the pair unchecks the other.
    const QSignalBlocker block1(option1_);
    const QSignalBlocker block2(option2_);
    (recOn ? option1_ : option2_)->setChecked(true);
}

void RecordControls::setQnRunning(bool running) {
    frec_->setEnabled(!running);
    bclose_->setEnabled(!running);
}

}  // namespace kr5
