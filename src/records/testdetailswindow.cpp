#include "testdetailswindow.h"

#include "platform/controlnames.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace kr5 {

TestDetailsWindow::TestDetailsWindow(QWidget* parent) : QDialog(parent) {
    nameControl(this, QStringLiteral("testDetails"));
    setWindowTitle(QStringLiteral("Test details"));
    setModal(false);

    using F = TestDetailsFields;
    grid_ = new QGridLayout;
    addField(QStringLiteral("objid"), QStringLiteral("Test object"), &F::objectId);
    addField(QStringLiteral("objtype"), QStringLiteral("Type"), &F::objectType);
    addField(QStringLiteral("objrating"), QStringLiteral("Rating"), &F::objectRating);
    addField(QStringLiteral("customer"), QStringLiteral("Customer"), &F::customer);
    addField(QStringLiteral("operator"), QStringLiteral("Operator"), &F::operatorName);
    addField(QStringLiteral("standard"), QStringLiteral("Standard and clause"), &F::standard);
    addField(QStringLiteral("ccap"), QStringLiteral("Coupling capacitor, pF"),
             &F::couplingCapacitancePf);
    addField(QStringLiteral("impedance"), QStringLiteral("Measuring impedance"),
             &F::measuringImpedance);
    addField(QStringLiteral("supplyhz"), QStringLiteral("Supply frequency, Hz"),
             &F::supplyFrequencyHz);
    addField(QStringLiteral("calibid"), QStringLiteral("Calibrator"), &F::calibratorId);
    addField(QStringLiteral("calibdate"), QStringLiteral("Calibrator checked on"),
             &F::calibratorCheckedOn);
    fields_[5].first->setPlaceholderText(QStringLiteral("IEC 60270:2000 / IEC 60076-3"));
    fields_.back().first->setPlaceholderText(QStringLiteral("yyyy-mm-dd"));

    notes_ = new QPlainTextEdit(this);
    nameControl(notes_, QStringLiteral("notes"));
    notes_->setTabChangesFocus(true);
    // A few lines show; more scroll, so the window stays small on a small screen.
    notes_->setFixedHeight(notes_->fontMetrics().lineSpacing() * 4 + 12);
    QLabel* notesLabel = namedLabel(QStringLiteral("Label12"), QStringLiteral("Notes"), this);
    notesLabel->setBuddy(notes_);
    const int row = grid_->rowCount();
    grid_->addWidget(notesLabel, row, 0, Qt::AlignTop);
    grid_->addWidget(notes_, row, 1);

    problem_ = namedLabel(QStringLiteral("detproblem"), QString(), this);
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #c00000"));
    problem_->hide();

    auto* ok = namedButton(QStringLiteral("detok"), QStringLiteral("OK"), this);
    auto* report = namedButton(QStringLiteral("detreport"), QStringLiteral("Report..."), this);
    auto* close = namedButton(QStringLiteral("detclose"), QStringLiteral("Close"), this);
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {ok, report, close}) {
        buttons->addWidget(b);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid_);
    layout->addWidget(problem_);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, [this] { take(); });
    connect(report, &QPushButton::clicked, this, [this] {
        if (take()) {
            emit reportRequested();
        }
    });
    connect(close, &QPushButton::clicked, this, &TestDetailsWindow::reject);
}

void TestDetailsWindow::addField(const QString& name, const QString& caption,
                                 QString TestDetailsFields::*field) {
    auto* edit = new QLineEdit(this);
    nameControl(edit, name);
    const int row = grid_->rowCount();
    QLabel* label = namedLabel(QStringLiteral("Label%1").arg(fields_.size() + 1), caption, this);
    label->setBuddy(edit);
    grid_->addWidget(label, row, 0);
    grid_->addWidget(edit, row, 1);
    fields_.emplace_back(edit, field);
}

void TestDetailsWindow::showDetails(const TestDetails& details) {
    const TestDetailsFields shown = TestDetailsForm::fieldsOf(details);
    for (const auto& [edit, field] : fields_) {
        edit->setText(shown.*field);
    }
    notes_->setPlainText(shown.notes);
    showProblem({});
}

bool TestDetailsWindow::take() {
    TestDetailsFields typed;
    for (const auto& [edit, field] : fields_) {
        typed.*field = edit->text();
    }
    typed.notes = notes_->toPlainText();
    QString problem;
    const std::optional<TestDetails> details = TestDetailsForm::detailsOf(typed, &problem);
    // Refused, the window keeps what was typed so that only the named field needs mending.
    showProblem(problem);
    if (!details) {
        return false;
    }
    emit detailsTaken(*details);
    return true;
}

void TestDetailsWindow::showProblem(const QString& text) {
    problem_->setText(text);
    problem_->setVisible(!text.isEmpty());
}

void TestDetailsWindow::reject() {
    hide();
}

void TestDetailsWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}

}  // namespace kr5
