#include "panelwidget.h"

#include "measure/rangetitle.h"
#include "platform/controlnames.h"

#include "measure/pointermeterwidget.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <iterator>

namespace kr5 {

namespace {

const char* const kAttCaptions[PanelWidget::attRanges] = {
    "1/1", "1/2", "1/5", "1/10", "1/20", "1/50", "1/100", "1/200", "1/500", "1/1000"};
// The range row: each rate button sits under its multiplier, the REMOTE box under REMOTE.
const QString kRangeRow = QStringLiteral("REMOTE   ×1         ×5         ×10        ×50");
const char* const kRateCaptions[PanelWidget::rateRanges] = {"×1", "×5", "×10", "×50"};

const QColor litDigits(0x60, 0xFF, 0x60);
const QColor staleDigits(0x60, 0x70, 0x60);
const QColor alarmDigits(0xFF, 0x40, 0x40);
const QColor staleAlarmDigits(0x90, 0x40, 0x40);

void setDigitColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    if (palette.color(QPalette::WindowText) != colour) {
        palette.setColor(QPalette::WindowText, colour);
        label->setPalette(palette);
    }
}

QColor fromBgr(quint32 c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

QLabel* makeReadout(const QString& name, int digits, double scale, QWidget* parent) {
    auto* label = namedLabel(name, QString(), parent);
    label->setFont(displayFont(parent->font(), scale, true));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(2);
    label->setMargin(4);
    // A lit display: bright digits on a dark face, readable across the room.
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor(0x10, 0x18, 0x10));
    palette.setColor(QPalette::WindowText, litDigits);
    label->setPalette(palette);
    // A fixed size for the widest reading: a new text then repaints the display only,
    // without laying out the panel again, which every reading would otherwise cost.
    const int border = 2 * (label->margin() + label->frameWidth());
    label->setFixedSize(
        label->fontMetrics().horizontalAdvance(QString(digits, QLatin1Char('0'))) + border,
        label->fontMetrics().height() + border);
    return label;
}

QFrame* groupBox(const QString& name, QWidget* parent) {
    auto* box = new QFrame(parent);
    nameControl(box, name);
    box->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    return box;
}

}  // namespace

PanelWidget::PanelWidget(PanelModel& model, ScreenPacer& pacer, QWidget* parent)
    : QWidget(parent), model_(model), pacer_(pacer) {
    nameControl(this, QStringLiteral("panel"));
    auto* layout = new QVBoxLayout(this);

    auto* panelTitle = namedLabel(QStringLiteral("Label3"),
                                  QStringLiteral("PARTIAL DISCHARGE DETECTOR TYPE KR-5"), this);
    panelTitle->setFont(displayFont(font(), 1.6, false));
    panelTitle->setAlignment(Qt::AlignCenter);
    layout->addWidget(panelTitle);

    layout->addWidget(buildAttGroup());
    layout->addWidget(buildRateGroup());
    layout->addWidget(buildReadouts());
    layout->addStretch(1);
    buildShortcuts();
    alignRangeRow();
    connectModel();
    showButtons();
    showControls();
    showTitles();
    showReadouts();
}

void PanelWidget::connectModel() {
    connect(attButtons_, &QButtonGroup::idClicked, this, &PanelWidget::attenuatorClicked);
    connect(rateButtons_, &QButtonGroup::idClicked, this, &PanelWidget::rateClicked);
    connect(remoteBox_, &QCheckBox::clicked, this, &PanelWidget::remoteClicked);
    connect(attenuatorTitle_, &RangeTitle::activated, &model_, &PanelModel::toggleAutoAttenuator);
    connect(rateTitle_, &RangeTitle::activated, &model_, &PanelModel::toggleAutoRate);
    connect(&model_, &PanelModel::buttonsChanged, this, &PanelWidget::showButtons);
    connect(&model_, &PanelModel::controlsChanged, this, &PanelWidget::showControls);
    connect(&model_, &PanelModel::autoRangingChanged, this, &PanelWidget::showTitles);
    connect(&model_, &PanelModel::readoutsChanged, this,
            [this] { pacer_.show(this, [this] { showReadouts(); }); });
}

