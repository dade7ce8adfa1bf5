// The pieces every empty chart is built from: side strips of axis labels, the plot frame
// with its grid and title, the label strip under the frame, the Set Q reference line and
// a label on a white box. They only draw on the surface they are given; they keep no
// state.
#pragma once

#include "charts/chartscale.h"
#include "charts/colours.h"
#include "core/inputconstants.h"
#include "platform/surface.h"

#include <QString>

namespace kr5 {

// A 35-pixel strip of six labels at x, one decade (48 px) apart from the bottom grid line
// up, with the title and a short line above them. Logarithmic: top, top x 10, ...;
// linear: 0, top/5, ..., top. A top that is 0, negative or not a number leaves the strip
// blank.
void drawValueStrip(Surface& s, const QString& title, double top, Colour col, int x, bool linear);

// The plot frame from x0 to x0 + w: 13 horizontal grid lines, both borders, ndiv vertical
// grid lines (none for 0) and the title centred above the grid.
void drawFrame(Surface& s, const QString& title, int ndiv, int x0, int w, Colour col);

// The labels under the frame. In the V-Q chart: ndiv + 1 values from 0 to scale and "TV";
// in the Q-N chart: the charge of each of the ten ranges (division x scale) and "pC".
void drawBottomLabels(Surface& s, chart::Face face, int ndiv, double scale, int x0, int w,
                      Colour col);

// A horizontal line from x0 to x0 + w at the height of Set Q on the charge scale. Nothing
// is drawn when Set Q or Adjust is 0 or negative.
void drawSetQLine(Surface& s, const InputConstants& constants, const ColourTable& colours, int x0,
                  int w);

// A black text on a white box 8 px per character wide, its top at y (note: y before x).
void drawLabel(Surface& s, const QString& text, int y, int x);

}  // namespace kr5
