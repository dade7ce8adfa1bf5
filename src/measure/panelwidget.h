// The front panel of the main window, laid out as on the detector: the title, the input
// attenuator buttons, the rate-meter range buttons with the REMOTE box, the readouts and
// the two pointer meters. It shows the panel's model and hands the operator's clicks to
// it; it never decides anything itself.
#pragma once

#include "measure/panelmodel.h"
#include "platform/screenpacer.h"

#include <QWidget>
#include <array>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QHBoxLayout;
class QLabel;
class QRadioButton;
class QSpacerItem;

namespace kr5 {

class RangeTitle;
class PointerMeterWidget;

enum class Meter { Rate, Peak };  // the meters named scal1 (pulse rate) and scal2 (peak)

class PanelWidget : public QWidget {
    Q_OBJECT

  public:
    static constexpr int attRanges = 10;
    static constexpr int rateRanges = 4;

    // Range title colours (0x00BBGGRR): light red while automatic ranging is on, black
    // while it is off.
    static constexpr quint32 autoTitleColour = 0x0000FF;
    static constexpr quint32 manualTitleColour = 0x000000;

    // The readouts and meters follow the model at the pacer's frames.
    PanelWidget(PanelModel& model, ScreenPacer& pacer, QWidget* parent = nullptr);

    // Draws the two meters' dials with their pointers at 0 (once, at start-up).
    void initMeters();

    // The meters, for their set-up at start: scal1 (pulse rate, left), scal2 (peak, right).
    PointerMeterWidget& meter(Meter which);

    // The charge readout in red while the charge is above the permissible charge;
    // its text stays as it is.
    void setChargeAlarm(bool on);

  protected:
    void changeEvent(QEvent* event) override;

  signals:
    // The operator's clicks on the range buttons and the REMOTE box: requests for the
    // session, which the panel shows once they are taken.
    void attenuatorClicked(int range);
    void rateClicked(int range);
    void remoteClicked(bool on);

  private:
    void connectModel();
    void showButtons();
    void showControls();
    void showTitles();
    void showReadouts();
    void showChargeColour();
    QWidget* buildAttGroup();
    QWidget* buildRateGroup();
    QWidget* buildReadouts();
    void buildShortcuts();
    void alignRangeRow();

    PanelModel& model_;
    ScreenPacer& pacer_;
    std::array<QRadioButton*, attRanges> attenuatorRadios_{};
    std::array<QRadioButton*, rateRanges> rateRadios_{};
    QButtonGroup* attButtons_ = nullptr;
    QButtonGroup* rateButtons_ = nullptr;
    QCheckBox* remoteBox_ = nullptr;
    QFrame* rateFrame_ = nullptr;
    QFrame* attenuatorFrame_ = nullptr;
    RangeTitle* attenuatorTitle_ = nullptr;
    QLabel* rangeCaptions_ = nullptr;
    RangeTitle* rateTitle_ = nullptr;
    QLabel* chargeReadout_ = nullptr;
    QLabel* rateReadout_ = nullptr;
    QLabel* esReadout_ = nullptr;
    QLabel* tvReadout_ = nullptr;
    PointerMeterWidget* rateMeter_ = nullptr;
    PointerMeterWidget* peakMeter_ = nullptr;
    double peakMeterShown_ = 0.0;
    double rateMeterShown_ = 0.0;
    bool chargeAlarm_ = false;
    // The gaps that put the REMOTE box and the rate buttons under their captions.
    QSpacerItem* remoteLead_ = nullptr;
    QSpacerItem* rateButtonsLead_ = nullptr;
    std::array<QSpacerItem*, rateRanges - 1> rateButtonGaps_{};
    QHBoxLayout* rangeRow_ = nullptr;
    QHBoxLayout* rateButtonRow_ = nullptr;
};

}  // namespace kr5
