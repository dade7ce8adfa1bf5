// The V-Q chart: in normal operation the charge against the voltage, drawn reading by
// reading in colours that tell the rising from the falling branch and the state of the
// inception; during a Q-N measurement the count of each range as a bar, one pixel column
// per pass.
#pragma once

#include "charts/chartscale.h"
#include "charts/chartstate.h"
#include "charts/colours.h"
#include "core/inputconstants.h"
#include "core/operatingsettings.h"
#include "platform/surface.h"

namespace kr5 {

class VqChart {
  public:
    VqChart(Surface& s, const InputConstants& constants, const OperatingSettings& settings,
            const ColourTable& colours, ChartState& state)
        : s_(s), constants_(constants), settings_(settings), colours_(colours), state_(state) {}

    // The empty chart of a face. The Q-N face carries the label of the measurement (its
    // test voltage and condition) under its heading.
    void drawEmpty(chart::Face face, const QString& qnLabel);

    // The colour of the segment from the previous voltage value to voltage: rising black
    // once an inception stands, else light blue; falling light magenta while an inception
    // stands, else light red; black when the voltage is unchanged.
    Colour segmentColour(double voltage, bool inceptionStanding) const;

    // The segment from the previous reading to this one (charge already raised to at
    // least 0.1); nothing when both ends fall on the same pixel.
    void plotSegment(double charge, double voltage, Colour colour);

    // The bar of range att for a pass, from the bottom line up to the count rate.
    void plotBar(int pass, double rate, int att);

  private:
    qint32 y(double v) const;

    Surface& s_;
    const InputConstants& constants_;
    const OperatingSettings& settings_;
    const ColourTable& colours_;
    ChartState& state_;
};

}  // namespace kr5
