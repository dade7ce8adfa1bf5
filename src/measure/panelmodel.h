// The front panel as a model: which range buttons are selected, the REMOTE box, which
// controls can be used, the automatic ranging and what the readouts and the two meters
// show. The panel widget only shows this model and hands the operator's clicks to it.
//
// Clicks and the program's own changes alike only record requests, which the acquisition
// loop sends. The panel follows the ranges the detector reports (and so sends them back
// to it once), and in remote mode it ranges automatically: the raw peak is kept between
// 1.0 and 10.0 V and the raw rate between 10 and 100, one range per cycle.
#pragma once

#include "core/inputconstants.h"
#include "core/operatingsettings.h"
#include "measure/reading.h"
#include "measure/requests.h"

#include <QObject>
#include <QString>

namespace kr5 {

// What the readouts and meters show.
struct PanelReadouts {
    QString charge;              // Vpeak, pC, "######.00"
    QString pulseRate;           // Vpps, P.P.S., "####.0"
    QString es;                  // des, V, "00.0"
    QString testVoltage;         // dtv: the prefix form and "V"
    bool detectorStale = false;  // the detector did not answer: its values are old
    bool voltageStale = false;   // the AC unit did not answer: Es and TV are old
    double peakMeter = 0.0;      // scal2: raw peak, V
    double rateMeter = 0.0;      // scal1: raw rate

    bool operator==(const PanelReadouts& o) const {
        return charge == o.charge && pulseRate == o.pulseRate && es == o.es &&
               testVoltage == o.testVoltage && detectorStale == o.detectorStale &&
               voltageStale == o.voltageStale && peakMeter == o.peakMeter &&
               rateMeter == o.rateMeter;
    }
    bool operator!=(const PanelReadouts& o) const { return !(*this == o); }
};

// What the measurement's panel holds, as a value the windows' copy is kept from. The
// automatic ranging is not in it: that belongs to the operating settings.
struct PanelState {
    int attenuatorButton = 0;
    int rateButton = 0;
    int followedAttenuator = 0;
    bool remote = false;
    bool qnRunning = false;
    PanelReadouts readouts;
};

class PanelModel : public QObject, public ReadingListener {
    Q_OBJECT

  public:
    PanelModel(Requests& requests, OperatingSettings& settings);

    int attenuatorButton() const { return attenuatorButton_; }
    int rateButton() const { return rateButton_; }
    bool remote() const { return remote_; }
    // The range buttons work only in remote mode and not during a Q-N measurement.
    bool rangeButtonsEnabled() const { return remote_ && !qnRunning_; }
    bool remoteBoxEnabled() const { return !qnRunning_; }
    bool autoAttenuator() const { return settings_.autoAttenuator; }
    bool autoRate() const { return settings_.autoRate; }
    const PanelReadouts& readouts() const { return readouts_; }

    // The state as a value, and the windows' copy brought up to one: each change is
    // signalled as the model's own would be.
    PanelState state() const;
    void show(const PanelState& state);

    // The operator's clicks.
    void clickAttenuator(int range);
    void clickRate(int range);
    void clickRemote(bool on);
    void toggleAutoAttenuator();  // the "INPUT ATT" title
    void toggleAutoRate();        // the "RATE METER RANGE" title

    // The program's changes: REMOTE ticked at the loop's start and before a Q-N
    // measurement (recorded as the operator's tick would be); the controls locked during
    // a Q-N measurement; the attenuator buttons moved through a Q-N pass; the automatic
    // ranging changed in the Options window.
    void setRemote(bool on);
    void setQnRunning(bool running);
    void showQnStep(int range);
    void autoRangingSet();

    // A reading: the readouts, the meters, and in a normal cycle the ranges followed
    // and one step of automatic ranging. A reading without the detector's reply leaves
    // the detector's values as they were, marked old, and moves no range.
    void takeReading(const Reading& reading) override;

  signals:
    void buttonsChanged();
    void controlsChanged();  // REMOTE and the enabled states
    // The operator switched automatic ranging with a title (not the Options window).
    void autoRangingToggled();
    void autoRangingChanged();
    void readoutsChanged();
    // The attenuator range the panel follows changed: the trend's rate scale takes the
    // colour the rate curve is drawn in.
    void followedAttenuatorChanged(int range);

  private:
    void followAttenuator(int range);
    void followRate(int range);
    void autoRange(const Reading& reading);
    void showDetector(const Reading& reading);
    void showVoltage(const Reading& reading);
    bool setText(QString& shown, const QString& text);

    Requests& requests_;
    OperatingSettings& settings_;
    int attenuatorButton_ = 0;
    int rateButton_ = 0;
    int followedAttenuator_ = 0;  // the range last followed or stepped to
    int followedRate_ = 0;
    bool remote_ = false;
    bool qnRunning_ = false;
    PanelReadouts readouts_;
};

}  // namespace kr5
