#include "acceptancewindow.h"

#include "platform/controlnames.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kr5 {

AcceptanceWindow::AcceptanceWindow(AcceptanceForm& form, AcceptanceTest& test, QWidget* parent)
    : QDialog(parent), form_(form), test_(test) {
    nameControl(this, QStringLiteral("acceptance"));
    setWindowTitle(QStringLiteral("Acceptance test"));
    setModal(false);

    grid_ = new QGridLayout;
    addField(0, QStringLiteral("testkv"), QStringLiteral("Test voltage, kV"),
             &AcceptanceFields::testKv);
    addField(1, QStringLiteral("holds"), QStringLiteral("Hold time, s"), &AcceptanceFields::holdS);
    addField(2, QStringLiteral("permpc"), QStringLiteral("Permissible charge, pC"),
             &AcceptanceFields::permissiblePc);
    addField(3, QStringLiteral("bgkv"), QStringLiteral("Background below, kV"),
             &AcceptanceFields::backgroundKv);

    // A refusal is shown in the window, beside the fields to mend, rather than in a box
    // that has to be dismissed first.
    problem_ = namedLabel(QStringLiteral("accproblem"), QString(), this);
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #c00000"));
    problem_->hide();

    state_ = namedLabel(QStringLiteral("accstate"), QString(), this);
    state_->setWordWrap(true);
    state_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* ok = namedButton(QStringLiteral("accok"), QStringLiteral("OK"), this);
    restart_ = namedButton(QStringLiteral("accrestart"), QStringLiteral("Restart"), this);
    auto* clear = namedButton(QStringLiteral("accclear"), QStringLiteral("No test"), this);
    auto* close = namedButton(QStringLiteral("accclose"), QStringLiteral("Close"), this);
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {ok, restart_, clear, close}) {
        buttons->addWidget(b);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid_);
    layout->addWidget(problem_);
    layout->addWidget(state_);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &AcceptanceWindow::okClicked);
    connect(restart_, &QPushButton::clicked, &test_, &AcceptanceTest::restart);
    connect(clear, &QPushButton::clicked, this, [this] {
        showProblem({});
        form_.clear();
    });
    connect(close, &QPushButton::clicked, this, &AcceptanceWindow::closeClicked);
    connect(&form_, &AcceptanceForm::fieldsLoaded, this, &AcceptanceWindow::showFields);
    connect(&test_, &AcceptanceTest::changed, this, &AcceptanceWindow::showState);
    showFields();
    showState();
}

void AcceptanceWindow::addField(int row, const QString& name, const QString& caption,
                                QString AcceptanceFields::*field) {
    auto* edit = new QLineEdit(this);
    nameControl(edit, name);
    QLabel* label = namedLabel(QStringLiteral("Label%1").arg(row + 1), caption, this);
    label->setBuddy(edit);
    grid_->addWidget(label, row, 0);
    grid_->addWidget(edit, row, 1);
    fields_.emplace_back(edit, field);
    // Typed or set by an assistive tool, every change reaches the form.
    connect(edit, &QLineEdit::textChanged, this,
            [this, field](const QString& text) { form_.fields.*field = text; });
}

void AcceptanceWindow::showFields() {
    for (const auto& [edit, field] : fields_) {
        edit->setText(form_.fields.*field);
    }
}

void AcceptanceWindow::showState() {
    state_->setText(test_.statusText());
    restart_->setEnabled(test_.limits().has_value());
}

void AcceptanceWindow::showProblem(const QString& text) {
    problem_->setText(text);
    problem_->setVisible(!text.isEmpty());
}

void AcceptanceWindow::okClicked() {
    // Refused, the window keeps what was typed so that only the named field needs mending.
    showProblem(form_.ok() ? QString() : form_.problem());
}

void AcceptanceWindow::closeClicked() {
    // What was typed and not taken with OK is dropped: the fields show the test in force
    // when the window opens again.
    showProblem({});
    form_.load();
    hide();
}

void AcceptanceWindow::reject() {
    closeClicked();
}

void AcceptanceWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    closeClicked();
}

VerdictLabel::VerdictLabel(const AcceptanceTest& test, QWidget* parent)
    : QLabel(parent), test_(test) {
    nameControl(this, QStringLiteral("verdict"));
    setAlignment(Qt::AlignCenter);
    setMargin(4);
    // The label keeps one height, shown or not, that holds the verdict in its large face or
    // two lines of the test's state (the whole of a longer one is in the tool tip): the main
    // window does not grow as the test goes on, and stays where it was placed on the screen.
    setWordWrap(true);
    const int verdictLine = QFontMetrics(displayFont(font(), verdictScale, false)).height();
    setFixedHeight(std::max(verdictLine, 2 * fontMetrics().height()) + 2 * margin());
    QSizePolicy keepRoom = sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    setSizePolicy(keepRoom);
    connect(&test_, &AcceptanceTest::changed, this, &VerdictLabel::showTest);
    showTest();
}

void VerdictLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::ParentChange) {
        // The plain words are looked up by the form the label sits on.
        nameControl(this, QStringLiteral("verdict"));
        showTest();
    }
}

void VerdictLabel::showTest() {
    // Back to the face of the window it sits on, then the verdict's own.
    setFont(QFont());
    setPalette(QPalette());
    setAutoFillBackground(false);
    const bool noTest = test_.state() == AcceptanceTest::State::NoTest;
    // Without a test the label is hidden; its room stays.
    setVisible(!noTest);
    setToolTip(noTest ? QString() : test_.statusText());
    const QString verdict = test_.verdictText();
    if (verdict.isEmpty()) {
        setText(noTest ? QString() : test_.statusText());
        return;
    }
    // A verdict over too much background is no verdict: it must not show as a plain
    // green PASS.
    const bool valid = test_.backgroundWarning().isEmpty();
    setText(valid ? verdict : verdict + QStringLiteral(" – NOT VALID"));
    setFont(displayFont(font(), verdictScale, false));
    const QRgb face = !valid                                           ? invalidFace
                      : test_.state() == AcceptanceTest::State::Passed ? passFace
                                                                       : failFace;
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(face));
    palette.setColor(QPalette::WindowText, valid ? QColor(Qt::white) : QColor(Qt::black));
    setPalette(palette);
    setAutoFillBackground(true);
}

}  // namespace kr5
