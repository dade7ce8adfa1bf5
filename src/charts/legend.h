// The colour legend of the Color window: for each attenuator range a short bar in the
// range's colour beside the range's charge in pC. Where the bars start and how wide the
// picture is follow from the widest text in the font the legend is drawn in.
#pragma once

#include "charts/colours.h"
#include "core/inputconstants.h"
#include "platform/surface.h"

#include <functional>

namespace kr5 {

// Where the legend's parts lie, in pixels. The defaults are the classic places, which a
// 12-pixel text line of the usual fonts fits.
struct LegendLayout {
    int textLeft = 10;  // the title and the charges start here
    int barLeft = 60;   // the colour bars run from barLeft to barRight, both included
    int barRight = 140;
    int width = 153;  // of the picture
    int height = 209;

    // The box a charge's text has: from textLeft up to the gap before the bars.
    int chargeRight() const { return barLeft - chargeGap; }
    static constexpr int chargeGap = 4;
};

// The title line above the charges and the bars.
QString legendTitle();
// The charge of each range at the Adjust, as the legend prints it.
QString legendCharge(int range, const InputConstants& constants);

// The layout for texts that textWidth measures: never narrower than the classic one, and
// wide enough for the title and for any charge text an Adjust can give.
LegendLayout legendLayout(const std::function<int(const QString&)>& textWidth);

// Draws the legend with the charges of the current Adjust.
void drawLegend(Surface& s, const InputConstants& constants, const ColourTable& colours,
                const LegendLayout& layout = LegendLayout());

}  // namespace kr5
