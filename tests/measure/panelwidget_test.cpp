// The front panel widget: its controls with their names and captions, clicks and
// selections from code reaching the handlers exactly once, the REMOTE box and the range
// frames, the readouts, the range title colours, the meters, the keyboard path through
// the panel and the range row's buttons under their captions.
#include "measure/panelwidget.h"
#include "charts/scalewidget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <cmath>
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
    int checkedPeakb() {
        for (int i = 0; i < 10; ++i) {
            if (peakb(i)->isChecked()) {
                return i;
            }
        }
        return -1;
    }

    // Sends a press and release of one key to a widget.
    static void key(QWidget* widget, int code) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
    static void mouseClick(QWidget* widget) {
        const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
};

TEST_F(PanelWidgetTest, ControlsCarryTheirNamesAndCaptions) {
    EXPECT_EQ(text("Label3"), QStringLiteral("PARTIAL DISCHARGE DETECTOR TYPE KR-5"));
    EXPECT_EQ(text("Label4"), QStringLiteral("INPUT ATT"));
    EXPECT_EQ(text("Label7"), QStringLiteral("RATE METER RANGE"));
    EXPECT_EQ(text("Label6"), QStringLiteral("REMOTE   ×1         ×5         ×10        ×50"));
    EXPECT_EQ(text("Label1"), QStringLiteral("P.P.S."));
    EXPECT_EQ(text("Label2"), QStringLiteral("pC"));
    EXPECT_EQ(text("Label8"), QStringLiteral("Es"));
    EXPECT_EQ(text("Label10"), QStringLiteral("V"));
    EXPECT_EQ(text("Label12"), QStringLiteral("TV"));
    EXPECT_EQ(text("Label9"), QStringLiteral("V"));
    for (const char* name : {"Label3", "Label4", "Label7", "Frame1", "Frame2", "remoteb", "Vpeak",
                             "Vpps", "des", "dtv", "scal1", "scal2"}) {
        EXPECT_EQ(control(QLatin1String(name))->accessibleDescription(), QLatin1String(name));
    }

    auto* frame1 = control(QStringLiteral("Frame1"));
    auto* frame2 = control(QStringLiteral("Frame2"));
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        QLabel* label5 = control<QLabel>(QStringLiteral("Label5(%1)").arg(i));
        EXPECT_EQ(label5->text(), QString::fromUtf8(kAtt[i]));
        EXPECT_EQ(label5->accessibleDescription(), QStringLiteral("Label5(%1)").arg(i));
        EXPECT_EQ(label5->buddy(), peakb(i));
        EXPECT_EQ(peakb(i)->accessibleDescription(), QStringLiteral("peakb(%1)").arg(i));
        EXPECT_EQ(peakb(i)->accessibleName(), QString::fromUtf8(kAtt[i]));
        EXPECT_TRUE(frame2->isAncestorOf(peakb(i)));
    }
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rateb(i)->accessibleDescription(), QStringLiteral("rateb(%1)").arg(i));
        EXPECT_EQ(rateb(i)->accessibleName(), QString::fromUtf8(kRate[i]));
        EXPECT_TRUE(frame1->isAncestorOf(rateb(i)));
    }
    EXPECT_EQ(remoteb()->accessibleName(), QStringLiteral("REMOTE"));
    EXPECT_FALSE(frame1->isAncestorOf(remoteb()));  // it must work in local mode
    EXPECT_EQ(&panel.scal(Meter::Scal1), control<ScaleWidget>(QStringLiteral("scal1")));
    EXPECT_EQ(&panel.scal(Meter::Scal2), control<ScaleWidget>(QStringLiteral("scal2")));
}

