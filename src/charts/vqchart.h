// The V-Q chart: in normal operation the charge against the voltage, drawn reading by
// reading in colours that tell the rising from the falling branch and the state of the
// inception; during a Q-N measurement the count of each range as a bar, one pixel column
// per pass.
#pragma once

#include "app/globals.h"
#include "charts/chartstate.h"
#include "charts/colours.h"
#include "platform/surface.h"

namespace kr5 {

class VqChart {
  public:
    VqChart(Surface& s, const Globals& g, const ColourTable& colours, ChartState& state)
        : s_(s), g_(g), colours_(colours), state_(state) {}

    // The empty chart of the current face. The Q-N face also starts the pass count over.
    void dscle();

    // The colour of the segment from the previous voltage value to v: rising black once an
    // inception stands, else light blue; falling light magenta while an inception stands,
    // else light red; black when the voltage is unchanged.
    Colour segmentColour(double v, bool csvfound) const;

    // The segment from the previous reading to this one (charge already raised to at
    // least 0.1); nothing when both ends fall on the same pixel.
    void plotSegment(double q0, double v, Colour colour);

    // The bar of range att for the current pass, from the bottom line up to the count.
    void plotBar(double n, int att);

  private:
    qint32 y(double v) const;

    Surface& s_;
    const Globals& g_;
    const ColourTable& colours_;
    ChartState& state_;
};

}  // namespace kr5
