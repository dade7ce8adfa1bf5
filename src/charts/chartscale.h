// The geometry every chart shares and the mappings of values to pixels: the logarithmic
// scale of charge and pulse rate (1 at y 248, one decade per 48 px), the voltage scales of
// the trend and of the V-Q chart, and the rounding of real coordinates to pixels.
#pragma once

#include "core/inputconstants.h"
#include "core/operatingsettings.h"

#include <QtGlobal>

namespace kr5::chart {

// The two faces of the trend and V-Q windows: the normal measurement (T-QNV and V-Q) and
// the Q-N measurement (T-N(Q)V and Q-N).
enum class Face { Normal, Qn };

inline constexpr int bottomLine = 296;  // lowest grid line, zero of linear scales
inline constexpr int topLine = 8;       // highest grid line
inline constexpr int borderTop = 7;     // upper end of borders and vertical grid lines
inline constexpr int gridStep = 24;
inline constexpr int gridLines = 13;
inline constexpr int decade = 48;
inline constexpr int stripHeight = 321;
inline constexpr int stripWidth = 35;
inline constexpr double floorValue = 0.1;  // charges and rates below this plot as this

// y of a value on the logarithmic scale, before rounding: 248 - 48 * log10(v), with
// log10 taken as ln(v) / ln(10).
double logY(double v);
// y of a voltage value on the trend's linear scale: 200 lies at y 56.
double trendVoltY(double v);
// x of a voltage value on the V-Q chart: 200 lies on the right border x 360.
double vqVoltX(double v);

// The test voltage at the top of the voltage scales: PT ratio x 200 / TV Multi.
double tvmax(const InputConstants& constants, const OperatingSettings& settings);

// The pixel of a real coordinate: rounded, halves to even, and held inside 0..size-1 so
// that a value far off the scale lands on the picture's edge instead of overflowing.
qint32 pixelIn(double coordinate, int size);

// The value a charge or rate plots as: values below 0.1 (and values that are not numbers)
// are raised to 0.1.
double raised(double v);

}  // namespace kr5::chart
