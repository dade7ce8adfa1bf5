// The front panel widget: its controls with their names and captions, clicks and
// selections from code reaching the handlers exactly once, the REMOTE box and the range
// frames, the readouts, the range title colours, the meters, the keyboard path through
// the panel and the range row's buttons under their captions.
#include "measure/panelwidget.h"
#include "charts/scalewidget.h"

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
    PanelWidget panel;
    std::vector<int> peakbClicks;
    std::vector<int> ratebClicks;
    std::vector<bool> remoteClicks;
    int label4Clicks = 0;
    int label7Clicks = 0;

    PanelWidgetTest() {
        panel.onPeakbClick = [this](int i) { peakbClicks.push_back(i); };
        panel.onRatebClick = [this](int i) { ratebClicks.push_back(i); };
        panel.onRemoteClick = [this](bool on) { remoteClicks.push_back(on); };
        panel.onLabel4Click = [this] { ++label4Clicks; };
        panel.onLabel7Click = [this] { ++label7Clicks; };
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

TEST_F(PanelWidgetTest, ControlsCarryTheirNamesAndCaptions) {
    // Every control named by the program carries the name as accessible description too.
    for (QWidget* w : panel.findChildren<QWidget*>()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_"))) {
            EXPECT_EQ(w->accessibleDescription(), w->objectName());
        }
    }
    QStringList captions;
    for (const char* name : {"Label3", "Label4", "Label7", "Label6", "Label1", "Label2", "Label8",
                             "Label10", "Label12", "Label9"}) {
        captions << text(name);
    }
    EXPECT_EQ(captions,
              (QStringList{"PARTIAL DISCHARGE DETECTOR TYPE KR-5", "INPUT ATT", "RATE METER RANGE",
                           "REMOTE   ×1         ×5         ×10        ×50", "P.P.S.", "pC", "Es",
                           "V", "TV", "V"}));

    auto* frame1 = control(QStringLiteral("Frame1"));
    auto* frame2 = control(QStringLiteral("Frame2"));
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        QLabel* label5 = control<QLabel>(QStringLiteral("Label5(%1)").arg(i));
        EXPECT_EQ(label5->text(), QString::fromUtf8(kAtt[i]));
        EXPECT_EQ(label5->buddy(), peakb(i));
        EXPECT_EQ(peakb(i)->accessibleName(), QString::fromUtf8(kAtt[i]));
        EXPECT_TRUE(frame2->isAncestorOf(peakb(i)));
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rateb(i)->accessibleName(), QString::fromUtf8(kRate[i])) << i;
        EXPECT_TRUE(frame1->isAncestorOf(rateb(i))) << i;
    }
    EXPECT_EQ(remoteb()->accessibleName(), QStringLiteral("REMOTE"));
    EXPECT_EQ(&panel.scal(Meter::Scal1), control<ScaleWidget>(QStringLiteral("scal1")));
    EXPECT_EQ(&panel.scal(Meter::Scal2), control<ScaleWidget>(QStringLiteral("scal2")));
}

TEST_F(PanelWidgetTest, ReadoutsStartAsTheInstrumentShowsThemAndTakeTheirTexts) {
    const char* const names[] = {"Vpeak", "Vpps", "des", "dtv"};
    QStringList shown;
    for (const char* name : names) {
        shown << text(name);
    }
    EXPECT_EQ(shown, (QStringList{"", "", "0.0", ""}));
    const QStringList texts{"15000.00", ".0", "00.0", " 0V"};
    int i = 0;
    for (Readout which : {Readout::Vpeak, Readout::Vpps, Readout::Des, Readout::Dtv}) {
        panel.setReadout(which, texts[i]);
        EXPECT_EQ(text(names[i]), texts[i]);
        ++i;
    }
    // Large enough to read from a distance: well above the panel's own text.
    EXPECT_GE(control(QStringLiteral("Vpeak"))->fontInfo().pixelSize(),
              2 * panel.fontInfo().pixelSize());
}

TEST_F(PanelWidgetTest, SelectionsFromCodeAndClicksRunTheHandlersExactlyOnce) {
    peakb(5)->click();
    rateb(3)->click();
    panel.selectPeakb(3);
    panel.selectPeakb(3);  // already shown: still one run per selection
    panel.selectRateb(2);
    EXPECT_TRUE(rateb(2)->isChecked());
    // In local mode the frames are off, yet the panel still follows the detector.
    panel.setRangeFramesEnabled(false);
    for (int i = 0; i < 10; ++i) {
        EXPECT_FALSE(peakb(i)->isEnabled()) << i;
        EXPECT_FALSE(rateb(i % 4)->isEnabled()) << i;
    }
    for (const char* name : {"remoteb", "Label4", "Label7"}) {
        EXPECT_TRUE(control(QLatin1String(name))->isEnabled()) << name;
    }
    panel.selectPeakb(9);
    panel.selectRateb(0);
    for (int bad : {-1, 10, 1000}) {  // a garbled index selects nothing
        panel.selectPeakb(bad);
        panel.selectRateb(bad == 10 ? 4 : bad);
    }
    EXPECT_EQ(checkedPeakb(), 9);
    EXPECT_TRUE(rateb(0)->isChecked());
    panel.setRangeFramesEnabled(true);
    peakb(1)->click();
    rateb(1)->click();
    EXPECT_EQ(peakbClicks, (std::vector<int>{5, 3, 3, 9, 1}));
    EXPECT_EQ(ratebClicks, (std::vector<int>{3, 2, 0, 1}));

    // The REMOTE box runs its handler on each change only.
    panel.setRemoteChecked(true);
    EXPECT_TRUE(panel.remoteChecked());
    panel.setRemoteChecked(true);
    remoteb()->click();  // the operator unticks it
    EXPECT_FALSE(panel.remoteChecked());
    panel.setRemoteChecked(false);
    remoteb()->click();
    EXPECT_EQ(remoteClicks, (std::vector<bool>{true, false, true}));
}

