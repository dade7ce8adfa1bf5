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

    tabs_ = new QTabWidget(this);
    nameControl(tabs_, QStringLiteral("OPtab"));
    // All five captions show whole, in whatever font the desktop uses: without scroll
    // arrows and eliding the tab bar's minimum is its full width, and the window cannot be
    // laid out narrower than that.
    tabs_->setUsesScrollButtons(false);
    tabs_->setElideMode(Qt::ElideNone);

    QWidget* sample = addTab(QStringLiteral("OPtab0"), QStringLiteral("Sample time"));
    addGroup(OptionsForm::SampleTimeOptions, QStringLiteral("Option1"),
             {QStringLiteral("MIN"), QStringLiteral("100ms"), QStringLiteral("200ms"),
              QStringLiteral("500ms")},
             sample);

    buildAutoRange(addTab(QStringLiteral("OPtab1"), QStringLiteral("Auto Range")));

    QWidget* tv = addTab(QStringLiteral("OPtab2"), QStringLiteral("TV Multi"));
    tv->layout()->addWidget(
        namedLabel(QStringLiteral("Label1"), QStringLiteral("Expand TV range "), tv));
    addGroup(OptionsForm::TvMultiOptions, QStringLiteral("Option2"),
             {QStringLiteral("×１"), QStringLiteral("×２"), QStringLiteral("×４"),
              QStringLiteral("×５")},
             tv);

    QWidget* speed = addTab(QStringLiteral("OPtab3"), QStringLiteral("Com. Speed"));
    speed->layout()->addWidget(
        namedLabel(QStringLiteral("Label2"), QStringLiteral("Change comport speed"), speed));
    addGroup(OptionsForm::SpeedOptions, QStringLiteral("Option3"),
             {QStringLiteral("9600bps"), QStringLiteral("19200bps"), QStringLiteral("38400bps")},
             speed);

    buildQnConf(addTab(QStringLiteral("OPtab4"), QStringLiteral("QN Conf.")));
    for (int i = 0; i < tabs_->count(); ++i) {
        static_cast<QVBoxLayout*>(tabs_->widget(i)->layout())->addStretch(1);
    }

    auto* setButton = namedButton(QStringLiteral("Command2"), QStringLiteral("Set"), this);
    auto* closeButton = namedButton(QStringLiteral("Command1"), QStringLiteral("Close"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(setButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addLayout(buttons);

    tabs_->setCurrentIndex(form_.selections.tab);
    connect(tabs_, &QTabWidget::currentChanged, this,
            [this](int index) { form_.selections.tab = index; });
    connect(setButton, &QPushButton::clicked, this, &OptionsWindow::setClicked);
    connect(closeButton, &QPushButton::clicked, this, &OptionsWindow::okClicked);
    connect(&form_, &OptionsForm::checksChanged, this, &OptionsWindow::showChecks);
    connect(&form_, &OptionsForm::readoutChanged, tvReadoutLabel_, &QLabel::setText);
}

QWidget* OptionsWindow::addTab(const QString& name, const QString& caption) {
    auto* page = new QWidget(tabs_);
    nameControl(page, name);
    new QVBoxLayout(page);
    tabs_->addTab(page, caption);
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
    autoAttenuatorBox_ = new QCheckBox(QStringLiteral("INPUT　ATT"), page);
    nameControl(autoAttenuatorBox_, QStringLiteral("Check1"));
    autoRateBox_ = new QCheckBox(QStringLiteral("RATE　METER　RANGE"), page);
    nameControl(autoRateBox_, QStringLiteral("Check2"));
    page->layout()->addWidget(autoAttenuatorBox_);
    page->layout()->addWidget(autoRateBox_);
    showChecks();
    connect(autoAttenuatorBox_, &QCheckBox::toggled, this,
            [this](bool on) { form_.selections.autoAttenuator = on; });
    connect(autoRateBox_, &QCheckBox::toggled, this,
            [this](bool on) { form_.selections.autoRate = on; });
}

void OptionsWindow::buildQnConf(QWidget* page) {
    QGroupBox* gate = namedFrame(QStringLiteral("Frame1"), QStringLiteral("Gate Time"), page);
    gate->setLayout(new QVBoxLayout);
    addGroup(OptionsForm::GateTimeOptions, QStringLiteral("Option4"),
             {QStringLiteral("100ms"), QStringLiteral("200ms"), QStringLiteral("500ms"),
              QStringLiteral("1s")},
             gate);
    QGroupBox* loops = namedFrame(QStringLiteral("Frame2"), QStringLiteral("Loop no."), page);
    loops->setLayout(new QVBoxLayout);
    addGroup(OptionsForm::QnPassesOptions, QStringLiteral("Option5"),
             {QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("15"), QStringLiteral("20"),
              QStringLiteral("25"), QStringLiteral("30"), QStringLiteral("Non Stop")},
             loops);
    QGroupBox* condition = namedFrame(QStringLiteral("Frame3"), QStringLiteral("Condition"), page);
    auto* conditionField = new QLineEdit(form_.selections.qnCondition, condition);
    nameControl(conditionField, QStringLiteral("Text1"));
    conditionField->setAccessibleName(QStringLiteral("Condition"));
    auto* conditionLayout = new QVBoxLayout(condition);
    conditionLayout->addWidget(conditionField);
    // textChanged: a condition set by an assistive tool counts as one typed.
    connect(conditionField, &QLineEdit::textChanged, this,
            [this](const QString& text) { form_.selections.qnCondition = text; });

    tvReadoutLabel_ = namedLabel(QStringLiteral("Label4"), form_.tvReadout(), page);
    tvReadoutLabel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto* frames = new QHBoxLayout;
    frames->addWidget(gate);
    frames->addWidget(loops);
    auto* right = new QVBoxLayout;
    right->addWidget(condition);
    right->addWidget(tvReadoutLabel_);
    right->addStretch(1);
    frames->addLayout(right);
    static_cast<QVBoxLayout*>(page->layout())->addLayout(frames);
}

void OptionsWindow::showChecks() {
    const QSignalBlocker block1(autoAttenuatorBox_);
    const QSignalBlocker block2(autoRateBox_);
    autoAttenuatorBox_->setChecked(form_.selections.autoAttenuator);
    autoRateBox_->setChecked(form_.selections.autoRate);
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
