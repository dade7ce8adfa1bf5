// The trend chart: readings against time, one pixel column per reading. In normal
// operation (T-QNV) the charge, the pulse rate (in the colour of the attenuator range)
// and the voltage; during a Q-N measurement (T-N(Q)V) one curve of the count per range
// and the voltage.
#pragma once

#include "app/globals.h"
#include "charts/chartstate.h"
#include "charts/colours.h"
#include "platform/surface.h"

namespace kr5 {

class TrendChart {
  public:
    static constexpr int sweep = 510;  // readings per sweep of the chart

    TrendChart(Surface& s, const Globals& g, const ColourTable& colours, ChartState& state)
        : s_(s), g_(g), colours_(colours), state_(state) {}

    // The empty chart of the current face; ratt (0..10) colours the "PPS" strip of the
    // normal face. Starts the sweep over.
    void dscle(int ratt);
    // Redraws the "PPS" strip in the colour of range ratt, its left edge at x 32.
    void chmcol(int ratt);

    // One reading of the normal face, charge and rate already raised to at least 0.1.
    void plotReading(double q0, double n, double v, int att);
    // One range channel of a Q-N pass: the channel's count and, for range 0, the voltage.
    void plotChannel(double n, double v, int att);

    // Moves to the next column. Returns true when the sweep is full: the caller then
    // redraws the empty chart (clrwave).
    bool advance();

  private:
    qint32 y(double v) const;
    qint32 yv(double v) const;

    Surface& s_;
    const Globals& g_;
    const ColourTable& colours_;
    ChartState& state_;
};

}  // namespace kr5