TEST_F(PanelWidgetTest, ReadoutsStartAsTheInstrumentShowsThemAndTakeTheirTexts) {
    EXPECT_EQ(text("Vpeak"), QString());
    EXPECT_EQ(text("Vpps"), QString());
    EXPECT_EQ(text("dtv"), QString());
    EXPECT_EQ(text("des"), QStringLiteral("0.0"));

    panel.setReadout(Readout::Vpeak, QStringLiteral("15000.00"));
    panel.setReadout(Readout::Vpps, QStringLiteral(".0"));
    panel.setReadout(Readout::Des, QStringLiteral("00.0"));
    panel.setReadout(Readout::Dtv, QStringLiteral(" 0V"));
    EXPECT_EQ(text("Vpeak"), QStringLiteral("15000.00"));
    EXPECT_EQ(text("Vpps"), QStringLiteral(".0"));
    EXPECT_EQ(text("des"), QStringLiteral("00.0"));
    EXPECT_EQ(text("dtv"), QStringLiteral(" 0V"));

    // Large enough to read from a distance: well above the panel's own text.
    EXPECT_GE(control(QStringLiteral("Vpeak"))->fontInfo().pixelSize(),
              2 * panel.fontInfo().pixelSize());
}

TEST_F(PanelWidgetTest, SelectionFromCodeRunsTheHandlerExactlyOnce) {
    panel.selectPeakb(3);
    EXPECT_EQ(checkedPeakb(), 3);
    EXPECT_EQ(peakbClicks, std::vector<int>{3});
    panel.selectPeakb(3);  // already shown: still one run per selection
    EXPECT_EQ(peakbClicks, (std::vector<int>{3, 3}));

    panel.selectRateb(2);
    EXPECT_TRUE(rateb(2)->isChecked());
    EXPECT_EQ(ratebClicks, std::vector<int>{2});

    // In local mode the frames are off, yet the panel still follows the detector.
    panel.setRangeFramesEnabled(false);
    panel.selectPeakb(9);
    panel.selectRateb(0);
    EXPECT_EQ(checkedPeakb(), 9);
    EXPECT_TRUE(rateb(0)->isChecked());
    EXPECT_EQ(peakbClicks, (std::vector<int>{3, 3, 9}));
    EXPECT_EQ(ratebClicks, (std::vector<int>{2, 0}));

    // A garbled index selects nothing.
    for (int bad : {-1, 10, 1000}) {
        panel.selectPeakb(bad);
        panel.selectRateb(bad == 10 ? 4 : bad);
    }
    EXPECT_EQ(checkedPeakb(), 9);
    EXPECT_EQ(peakbClicks.size(), 3u);
    EXPECT_EQ(ratebClicks.size(), 2u);
}

TEST_F(PanelWidgetTest, OperatorClicksRunTheHandlerOnceAndNotWhileTheFramesAreOff) {
    peakb(5)->click();
    rateb(3)->click();
    EXPECT_EQ(peakbClicks, std::vector<int>{5});
    EXPECT_EQ(ratebClicks, std::vector<int>{3});
    EXPECT_EQ(checkedPeakb(), 5);

    panel.setRangeFramesEnabled(false);
    for (int i = 0; i < 10; ++i) {
        EXPECT_FALSE(peakb(i)->isEnabled()) << i;
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(rateb(i)->isEnabled()) << i;
    }
    EXPECT_TRUE(remoteb()->isEnabled());
    EXPECT_TRUE(control(QStringLiteral("Label4"))->isEnabled());
    EXPECT_TRUE(control(QStringLiteral("Label7"))->isEnabled());
    peakb(1)->click();
    rateb(1)->click();
    EXPECT_EQ(peakbClicks.size(), 1u);
    EXPECT_EQ(ratebClicks.size(), 1u);
    EXPECT_EQ(checkedPeakb(), 5);

    panel.setRangeFramesEnabled(true);
    EXPECT_TRUE(control(QStringLiteral("Frame1"))->isEnabled());
    EXPECT_TRUE(control(QStringLiteral("Frame2"))->isEnabled());
    peakb(1)->click();
    EXPECT_EQ(peakbClicks, (std::vector<int>{5, 1}));
}

