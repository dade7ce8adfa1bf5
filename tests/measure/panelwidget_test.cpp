// The front panel widget over its model: its controls with their names and captions, the
// operator's clicks reaching the model, the model's state shown (buttons, REMOTE box,
// frames, readouts dimmed when old, range title colours, meters), the keyboard path
// through the panel and the range row's buttons under their captions. The model's rules
// are in panelmodel_test.
#include "measure/panelwidget.h"
#include "measure/evaluation.h"
#include "measure/pointermeterwidget.h"
#include "platform/virtualclock.h"
#include "support/benchunits.h"
#include "support/replies.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <vector>

namespace kr5 {
namespace {

const char* const kAtt[] = {"1/1",  "1/2",   "1/5",   "1/10",  "1/20",
                            "1/50", "1/100", "1/200", "1/500", "1/1000"};
const char* const kRate[] = {"×1", "×5", "×10", "×50"};

class PanelWidgetTest : public ::testing::Test {
  protected:
    OperatingSettings settings;
    Requests requests;
    PanelModel model{requests, settings};
    VirtualClock clock;
    ScreenPacer pacer{clock};
    PanelWidget panel{model, pacer};

    // The clicks are requests; here the model takes them at once.
    PanelWidgetTest() {
        QObject::connect(&panel, &PanelWidget::attenuatorClicked, &model,
                         &PanelModel::clickAttenuator);
        QObject::connect(&panel, &PanelWidget::rateClicked, &model, &PanelModel::clickRate);
        QObject::connect(&panel, &PanelWidget::remoteClicked, &model, &PanelModel::clickRemote);
    }

    // One normal cycle's reading as the evaluator makes it, or a Q-N step's with its count.
    void show(int peak, int rate, int att, int rateRange, bool acAnswered = true,
              std::optional<qint32> count = std::nullopt) {
        static const InputConstants constants;
        UnitsOnLine units;
        test::defaultBenchUnits(units, true, false);
        ReadingEvaluator evaluator(constants, units);
        const Reply x = test::detectorReply(peak, rate, att, rateRange);
        const Reply t = acAnswered ? test::whole(QStringLiteral("A1t2123\r\n")) : Reply{};
        model.takeReading(count ? evaluator.qnStep(att, count, {0, x, t, Reply{}})
                                : evaluator.cycle({0, x, t, Reply{}}));
        clock.advanceMs(ScreenPacer::kFrameMs);  // the next frame shows it
    }

    template <typename W = QWidget>
    W* control(const QString& name) {
        W* found = panel.findChild<W*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QRadioButton* peakb(int i) { return control<QRadioButton>(QStringLiteral("peakb(%1)").arg(i)); }
    QRadioButton* rateb(int i) { return control<QRadioButton>(QStringLiteral("rateb(%1)").arg(i)); }
    QCheckBox* remoteb() { return control<QCheckBox>(QStringLiteral("remoteb")); }
    QString text(const char* name) { return control<QLabel>(QLatin1String(name))->text(); }
    QColor colour(const char* name) {
        return control(QLatin1String(name))->palette().color(QPalette::WindowText);
    }
    int checkedPeakb() { return peakb(0)->group()->checkedId(); }

    // Sends a press and release of one key, or of the left mouse button, to a widget.
    static void key(QWidget* widget, int code) {
        for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, code, Qt::NoModifier);
            QApplication::sendEvent(widget, &event);
        }
    }
    static void mouseClick(QWidget* widget) {
        const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            const auto buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
            QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons,
                              Qt::NoModifier);
            QApplication::sendEvent(widget, &event);
        }
    }
};

