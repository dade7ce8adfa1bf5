// What each reading becomes: the replies of the units decoded and converted into charge,
// pulse rate, AC reading and test voltage, shown on the panel with their number
// patterns, handed to the charts (one reading late, while the detector answers), to the
// record file while recording runs, and to the noise discriminator panel.
#pragma once

#include "app/globals.h"
#include "measure/frontpanel.h"
#include "measure/panelview.h"
#include "measure/reading.h"

#include <functional>

namespace kr5 {

class Evaluation : public ReadingSink {
  public:
    Evaluation(Globals& g, PanelView& view, FrontPanel& panel);

    // The last reading, as the detector and the AC unit reported it.
    double vpraw = 0.0;    // raw peak, 0 to 15.0 V before the attenuator
    double ppsraw = 0.0;   // raw pulse rate, 0 to 150.0 before the rate multiplier
    qint32 attnow = 0;     // attenuator range in use
    qint32 ratenow = 0;    // rate range in use
    double acuval = 0.0;   // AC unit reading Es, V
    double vpshown = 0.0;  // raw peak last shown on the panel
    double ppsshown = 0.0;

    // Where the reading goes on to.
    std::function<void(double q0, double n, double v, int att)> gplot;
    std::function<void(int att, double q, int rateIndex, double pps, double tv)> dataRow;
    std::function<void(const QString&)> showTv;  // the Options window's read-out
    // Channel A step, channel B step, function, as the noise discriminator reports them.
    std::function<void(int at1, int at2, int rt)> showNoiseSettings;

    void plotPrevious() override;
    void detectorReply(const QString& reply) override;
    void acReply(const QString& reply) override;
    void noiseReply(const QString& reply) override;
    void autoRange() override;
    void qnStep(const QString& detector, const QString& ac, qint32 count, qint32 att) override;

    // Raw readings from the reply fields: peak volts and pulses per second.
    static double rawPeak(const QString& reply);
    static double rawRate(const QString& reply);

  private:
    void showPeak(double raw, int att);
    void showVoltage(double es);

    Globals& g_;
    PanelView& view_;
    FrontPanel& panel_;
};

}  // namespace kr5