void PanelWidget::initMeters() {
    rateMeter_->init(100, 100, QStringLiteral("P.P.S."));
    rateMeter_->setValue(0);
    peakMeter_->init(10, 10, QStringLiteral("Vp"));
    peakMeter_->setValue(0);
    rateMeterShown_ = peakMeterShown_ = 0.0;
}

void PanelWidget::showButtons() {
    attenuatorRadios_[static_cast<size_t>(model_.attenuatorButton())]->setChecked(true);
    rateRadios_[static_cast<size_t>(model_.rateButton())]->setChecked(true);
}

void PanelWidget::showControls() {
    remoteBox_->setChecked(model_.remote());
    remoteBox_->setEnabled(model_.remoteBoxEnabled());
    // The buttons still follow the detector while they cannot be used.
    rateFrame_->setEnabled(model_.rangeButtonsEnabled());
    attenuatorFrame_->setEnabled(model_.rangeButtonsEnabled());
}

void PanelWidget::showTitles() {
    const auto colour = [](bool automatic) {
        return fromBgr(automatic ? autoTitleColour : manualTitleColour);
    };
    for (const auto& [title, automatic] : {std::pair{attenuatorTitle_, model_.autoAttenuator()},
                                           std::pair{rateTitle_, model_.autoRate()}}) {
        QPalette palette = title->palette();
        palette.setColor(QPalette::WindowText, colour(automatic));
        title->setPalette(palette);
    }
}

void PanelWidget::showReadouts() {
    const PanelReadouts& r = model_.readouts();
    const auto show = [](QLabel* label, const QString& text, bool stale) {
        if (label->text() != text) {
            label->setText(text);
        }
        // Old values stay readable, but dimmed: the unit did not answer.
        setDigitColour(label, stale ? staleDigits : litDigits);
    };
    if (chargeReadout_->text() != r.charge) {
        chargeReadout_->setText(r.charge);
    }
    showChargeColour();
    show(rateReadout_, r.pulseRate, r.detectorStale);
    show(esReadout_, r.es, r.voltageStale);
    show(tvReadout_, r.testVoltage, r.voltageStale);
    if (r.peakMeter != peakMeterShown_) {
        peakMeter_->setValue(r.peakMeter);
        peakMeterShown_ = r.peakMeter;
    }
    if (r.rateMeter != rateMeterShown_) {
        rateMeter_->setValue(r.rateMeter);
        rateMeterShown_ = r.rateMeter;
    }
}

void PanelWidget::setChargeAlarm(bool on) {
    chargeAlarm_ = on;
    showChargeColour();
}

void PanelWidget::showChargeColour() {
    const bool stale = model_.readouts().detectorStale;
    if (chargeAlarm_) {
        setDigitColour(chargeReadout_, stale ? staleAlarmDigits : alarmDigits);
    } else {
        setDigitColour(chargeReadout_, stale ? staleDigits : litDigits);
    }
}

QWidget* PanelWidget::buildAttGroup() {
    QFrame* box = groupBox(QStringLiteral("attGroup"), this);
    auto* layout = new QVBoxLayout(box);
    attenuatorTitle_ = new RangeTitle(QStringLiteral("INPUT ATT"), box);
    nameControl(attenuatorTitle_, QStringLiteral("Label4"));
    attenuatorTitle_->setFont(displayFont(font(), 1.2, false));
    attenuatorTitle_->setToolTip(
        tr("Click, or Space: automatic attenuator ranging on or off. "
           "Alt+A: to the buttons."));
    layout->addWidget(attenuatorTitle_, 0, Qt::AlignLeft);

    attenuatorFrame_ = new QFrame(box);
    nameControl(attenuatorFrame_, QStringLiteral("Frame2"));
    auto* grid = new QGridLayout(attenuatorFrame_);
    attButtons_ = new QButtonGroup(this);
    const QFont captionFont = displayFont(font(), 1.15, false);
    for (int i = 0; i < attRanges; ++i) {
        const QString caption = QLatin1String(kAttCaptions[i]);
        auto* label5 = new QLabel(caption, attenuatorFrame_);
        nameArrayControl(label5, QStringLiteral("Label5"), i);
        label5->setFont(captionFont);
        attenuatorRadios_[i] = new QRadioButton(attenuatorFrame_);
        nameArrayControl(attenuatorRadios_[i], QStringLiteral("peakb"), i);
        label5->setBuddy(attenuatorRadios_[i]);
        attButtons_->addButton(attenuatorRadios_[i], i);
        grid->addWidget(label5, 0, i, Qt::AlignHCenter | Qt::AlignBottom);
        grid->addWidget(attenuatorRadios_[i], 1, i, Qt::AlignHCenter | Qt::AlignTop);
    }
    layout->addWidget(attenuatorFrame_);
    return box;
}

