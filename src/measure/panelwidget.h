// The front panel of the main window, laid out as on the detector: the title, the input
// attenuator buttons, the rate-meter range buttons with the REMOTE box, the readouts and
// the two pointer meters. It only shows and forwards: every click goes to the callbacks
// the panel logic sets, and a selection from code runs the same callback as a click.
#pragma once

#include "measure/panelview.h"

#include <QWidget>
#include <array>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QHBoxLayout;
class QLabel;
class QRadioButton;
class QSpacerItem;

namespace kr5 {

class ScaleWidget;

class PanelWidget : public QWidget, public PanelView {
    Q_OBJECT

  public:
    static constexpr int attRanges = 10;
    static constexpr int rateRanges = 4;

    explicit PanelWidget(QWidget* parent = nullptr);

    // The handlers of the controls: peakb(i) and rateb(i) clicked, the REMOTE box clicked
    // (with its new state), the titles "INPUT ATT" (Label4) and "RATE METER RANGE"
    // (Label7) clicked. Unset ones are skipped.
    std::function<void(int)> onPeakbClick;
    std::function<void(int)> onRatebClick;
    std::function<void(bool)> onRemoteClick;
    std::function<void()> onLabel4Click;
    std::function<void()> onLabel7Click;

    // PanelView. An index outside the buttons is ignored.
    void selectPeakb(int i) override;
    void selectRateb(int i) override;
    bool remoteChecked() const override;
    void setRemoteChecked(bool checked) override;
    void setRangeFramesEnabled(bool enabled) override;
    void setRemoteEnabled(bool enabled) override;
    void setReadout(Readout which, const QString& text) override;
    void setMeter(Meter which, double value) override;
    void setRangeTitleColours(quint32 inputAttColour, quint32 rateRangeColour) override;

    // The meters, for their set-up at start: scal1 (pulse rate, left), scal2 (peak, right).
    ScaleWidget& scal(Meter which);

  protected:
    void changeEvent(QEvent* event) override;

  private:
    QWidget* buildAttGroup();
    QWidget* buildRateGroup();
    QWidget* buildReadouts();
    void buildShortcuts();
    void alignRangeRow();
    void peakbClicked(int index);
    void ratebClicked(int index);
    void remotebClicked(bool checked);
    QLabel* readout(Readout which) const;

    std::array<QRadioButton*, attRanges> peakb_{};
    std::array<QRadioButton*, rateRanges> rateb_{};
    QButtonGroup* attButtons_ = nullptr;
    QButtonGroup* rateButtons_ = nullptr;
    QCheckBox* remoteb_ = nullptr;
    QFrame* frame1_ = nullptr;
    QFrame* frame2_ = nullptr;
    QLabel* label4_ = nullptr;
    QLabel* label6_ = nullptr;
    QLabel* label7_ = nullptr;
    QLabel* vpeak_ = nullptr;
    QLabel* vpps_ = nullptr;
    QLabel* des_ = nullptr;
    QLabel* dtv_ = nullptr;
    ScaleWidget* scal1_ = nullptr;
    ScaleWidget* scal2_ = nullptr;
    // The gaps that put the REMOTE box and the rate buttons under their captions.
    QSpacerItem* remoteLead_ = nullptr;
    QSpacerItem* frame1Lead_ = nullptr;
    std::array<QSpacerItem*, rateRanges - 1> ratebGaps_{};
    QHBoxLayout* rangeRow_ = nullptr;
    QHBoxLayout* frame1Row_ = nullptr;
};

}  // namespace kr5
