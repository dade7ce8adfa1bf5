#include "recordcontrols.h"

#include "platform/controlnames.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace kr5 {

RecordControls::RecordControls(const RecorderView& recorder, QWidget* parent)
    : QWidget(parent), recorder_(recorder) {
    nameControl(this, QStringLiteral("recordControls"));
    frame_ = new QGroupBox(this);
    nameControl(frame_, QStringLiteral("Frec"));
    recOnButton_ = new QRadioButton(recorder.recOnCaption(), frame_);
    nameControl(recOnButton_, QStringLiteral("Option1"));
    pauseButton_ = new QRadioButton(QStringLiteral("PAUSE"), frame_);
    nameControl(pauseButton_, QStringLiteral("Option2"));
    auto* frecLayout = new QHBoxLayout(frame_);
    frecLayout->addWidget(recOnButton_);
    frecLayout->addWidget(pauseButton_);
    closeButton_ = namedButton(QStringLiteral("bclose"), QStringLiteral("CLOSE"), this);

    // Hidden until a file is prepared, they keep their room under the panel, so that the
    // main window does not grow when they appear.
    for (QWidget* control : {static_cast<QWidget*>(frame_), static_cast<QWidget*>(closeButton_)}) {
        QSizePolicy keepRoom = control->sizePolicy();
        keepRoom.setRetainSizeWhenHidden(true);
        control->setSizePolicy(keepRoom);
    }
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame_);
    layout->addWidget(closeButton_, 0, Qt::AlignVCenter);
    layout->addStretch(1);

    // A click is the operator's request; the buttons show what the recorder then does
    // (a request refused leaves the selection as it was).
    connect(recOnButton_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            emit recordOnClicked();
            showSelection(recorder_.recOnSelected());
        }
    });
    connect(pauseButton_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            emit pauseClicked();
            showSelection(recorder_.recOnSelected());
        }
    });
    connect(closeButton_, &QPushButton::clicked, this, &RecordControls::closeClicked);
    connect(&recorder_, &RecorderView::preparedChanged, this, &RecordControls::showPrepared);
    connect(&recorder_, &RecorderView::selectionChanged, this, &RecordControls::showSelection);
    connect(&recorder_, &RecorderView::recOnCaptionChanged, this, &RecordControls::showCaption);

    showCaption(recorder_.recOnCaption());
    showSelection(recorder_.recOnSelected());
    showPrepared(recorder_.filePrepared());
}

void RecordControls::showPrepared(bool prepared) {
    frame_->setVisible(prepared);
    closeButton_->setVisible(prepared);
}

void RecordControls::showCaption(const QString& caption) {
    recOnButton_->setText(caption);
    // While recording the caption is the row count alone; a screen reader says what the
    // button is and the count, as the readouts say their words and their values.
    const QString words = plainName(objectName(), recOnButton_->objectName()).words;
    const QString rows = caption.trimmed();
    const bool counting = !rows.isEmpty() && rows.front().isDigit();
    recOnButton_->setAccessibleName(counting ? words + QStringLiteral(", rows recorded: ") + rows
                                             : words);
}

void RecordControls::showSelection(bool recOn) {
    // The selection comes from the recorder: no click handler runs for it. Checking one
    // button of the pair unchecks the other.
    const QSignalBlocker block1(recOnButton_);
    const QSignalBlocker block2(pauseButton_);
    (recOn ? recOnButton_ : pauseButton_)->setChecked(true);
}

void RecordControls::setQnRunning(bool running) {
    frame_->setEnabled(!running);
    closeButton_->setEnabled(!running);
}

}  // namespace kr5