QWidget* PanelWidget::buildRateGroup() {
    QFrame* box = groupBox(QStringLiteral("rateGroup"), this);
    auto* layout = new QVBoxLayout(box);
    rateTitle_ = new RangeTitle(QStringLiteral("RATE METER RANGE"), box);
    nameControl(rateTitle_, QStringLiteral("Label7"));
    rateTitle_->setFont(displayFont(font(), 1.2, false));
    rateTitle_->setToolTip(
        tr("Click, or Space: automatic rate ranging on or off. "
           "Alt+R: to the buttons."));
    layout->addWidget(rateTitle_, 0, Qt::AlignLeft);

    rangeCaptions_ = namedLabel(QStringLiteral("Label6"), kRangeRow, box);
    rangeCaptions_->setFont(displayFont(font(), 1.15, true));
    layout->addWidget(rangeCaptions_);

    // The REMOTE box stays outside Frame1: it must work while the range buttons are off.
    rangeRow_ = new QHBoxLayout;
    rangeRow_->setSpacing(0);
    remoteLead_ = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    rangeRow_->addSpacerItem(remoteLead_);
    remoteBox_ = new QCheckBox(box);
    nameControl(remoteBox_, QStringLiteral("remoteb"));
    remoteBox_->setAccessibleName(QStringLiteral("REMOTE"));
    remoteBox_->setToolTip(tr("Remote operation of the detector (Alt+E)"));
    rangeRow_->addWidget(remoteBox_);
    rateButtonsLead_ = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    rangeRow_->addSpacerItem(rateButtonsLead_);

    rateFrame_ = new QFrame(box);
    nameControl(rateFrame_, QStringLiteral("Frame1"));
    rateButtonRow_ = new QHBoxLayout(rateFrame_);
    rateButtonRow_->setContentsMargins(0, 0, 0, 0);
    rateButtonRow_->setSpacing(0);
    rateButtons_ = new QButtonGroup(this);
    for (int i = 0; i < rateRanges; ++i) {
        if (i > 0) {
            rateButtonGaps_[i - 1] =
                new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
            rateButtonRow_->addSpacerItem(rateButtonGaps_[i - 1]);
        }
        rateRadios_[i] = new QRadioButton(rateFrame_);
        nameArrayControl(rateRadios_[i], QStringLiteral("rateb"), i);
        rateButtons_->addButton(rateRadios_[i], i);
        rateButtonRow_->addWidget(rateRadios_[i]);
    }
    rangeRow_->addWidget(rateFrame_);
    rangeRow_->addStretch(1);
    layout->addLayout(rangeRow_);
    return box;
}