TEST_F(PanelWidgetTest, RemoteBoxRunsItsHandlerOnEachChange) {
    EXPECT_FALSE(panel.remoteChecked());
    panel.setRemoteChecked(true);
    EXPECT_TRUE(panel.remoteChecked());
    EXPECT_EQ(remoteClicks, std::vector<bool>{true});
    panel.setRemoteChecked(true);  // no change, no click
    EXPECT_EQ(remoteClicks.size(), 1u);

    remoteb()->click();  // the operator unticks it
    EXPECT_FALSE(panel.remoteChecked());
    EXPECT_EQ(remoteClicks, (std::vector<bool>{true, false}));
    panel.setRemoteChecked(false);
    EXPECT_EQ(remoteClicks.size(), 2u);
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

    panel.setRangeTitleColours(0x0000FF, 0x000000);
    EXPECT_EQ(label4->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(label7->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    panel.setRangeTitleColours(0x000000, 0x0000FF);
    EXPECT_EQ(label4->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_EQ(label7->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    panel.setRangeTitleColours(0x123456, 0x0000FF);  // 0x00BBGGRR
    EXPECT_EQ(label4->palette().color(QPalette::WindowText), QColor(0x56, 0x34, 0x12));
}

TEST_F(PanelWidgetTest, MetersFollowSetMeter) {
    ScaleWidget& rate = panel.scal(Meter::Scal1);
    ScaleWidget& peak = panel.scal(Meter::Scal2);
    rate.init(100, 100, QStringLiteral("P.P.S."));
    peak.init(10, 10, QStringLiteral("Vp"));
    const Scal& s = rate.scal();
    const auto end = [&s](double fraction) {
        const double t = Scal::pointerAngle(fraction);
        const double r = s.r1 - 2;
        return QPoint(static_cast<int>(std::lround(s.scx + r * std::cos(t))),
                      static_cast<int>(std::lround(s.scy - r * std::sin(t))));
    };
    const auto inked = [](const ScaleWidget& m, QPoint p) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (m.sc().pixel(p.x() + dx, p.y() + dy) == kBlack) {
                    return true;
                }
            }
        }
        return false;
    };

    panel.setMeter(Meter::Scal1, 50);
    EXPECT_EQ(rate.sc().pixel(s.scx, 140), kBlack);                 // straight up
    EXPECT_EQ(peak.sc().pixel(s.scx, 140), peak.sc().pixel(0, 0));  // the other one stays

    panel.setMeter(Meter::Scal2, 10);
    EXPECT_TRUE(inked(peak, end(1.0)));
    panel.setMeter(Meter::Scal1, 20);
    EXPECT_TRUE(inked(rate, end(0.2)));
    EXPECT_EQ(rate.sc().pixel(s.scx, 140), rate.sc().pixel(0, 0));  // moved away
    EXPECT_DOUBLE_EQ(peak.scal().cur(), 1.0);
}

TEST_F(PanelWidgetTest, TabRunsThroughTheRangeControlsInPanelOrder) {
    std::vector<QString> order;
    QWidget* w = control(QStringLiteral("Label4"));
    for (int guard = 0; guard < 100 && order.size() < 17; ++guard) {
        if ((w->focusPolicy() & Qt::TabFocus) != 0 && panel.isAncestorOf(w)) {
            order.push_back(w->objectName());
        }
        w = w->nextInFocusChain();
    }
    std::vector<QString> expected{QStringLiteral("Label4")};
    for (int i = 0; i < 10; ++i) {
        expected.push_back(QStringLiteral("peakb(%1)").arg(i));
    }
    expected.push_back(QStringLiteral("Label7"));
    expected.push_back(QStringLiteral("remoteb"));
    for (int i = 0; i < 4; ++i) {
        expected.push_back(QStringLiteral("rateb(%1)").arg(i));
    }
    EXPECT_EQ(order, expected);
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
