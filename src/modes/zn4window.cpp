#include "zn4window.h"

#include "platform/controlnames.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <iterator>

namespace kr5 {

namespace {

const char* const kStepCaptions[Zn4Panel::steps] = {"1/1",  "1/2",   "1/5",   "1/10",  "1/20",
                                                    "1/50", "1/100", "1/200", "1/500", "1/1000"};
// One name over each FUNCTION button, left to right.
const QString kFunctionRow = QStringLiteral("ALL ON    N OFF     PD ON    ANT OFF");

// The option buttons are lamps as on the unit: lit when selected, grey when they cannot
// be used, with a blue rim while they have the keyboard focus.
const QString kLampStyle = QStringLiteral(
    "QRadioButton::indicator { width: 12px; height: 12px; border-radius: 8px;"
    " border: 2px solid #3a3a3a; background: #5a1810; }"
    "QRadioButton::indicator:checked { background: #ff4020; }"
    "QRadioButton::indicator:focus { border-color: #2a70e0; }"
    "QRadioButton::indicator:disabled { background: #a8a8a8; border-color: #808080; }"
    "QRadioButton::indicator:checked:disabled { background: #606060; }");

constexpr int kColumnMargin = 8;
constexpr int kRowPadding = 6;

QLabel* scaledLabel(const QString& name, const QString& text, QWidget* parent, double scale) {
    QLabel* label = namedLabel(name, text, parent);
    label->setFont(displayFont(parent->font(), scale, false));
    return label;
}

QFrame* groupBox(const QString& name, QWidget* parent) {
    auto* box = new QFrame(parent);
    nameControl(box, name);
    box->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    return box;
}

}  // namespace

Zn4Window::Zn4Window(Zn4Panel& panel, QWidget* parent) : QMainWindow(parent), panel_(panel) {
    nameControl(this, QStringLiteral("ZN4"));
    setWindowTitle(QStringLiteral("ZN-4"));

    auto* closeItem = new QAction(QStringLiteral("Close(&X)"), this);
    nameControl(closeItem, QStringLiteral("ncls"));
    menuBar()->addAction(closeItem);
    connect(closeItem, &QAction::triggered, &panel_, &Zn4Panel::close);

    auto* central = new QWidget(this);
    nameControl(central, QStringLiteral("central"));
    central->setStyleSheet(kLampStyle);
    // The face keeps its size and stays centred at the top when the window grows.
    auto* face = new QWidget(central);
    auto* faceLayout = new QVBoxLayout(face);
    faceLayout->setContentsMargins(0, 0, 0, 0);
    faceLayout->addWidget(buildHeading(face));
    auto* row = new QHBoxLayout;
    row->addWidget(buildAttGroup(face), 0, Qt::AlignTop);
    row->addWidget(buildFunctionGroup(face), 0, Qt::AlignTop);
    faceLayout->addLayout(row);
    auto* layout = new QGridLayout(central);
    layout->addWidget(face, 0, 0, Qt::AlignHCenter | Qt::AlignTop);
    setCentralWidget(central);

    buildShortcuts();
    alignRows();
    alignFunctionRow();
    connectPanel();
    showSettings();
    showControls();
}

void Zn4Window::connectPanel() {
    for (QButtonGroup* column : columnButtons_) {
        connect(column, &QButtonGroup::idClicked, this, &Zn4Window::peakbClicked);
    }
    connect(functionButtons_, &QButtonGroup::idClicked, this, &Zn4Window::functionClicked);
    connect(remoteBox_, &QCheckBox::clicked, this, &Zn4Window::remoteClicked);
    connect(&panel_, &Zn4Panel::settingsChanged, this, &Zn4Window::showSettings);
    connect(&panel_, &Zn4Panel::controlsChanged, this, &Zn4Window::showControls);
    connect(&panel_, &Zn4Panel::captionChanged, this, &Zn4Window::setWindowTitle);
    connect(&panel_, &Zn4Panel::shown, this, [this] {
        show();
        raise();
    });
    connect(&panel_, &Zn4Panel::hidden, this, &Zn4Window::hide);
}

void Zn4Window::peakbClicked(int element) {
    if (element >= columnA) {
        emit channelAClicked(element - columnA);
    } else {
        emit channelBClicked(element);
    }
}

void Zn4Window::showSettings() {
    channelRadios_[static_cast<size_t>(columnA + panel_.channelA())]->setChecked(true);
    channelRadios_[static_cast<size_t>(panel_.channelB())]->setChecked(true);
    functionRadios_[static_cast<size_t>(panel_.function())]->setChecked(true);
}

void Zn4Window::showControls() {
    remoteBox_->setChecked(panel_.remote());
    // The lamps still follow the unit while they cannot be used.
    functionFrame_->setEnabled(panel_.buttonsEnabled());
    for (QFrame* frame : channelFrames_) {
        frame->setEnabled(panel_.buttonsEnabled());
    }
    setEnabled(panel_.windowEnabled());
}

QWidget* Zn4Window::buildHeading(QWidget* parent) {
    auto* heading = new QWidget(parent);
    auto* row = new QHBoxLayout(heading);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(
        scaledLabel(QStringLiteral("Label1"), QStringLiteral("NOISE DISCRIMINATOR"), heading, 1.6));
    row->addStretch(1);
    row->addWidget(scaledLabel(QStringLiteral("Label2"), QStringLiteral("TYPE ZN-4"), heading, 1.2),
                   0, Qt::AlignBottom);
    return heading;
}

QWidget* Zn4Window::buildAttGroup(QWidget* parent) {
    QFrame* box = groupBox(QStringLiteral("attGroup"), parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(scaledLabel(QStringLiteral("Label3"), QStringLiteral("INPUT ATT"), box, 1.2));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(0);
    grid->addWidget(scaledLabel(QStringLiteral("Label4"), QStringLiteral("A"), box, 1.2), 0, 0,
                    Qt::AlignHCenter);
    grid->addWidget(scaledLabel(QStringLiteral("Label5"), QStringLiteral("B"), box, 1.2), 0, 2,
                    Qt::AlignHCenter);
    grid->addWidget(buildColumn(box, 1, QStringLiteral("A")), 1, 0);
    grid->addWidget(buildStepLabels(box), 1, 1);
    grid->addWidget(buildColumn(box, 0, QStringLiteral("B")), 1, 2);
    layout->addLayout(grid);
    return box;
}

QFrame* Zn4Window::buildColumn(QWidget* parent, int frameIndex, const QString& channel) {
    // Frame2(1) holds channel A as peakb(10..19), Frame2(0) channel B as peakb(0..9).
    auto* frame = new QFrame(parent);
    nameArrayControl(frame, QStringLiteral("Frame2"), frameIndex);
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    frame->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    channelFrames_[static_cast<size_t>(frameIndex)] = frame;
    auto* column = new QVBoxLayout(frame);
    column->setSpacing(0);
    auto* group = new QButtonGroup(this);
    columnButtons_[static_cast<size_t>(frameIndex)] = group;
    const int first = frameIndex == 1 ? columnA : 0;
    for (int step = 0; step < Zn4Panel::steps; ++step) {
        const int element = first + step;
        auto* button = new QRadioButton(frame);
        nameArrayControl(button, QStringLiteral("peakb"), element);
        const QString name = channel + QLatin1Char(' ') + QLatin1String(kStepCaptions[step]);
        button->setAccessibleName(name);
        button->setToolTip(name);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        channelRadios_[static_cast<size_t>(element)] = button;
        group->addButton(button, element);
        column->addWidget(button, 0, Qt::AlignHCenter);
    }
    return frame;
}

QWidget* Zn4Window::buildStepLabels(QWidget* parent) {
    stepColumn_ = new QWidget(parent);
    stepColumn_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* column = new QVBoxLayout(stepColumn_);
    column->setSpacing(0);
    for (int step = 0; step < Zn4Panel::steps; ++step) {
        QLabel* label =
            scaledLabel(QString(), QLatin1String(kStepCaptions[step]), stepColumn_, 1.1);
        nameArrayControl(label, QStringLiteral("Label6"), step);
        label->setAlignment(Qt::AlignCenter);
        stepLabels_[static_cast<size_t>(step)] = label;
        column->addWidget(label);
    }
    return stepColumn_;
}

QWidget* Zn4Window::buildFunctionGroup(QWidget* parent) {
    auto* side = new QWidget(parent);
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);

    QFrame* box = groupBox(QStringLiteral("functionGroup"), side);
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(
        scaledLabel(QStringLiteral("Label7"), QStringLiteral("FUNCTION"), box, 1.2));
    functionNames_ = new QLabel(kFunctionRow, box);
    nameControl(functionNames_, QStringLiteral("Label8"));
    functionNames_->setFont(displayFont(font(), 1.1, true));
    boxLayout->addWidget(functionNames_);
    boxLayout->addWidget(buildFunctionButtons(box));
    layout->addWidget(box);

    // REMOTE stays outside the frames: it must work while the buttons are off.
    remoteBox_ = new QCheckBox(QStringLiteral("REMOTE "), side);
    nameControl(remoteBox_, QStringLiteral("remoteb"));
    remoteBox_->setFont(displayFont(font(), 1.2, false));
    remoteBox_->setToolTip(tr("Remote operation of the noise discriminator (Alt+R)"));
    // The loop starts the unit in remote operation, so the box starts ticked.
    layout->addWidget(remoteBox_, 0, Qt::AlignLeft);
    return side;
}

QFrame* Zn4Window::buildFunctionButtons(QWidget* parent) {
    // Each button follows a gap that alignFunctionRow sizes to put it under its name.
    functionFrame_ = new QFrame(parent);
    nameControl(functionFrame_, QStringLiteral("Frame1"));
    functionRow_ = new QHBoxLayout(functionFrame_);
    functionRow_->setContentsMargins(0, 0, 0, 0);
    functionRow_->setSpacing(0);
    functionButtons_ = new QButtonGroup(this);
    for (int i = 0; i < Zn4Panel::functions; ++i) {
        const auto at = static_cast<size_t>(i);
        functionGaps_[at] = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
        functionRow_->addSpacerItem(functionGaps_[at]);
        functionRadios_[at] = new QRadioButton(functionFrame_);
        nameArrayControl(functionRadios_[at], QStringLiteral("rateb"), i);
        functionRadios_[at]->setAccessibleName(Zn4Panel::functionName(i));
        functionRadios_[at]->setToolTip(Zn4Panel::functionName(i));
        functionButtons_->addButton(functionRadios_[at], i);
        functionRow_->addWidget(functionRadios_[at]);
    }
    functionRow_->addStretch(1);

    return functionFrame_;
}

void Zn4Window::buildShortcuts() {
    // The captions must read as on the unit, so the groups are reached by these keys.
    const auto focusGroup = [](QButtonGroup* group) {
        QAbstractButton* target = group->checkedButton();
        (target != nullptr ? target : group->buttons().constFirst())
            ->setFocus(Qt::ShortcutFocusReason);
    };
    const auto add = [this](QKeyCombination keys, std::function<void()> action) {
        auto* shortcut = new QShortcut(QKeySequence(keys), this);
        connect(shortcut, &QShortcut::activated, this, std::move(action));
    };
    add(Qt::ALT | Qt::Key_A, [this, focusGroup] { focusGroup(columnButtons_[1]); });
    add(Qt::ALT | Qt::Key_B, [this, focusGroup] { focusGroup(columnButtons_[0]); });
    add(Qt::ALT | Qt::Key_F, [this, focusGroup] { focusGroup(functionButtons_); });
    add(Qt::ALT | Qt::Key_R, [this] { remoteBox_->setFocus(Qt::ShortcutFocusReason); });

    // Tab walks A, B, FUNCTION, REMOTE; the arrow keys move within a group.
    QWidget* chain[] = {channelRadios_[columnA], channelRadios_[0], functionRadios_[0], remoteBox_};
    for (size_t i = 1; i < std::size(chain); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }
}

void Zn4Window::alignRows() {
    // Every row of the three columns gets the same height, and the step column the same
    // top as the framed columns, so each step stands level with its two buttons whatever
    // the font, the style and the window's size.
    int rowHeight = channelRadios_[0]->sizeHint().height();
    for (QLabel* label : stepLabels_) {
        rowHeight = qMax(rowHeight, label->sizeHint().height());
    }
    rowHeight += kRowPadding;
    for (QRadioButton* button : channelRadios_) {
        button->setFixedHeight(rowHeight);
    }
    for (QLabel* label : stepLabels_) {
        label->setFixedHeight(rowHeight);
    }
    const int frameWidth = channelFrames_[0]->frameWidth();
    for (QFrame* frame : channelFrames_) {
        frame->layout()->setContentsMargins(kColumnMargin, 0, kColumnMargin, 0);
    }
    stepColumn_->layout()->setContentsMargins(kColumnMargin, frameWidth, kColumnMargin, frameWidth);
}

void Zn4Window::alignFunctionRow() {
    // Centres of the names in their own font, so each button stays under its name.
    const QFontMetrics fm(functionNames_->font());
    const QString row = functionNames_->text();
    const int buttonWidth = functionRadios_[0]->sizeHint().width();
    int left = 0;
    for (int i = 0; i < Zn4Panel::functions; ++i) {
        const QString name = Zn4Panel::functionName(i);
        const int centre =
            fm.horizontalAdvance(row.left(row.indexOf(name))) + fm.horizontalAdvance(name) / 2;
        const int at = qMax(left, centre - buttonWidth / 2);
        functionGaps_[static_cast<size_t>(i)]->changeSize(at - left, 0, QSizePolicy::Fixed,
                                                          QSizePolicy::Minimum);
        left = at + buttonWidth;
    }
    functionRow_->invalidate();
}

void Zn4Window::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        alignRows();
        alignFunctionRow();
    }
}

void Zn4Window::closeEvent(QCloseEvent* event) {
    // The panel is never unloaded: closing it hides it, and the menu item loses its tick.
    event->ignore();
    panel_.close();
}

}  // namespace kr5