QWidget* PanelWidget::buildReadouts() {
    // The rate on the left over its meter scal1, the charge on the right over scal2, the
    // AC unit's reading and the test voltage below them.
    QFrame* box = groupBox(QStringLiteral("readoutGroup"), this);
    auto* grid = new QGridLayout(box);
    const QFont unitFont = displayFont(font(), 1.3, false);
    const auto unit = [&](const char* name, const char* text, int row, int column) {
        QLabel* label = namedLabel(QLatin1String(name), QString::fromUtf8(text), box);
        label->setFont(unitFont);
        grid->addWidget(label, row, column);
        return label;
    };

    rateReadout_ = makeReadout(QStringLiteral("Vpps"), 7, 2.8, box);
    chargeReadout_ = makeReadout(QStringLiteral("Vpeak"), 9, 2.8, box);
    esReadout_ = makeReadout(QStringLiteral("des"), 5, 2.0, box);
    tvReadout_ = makeReadout(QStringLiteral("dtv"), 7, 2.0, box);

    grid->addWidget(rateReadout_, 0, 1);
    unit("Label1", "P.P.S.", 0, 2);
    grid->addWidget(chargeReadout_, 0, 4);
    unit("Label2", "pC", 0, 5);
    unit("Label8", "Es", 1, 0)->setBuddy(esReadout_);
    grid->addWidget(esReadout_, 1, 1);
    unit("Label10", "V", 1, 2);
    unit("Label12", "TV", 1, 3)->setBuddy(tvReadout_);
    grid->addWidget(tvReadout_, 1, 4);
    unit("Label9", "V", 1, 5);

    rateMeter_ = new PointerMeterWidget(box);
    nameControl(rateMeter_, QStringLiteral("scal1"));
    peakMeter_ = new PointerMeterWidget(box);
    nameControl(peakMeter_, QStringLiteral("scal2"));
    grid->addWidget(rateMeter_, 2, 0, 1, 3);
    grid->addWidget(peakMeter_, 2, 3, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    return box;
}

void PanelWidget::buildShortcuts() {
    const auto focusGroup = [this](QButtonGroup* group) {
        QAbstractButton* target = group->checkedButton();
        (target != nullptr ? target : group->buttons().constFirst())
            ->setFocus(Qt::ShortcutFocusReason);
    };
    auto* att = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_A), this);
    connect(att, &QShortcut::activated, this, [this, focusGroup] { focusGroup(attButtons_); });
    auto* rate = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_R), this);
    connect(rate, &QShortcut::activated, this, [this, focusGroup] { focusGroup(rateButtons_); });
    auto* remote = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_E), this);
    connect(remote, &QShortcut::activated, this,
            [this] { remoteBox_->setFocus(Qt::ShortcutFocusReason); });

    QWidget* chain[] = {attenuatorTitle_,     attenuatorRadios_[0], attenuatorRadios_[1],
                        attenuatorRadios_[2], attenuatorRadios_[3], attenuatorRadios_[4],
                        attenuatorRadios_[5], attenuatorRadios_[6], attenuatorRadios_[7],
                        attenuatorRadios_[8], attenuatorRadios_[9], rateTitle_,
                        remoteBox_,           rateRadios_[0],       rateRadios_[1],
                        rateRadios_[2],       rateRadios_[3]};
    for (size_t i = 1; i < std::size(chain); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }
}

void PanelWidget::alignRangeRow() {
    // Centres of the captions in the range row, measured in its own font, so the boxes
    // stay under their captions whatever the font and the screen's resolution.
    const QFontMetrics fm(rangeCaptions_->font());
    const QString row = rangeCaptions_->text();
    const auto centre = [&](const QString& caption) {
        const qsizetype at = row.indexOf(caption);
        return fm.horizontalAdvance(row.left(at)) + fm.horizontalAdvance(caption) / 2;
    };
    const int boxWidth = remoteBox_->sizeHint().width();
    const int buttonWidth = rateRadios_[0]->sizeHint().width();
    const int lead = qMax(0, centre(QStringLiteral("REMOTE")) - boxWidth / 2);
    remoteLead_->changeSize(lead, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    int left = lead + boxWidth;
    int previous = centre(QString::fromUtf8(kRateCaptions[0])) - buttonWidth / 2;
    rateButtonsLead_->changeSize(qMax(0, previous - left), 0, QSizePolicy::Fixed,
                                 QSizePolicy::Minimum);
    for (int i = 1; i < rateRanges; ++i) {
        const int next = centre(QString::fromUtf8(kRateCaptions[i])) - buttonWidth / 2;
        rateButtonGaps_[i - 1]->changeSize(qMax(0, next - previous - buttonWidth), 0,
                                           QSizePolicy::Fixed, QSizePolicy::Minimum);
        previous = next;
    }
    rangeRow_->invalidate();
    rateButtonRow_->invalidate();
}

void PanelWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        alignRangeRow();
    }
}

PointerMeterWidget& PanelWidget::meter(Meter which) {
    return which == Meter::Rate ? *rateMeter_ : *peakMeter_;
}

}  // namespace kr5