// Each range button lies in its frame, under the caption that is its buddy or in the range
// row, at the panel's smallest size and at a large one, and reads as its range.
TEST_F(PanelWidgetTest, RangeButtonsLieInTheirFramesUnderTheirCaptions) {
    EXPECT_EQ(&panel.meter(Meter::Rate), control<PointerMeterWidget>(QStringLiteral("scal1")));
    EXPECT_EQ(&panel.meter(Meter::Peak), control<PointerMeterWidget>(QStringLiteral("scal2")));
    EXPECT_EQ(remoteb()->accessibleName(), QStringLiteral("REMOTE"));
    auto* rangeCaptions = control<QLabel>(QStringLiteral("Label6"));
    const auto centre = [this](QWidget* w) { return w->mapTo(&panel, w->rect().center()).x(); };
    const auto captionCentre = [&](const QString& caption) {
        const QString row = rangeCaptions->text();
        const QFontMetrics fm(rangeCaptions->font());
        const int x = fm.horizontalAdvance(row.left(row.indexOf(caption))) +
                      fm.horizontalAdvance(caption) / 2 + rangeCaptions->contentsRect().left();
        return rangeCaptions->mapTo(&panel, QPoint(x, 0)).x();
    };
    for (const QSize size : {QSize(0, 0), QSize(1400, 900)}) {
        panel.resize(size.expandedTo(panel.minimumSizeHint()));
        panel.show();
        QApplication::processEvents();
        SCOPED_TRACE(panel.width());
        EXPECT_NEAR(centre(remoteb()), captionCentre(QStringLiteral("REMOTE")), 4);
        for (int i = 0; i < 4; ++i) {
            const QString range = QString::fromUtf8(kRate[i]);
            EXPECT_EQ(rateb(i)->accessibleName(), "Rate meter range " + range);
            EXPECT_TRUE(control(QStringLiteral("Frame1"))->isAncestorOf(rateb(i))) << i;
            EXPECT_NEAR(centre(rateb(i)), captionCentre(range), 4) << i;
        }
        for (int i = 0; i < 10; ++i) {
            const QString range = QString::fromUtf8(kAtt[i]);
            auto* caption = control<QLabel>(QStringLiteral("Label5(%1)").arg(i));
            EXPECT_EQ(caption->text(), range);
            EXPECT_EQ(caption->buddy(), peakb(i));
            EXPECT_EQ(peakb(i)->accessibleName(), "Input attenuator " + range);
            EXPECT_TRUE(control(QStringLiteral("Frame2"))->isAncestorOf(peakb(i))) << i;
            EXPECT_NEAR(centre(peakb(i)), centre(caption), 4) << i;
            EXPECT_LT(caption->mapTo(&panel, QPoint()).y(), peakb(i)->mapTo(&panel, QPoint()).y());
        }
    }
}

TEST_F(PanelWidgetTest, ReadoutsShowTheModelAndDimWhenTheUnitIsSilent) {
    const char* const names[] = {"Vpeak", "Vpps", "des", "dtv"};
    const auto texts = [&] {
        QStringList shown;
        for (const char* name : names) {
            shown << text(name);
        }
        return shown;
    };
    EXPECT_EQ(texts(), (QStringList{"", "", "0.0", ""}));
    settings.autoAttenuator = settings.autoRate = false;
    show(0xFF, 0, 9, 0);
    EXPECT_EQ(texts(), (QStringList{"15000.00", ".0", "12.3", " 1.23kV"}));
    const QColor lit = colour("Vpeak");
    // The AC unit silent: its readouts keep their text, dimmed; the detector's stay lit.
    show(0x11, 0, 9, 0, false);
    EXPECT_EQ(texts(), (QStringList{"1000.00", ".0", "12.3", " 1.23kV"}));
    EXPECT_EQ(colour("Vpeak"), lit);
    EXPECT_NE(colour("dtv"), lit);
    // Large enough to read from a distance: well above the panel's own text.
    EXPECT_GE(control(QStringLiteral("Vpeak"))->fontInfo().pixelSize(),
              2 * panel.fontInfo().pixelSize());
}

TEST_F(PanelWidgetTest, TheChargeReadoutTurnsRedWhileTheChargeIsAboveTheLimit) {
    settings.autoAttenuator = settings.autoRate = false;
    show(0x11, 0, 9, 0);
    const QColor lit = colour("Vpeak");
    panel.setChargeAlarm(true);
    EXPECT_GT(colour("Vpeak").red(), 2 * colour("Vpeak").green());
    show(0x12, 0, 9, 0);  // the next reading keeps it red
    EXPECT_EQ(text("Vpeak"), QStringLiteral("1058.82"));
    EXPECT_GT(colour("Vpeak").red(), 2 * colour("Vpeak").green());
    EXPECT_EQ(colour("Vpps"), lit);
    panel.setChargeAlarm(false);
    EXPECT_EQ(colour("Vpeak"), lit);
}