TEST_F(PanelWidgetTest, RangeTitlesSwitchByMouseAndKeyAndShowTheirColours) {
    QWidget* label4 = control(QStringLiteral("Label4"));
    QWidget* label7 = control(QStringLiteral("Label7"));
    panel.resize(panel.sizeHint());
    mouseClick(label4);
    EXPECT_EQ(label4Clicks, 1);
    EXPECT_EQ(label7Clicks, 0);
    key(label7, Qt::Key_Space);
    key(label7, Qt::Key_Return);
    key(label7, Qt::Key_A);  // other keys do nothing
    EXPECT_EQ(label7Clicks, 2);
    EXPECT_EQ(label4Clicks, 1);

    // Colours come as 0x00BBGGRR.
    for (const auto& [att, rate] :
         {std::pair(0x0000FFu, 0x000000u), std::pair(0x123456u, 0x654321u)}) {
        panel.setRangeTitleColours(att, rate);
        EXPECT_EQ(label4->palette().color(QPalette::WindowText),
                  QColor(att & 0xFF, (att >> 8) & 0xFF, att >> 16));
        EXPECT_EQ(label7->palette().color(QPalette::WindowText),
                  QColor(rate & 0xFF, (rate >> 8) & 0xFF, rate >> 16));
    }
}

TEST_F(PanelWidgetTest, SetMeterMovesThePointerOfItsOwnMeter) {
    // The dial's drawing is the meter's own business; here only which meter moves.
    ScaleWidget& rate = panel.scal(Meter::Scal1);
    ScaleWidget& peak = panel.scal(Meter::Scal2);
    rate.init(100, 100, QStringLiteral("P.P.S."));
    peak.init(10, 10, QStringLiteral("Vp"));
    const int scx = rate.scal().scx;
    panel.setMeter(Meter::Scal1, 50);
    EXPECT_EQ(rate.sc().pixel(scx, 140), kBlack);                 // straight up
    EXPECT_EQ(peak.sc().pixel(scx, 140), peak.sc().pixel(0, 0));  // the other one stays
    panel.setMeter(Meter::Scal2, 10);
    EXPECT_DOUBLE_EQ(rate.scal().cur(), 0.5);
    EXPECT_DOUBLE_EQ(peak.scal().cur(), 1.0);
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

TEST_F(PanelWidgetTest, RangeRowButtonsSitUnderTheirCaptions) {
    for (const QSize size : {QSize(0, 0), QSize(1400, 900)}) {
        panel.resize(size.expandedTo(panel.minimumSizeHint()));
        panel.show();
        QApplication::processEvents();
        auto* label6 = control<QLabel>(QStringLiteral("Label6"));
        const QString row = label6->text();
        const QFontMetrics fm(label6->font());
        const auto captionCentre = [&](const QString& caption) {
            const qsizetype at = row.indexOf(caption);
            const int x = fm.horizontalAdvance(row.left(at)) + fm.horizontalAdvance(caption) / 2;
            return label6->mapTo(&panel, QPoint(x + label6->contentsRect().left(), 0)).x();
        };
        const auto centre = [this](QWidget* w) { return w->mapTo(&panel, w->rect().center()).x(); };
        const int tolerance = 4;
        EXPECT_NEAR(centre(remoteb()), captionCentre(QStringLiteral("REMOTE")), tolerance);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(centre(rateb(i)), captionCentre(QString::fromUtf8(kRate[i])), tolerance)
                << i << " at width " << panel.width();
        }
        // The attenuator buttons stand under their captions too.
        for (int i = 0; i < 10; ++i) {
            QWidget* label5 = control(QStringLiteral("Label5(%1)").arg(i));
            EXPECT_NEAR(centre(peakb(i)), centre(label5), tolerance) << i;
            EXPECT_LT(label5->mapTo(&panel, QPoint(0, 0)).y(),
                      peakb(i)->mapTo(&panel, QPoint(0, 0)).y());
        }
    }
}

}  // namespace
}  // namespace kr5
