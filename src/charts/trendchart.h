// The trend chart: readings against time, one pixel column per reading. In normal
// operation (T-QNV) the charge, the pulse rate (in the colour of the attenuator range)
// and the voltage; during a Q-N measurement (T-N(Q)V) one curve of the count per range
// and the voltage.
#pragma once

#include "charts/chartscale.h"
#include "charts/chartstate.h"
#include "charts/colours.h"
#include "core/inputconstants.h"
#include "core/operatingsettings.h"
#include "platform/surface.h"

#include <optional>

namespace kr5 {

class TrendChart {
  public:
    static constexpr int sweep = 510;  // readings per sweep of the chart

    TrendChart(Surface& s, const InputConstants& constants, const OperatingSettings& settings,
               const ColourTable& colours, ChartState& state)
        : s_(s), constants_(constants), settings_(settings), colours_(colours), state_(state) {}

    // The empty chart of a face; rateColourRange (0..10) colours the "PPS" strip of the
    // normal face. Starts the sweep over.
    void drawEmpty(chart::Face face, int rateColourRange);
    // Redraws the "PPS" strip in the colour of a range, its left edge at x 32.
    void recolourRateScale(int range);

    // One reading of the normal face, charge and rate already raised to at least 0.1.
    void plotReading(double charge, double rate, double voltage, int att);
    // One range channel of a Q-N pass: the channel's count and, for range 0, the voltage
    // where it is known.
    void plotChannel(double rate, std::optional<double> voltage, int att);

    // Moves to the next column. Returns true when the sweep is full: the caller then
    // redraws the empty chart.
    bool advance();

  private:
    qint32 y(double v) const;
    qint32 yv(double v) const;

    Surface& s_;
    const InputConstants& constants_;
    const OperatingSettings& settings_;
    const ColourTable& colours_;
    ChartState& state_;
};

}  // namespace kr5
