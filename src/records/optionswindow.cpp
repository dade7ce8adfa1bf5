#include "optionswindow.h"

#include "platform/controlnames.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kr5 {

namespace {

QGroupBox* namedFrame(const QString& name, const QString& caption, QWidget* parent) {
    auto* frame = new QGroupBox(caption, parent);
    nameControl(frame, name);
    return frame;
}

}  // namespace

OptionsWindow::OptionsWindow(OptionsForm& form, QWidget* parent) : QDialog(parent), form_(form) {
    nameControl(this, QStringLiteral("Options"));
    setWindowTitle(QStringLiteral("Option"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    form_.loadDefaults();

    optab_ = new QTabWidget(this);
    nameControl(optab_, QStringLiteral("OPtab"));
    // All five captions show whole, in whatever font the desktop uses: without scroll
    // arrows and eliding the tab bar's minimum is its full width, and the window cannot be
    // laid out narrower than that.
    optab_->setUsesScrollButtons(false);
    optab_->setElideMode(Qt::ElideNone);

    QWidget* sample = addTab(QStringLiteral("OPtab0"), QStringLiteral("Sample time"));
    addGroup(OptionsForm::Option1, QStringLiteral("Option1"),
             {QStringLiteral("MIN"), QStringLiteral("100ms"), QStringLiteral("200ms"),
              QStringLiteral("500ms")},
             sample);

    buildAutoRange(addTab(QStringLiteral("OPtab1"), QStringLiteral("Auto Range")));

    QWidget* tv = addTab(QStringLiteral("OPtab2"), QStringLiteral("TV Multi"));
    tv->layout()->addWidget(
        namedLabel(QStringLiteral("Label1"), QStringLiteral("Expand TV range "), tv));
    addGroup(OptionsForm::Option2, QStringLiteral("Option2"),
             {QStringLiteral("×１"), QStringLiteral("×２"), QStringLiteral("×４"),
              QStringLiteral("×５")},
             tv);

    QWidget* speed = addTab(QStringLiteral("OPtab3"), QStringLiteral("Com. Speed"));
    speed->layout()->addWidget(
        namedLabel(QStringLiteral("Label2"), QStringLiteral("Change comport speed"), speed));
    addGroup(OptionsForm::Option3, QStringLiteral("Option3"),
             {QStringLiteral("9600bps"), QStringLiteral("19200bps"), QStringLiteral("38400bps")},
             speed);

    buildQnConf(addTab(QStringLiteral("OPtab4"), QStringLiteral("QN Conf.")));
    for (int i = 0; i < optab_->count(); ++i) {
        static_cast<QVBoxLayout*>(optab_->widget(i)->layout())->addStretch(1);
    }

    auto* command2 = namedButton(QStringLiteral("Command2"), QStringLiteral("Set"), this);
    auto* command1 = namedButton(QStringLiteral("Command1"), QStringLiteral("Close"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(command2);
    buttons->addWidget(command1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(optab_, 1);
    layout->addLayout(buttons);

    optab_->setCurrentIndex(form_.selections.tab);
    connect(optab_, &QTabWidget::currentChanged, this,
            [this](int index) { form_.selections.tab = index; });
    connect(command2, &QPushButton::clicked, this, &OptionsWindow::setClicked);
    connect(command1, &QPushButton::clicked, this, &OptionsWindow::okClicked);
    connect(&form_, &OptionsForm::checksChanged, this, &OptionsWindow::showChecks);
    connect(&form_, &OptionsForm::readoutChanged, label4_, &QLabel::setText);
}

QWidget* OptionsWindow::addTab(const QString& name, const QString& caption) {
    auto* page = new QWidget(optab_);
    nameControl(page, name);
    new QVBoxLayout(page);
    optab_->addTab(page, caption);
    return page;
}

QButtonGroup* OptionsWindow::addGroup(OptionsForm::Group group, const QString& arrayName,
                                      const QStringList& captions, QWidget* parent) {
    auto* buttons = new QButtonGroup(parent);
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = new QRadioButton(captions[i], parent);
        nameControl(option, elementName(arrayName, i));
        buttons->addButton(option, i);
        parent->layout()->addWidget(option);
    }
    const int selected = form_.selections.option[static_cast<size_t>(group)];
    if (QAbstractButton* button = buttons->button(selected)) {
        button->setChecked(true);
    }
    connect(buttons, &QButtonGroup::idToggled, this, [this, group](int id, bool on) {
        if (on) {
            form_.selections.option[static_cast<size_t>(group)] = id;
        }
    });
    // A setting changed from elsewhere (the remote control) shows here.
    connect(&form_, &OptionsForm::selectionsChanged, buttons, [this, buttons, group] {
        const QSignalBlocker block(buttons);
        if (QAbstractButton* button =
                buttons->button(form_.selections.option[static_cast<size_t>(group)])) {
            button->setChecked(true);
        }
    });
    return buttons;
}

void OptionsWindow::buildAutoRange(QWidget* page) {
    // The blanks in the captions are full-width spaces, as on the instrument's panel.
    check1_ = new QCheckBox(QStringLiteral("INPUT　ATT"), page);
    nameControl(check1_, QStringLiteral("Check1"));
    check2_ = new QCheckBox(QStringLiteral("RATE　METER　RANGE"), page);
    nameControl(check2_, QStringLiteral("Check2"));
    page->layout()->addWidget(check1_);
    page->layout()->addWidget(check2_);
    showChecks();
    connect(check1_, &QCheckBox::toggled, this, [this](bool on) { form_.selections.check1 = on; });
    connect(check2_, &QCheckBox::toggled, this, [this](bool on) { form_.selections.check2 = on; });
}

void OptionsWindow::buildQnConf(QWidget* page) {
    QGroupBox* gate = namedFrame(QStringLiteral("Frame1"), QStringLiteral("Gate Time"), page);
    gate->setLayout(new QVBoxLayout);
    addGroup(OptionsForm::Option4, QStringLiteral("Option4"),
             {QStringLiteral("100ms"), QStringLiteral("200ms"), QStringLiteral("500ms"),
              QStringLiteral("1s")},
             gate);
    QGroupBox* loops = namedFrame(QStringLiteral("Frame2"), QStringLiteral("Loop no."), page);
    loops->setLayout(new QVBoxLayout);
    addGroup(OptionsForm::Option5, QStringLiteral("Option5"),
             {QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("15"), QStringLiteral("20"),
              QStringLiteral("25"), QStringLiteral("30"), QStringLiteral("Non Stop")},
             loops);
    QGroupBox* condition = namedFrame(QStringLiteral("Frame3"), QStringLiteral("Condition"), page);
    auto* text1 = new QLineEdit(form_.selections.text1, condition);
    nameControl(text1, QStringLiteral("Text1"));
    text1->setAccessibleName(QStringLiteral("Condition"));
    auto* conditionLayout = new QVBoxLayout(condition);
    conditionLayout->addWidget(text1);
    // textChanged: a condition set by an assistive tool counts as one typed.
    connect(text1, &QLineEdit::textChanged, this,
            [this](const QString& text) { form_.selections.text1 = text; });

    label4_ = namedLabel(QStringLiteral("Label4"), form_.label4(), page);
    label4_->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto* frames = new QHBoxLayout;
    frames->addWidget(gate);
    frames->addWidget(loops);
    auto* right = new QVBoxLayout;
    right->addWidget(condition);
    right->addWidget(label4_);
    right->addStretch(1);
    frames->addLayout(right);
    static_cast<QVBoxLayout*>(page->layout())->addLayout(frames);
}

void OptionsWindow::showChecks() {
    const QSignalBlocker block1(check1_);
    const QSignalBlocker block2(check2_);
    check1_->setChecked(form_.selections.check1);
    check2_->setChecked(form_.selections.check2);
}

void OptionsWindow::okClicked() {
    hide();
}

void OptionsWindow::setClicked() {
    form_.set();
}

void OptionsWindow::reject() {
    okClicked();
}

void OptionsWindow::closeEvent(QCloseEvent* event) {
    // Close, then unload: the window is deleted once the event is done.
    okClicked();
    event->accept();
}

}  // namespace kr5