TEST_F(PanelWidgetTest, ClicksGoToTheModelAndTheButtonsShowIt) {
    model.setRemote(true);
    peakb(5)->click();
    rateb(3)->click();
    EXPECT_EQ(requests.attenuator, 5);
    EXPECT_EQ(requests.rate, 3);
    // The buttons follow what the detector reports, also in local mode with the frames
    // off; following selects the button but is no click.
    remoteb()->click();
    EXPECT_EQ(requests.detectorRemote, std::optional<bool>(false));
    EXPECT_FALSE(peakb(0)->isEnabled() || peakb(9)->isEnabled() || rateb(3)->isEnabled());
    for (const char* name : {"remoteb", "Label4", "Label7"}) {
        EXPECT_TRUE(control(QLatin1String(name))->isEnabled()) << name;
    }
    show(0x55, 0x55, 9, 1);
    EXPECT_EQ(checkedPeakb(), 9);
    EXPECT_TRUE(rateb(1)->isChecked());
    model.setRemote(true);
    EXPECT_TRUE(remoteb()->isChecked());
    EXPECT_TRUE(peakb(0)->isEnabled());
    requests.detectorRemote.reset();
    model.setRemote(true);  // already ticked: nothing more is asked
    EXPECT_FALSE(requests.detectorRemote);
    // A Q-N measurement locks the frames and the box, and moves the buttons itself.
    model.setQnRunning(true);
    model.showQnStep(2);
    EXPECT_EQ(checkedPeakb(), 2);
    EXPECT_FALSE(remoteb()->isEnabled());
    EXPECT_FALSE(peakb(2)->isEnabled());
}

TEST_F(PanelWidgetTest, RangeTitlesSwitchByMouseAndKeyAndShowTheirColours) {
    QWidget* attenuatorTitle = control(QStringLiteral("Label4"));
    QWidget* rateTitle = control(QStringLiteral("Label7"));
    int toggles = 0;  // each switch is told on, for the Options window to follow
    QObject::connect(&model, &PanelModel::autoRangingToggled, [&] { ++toggles; });
    panel.resize(panel.sizeHint());
    const QColor autoColour(0xFF, 0, 0);  // light red while automatic
    EXPECT_EQ(colour("Label4"), autoColour);
    mouseClick(attenuatorTitle);
    EXPECT_EQ(std::pair(settings.autoAttenuator, settings.autoRate), std::pair(false, true));
    EXPECT_EQ(std::pair(colour("Label4"), colour("Label7")),
              std::pair(QColor(Qt::black), autoColour));
    key(rateTitle, Qt::Key_Space);
    EXPECT_FALSE(settings.autoRate);
    key(rateTitle, Qt::Key_Return);
    key(rateTitle, Qt::Key_A);  // other keys do nothing
    EXPECT_TRUE(settings.autoRate);
    EXPECT_EQ(colour("Label7"), autoColour);
    // Set elsewhere (the Options window) and told to the model.
    settings.autoAttenuator = true;
    model.autoRangingSet();
    EXPECT_EQ(colour("Label4"), autoColour);
    EXPECT_EQ(toggles, 3) << "a setting made elsewhere is not told back";
}

TEST_F(PanelWidgetTest, EachMeterFollowsItsOwnRawReading) {
    panel.initMeters();
    PointerMeterWidget& rate = panel.meter(Meter::Rate);
    PointerMeterWidget& peak = panel.meter(Meter::Peak);
    settings.autoAttenuator = settings.autoRate = false;
    show(0xAA, 0x55, 0, 0);  // 10 V of peak, 50 of rate
    EXPECT_DOUBLE_EQ(rate.meter().fraction(), 0.5);
    EXPECT_DOUBLE_EQ(peak.meter().fraction(), 1.0);
    const int centreX = rate.meter().centreX;
    EXPECT_EQ(rate.picture().pixel(centreX, 140), kBlack);  // straight up
    show(0x11, 0, 3, 0, true, 500);  // a Q-N count leaves the rate meter where it is
    EXPECT_DOUBLE_EQ(rate.meter().fraction(), 0.5);
    EXPECT_DOUBLE_EQ(peak.meter().fraction(), 0.1);
}

TEST_F(PanelWidgetTest, TabRunsThroughTheRangeControlsInPanelOrder) {
    QStringList order;
    QWidget* w = control(QStringLiteral("Label4"));
    for (int guard = 0; guard < 100 && order.size() < 17; ++guard) {
        if ((w->focusPolicy() & Qt::TabFocus) != 0 && panel.isAncestorOf(w)) {
            order << w->objectName();
        }
        w = w->nextInFocusChain();
    }
    EXPECT_EQ(order.join(QLatin1Char(' ')),
              QStringLiteral("Label4 peakb(0) peakb(1) peakb(2) peakb(3) peakb(4) peakb(5) "
                             "peakb(6) peakb(7) peakb(8) peakb(9) Label7 remoteb rateb(0) "
                             "rateb(1) rateb(2) rateb(3)"));
}

}  // namespace
}  // namespace kr5
