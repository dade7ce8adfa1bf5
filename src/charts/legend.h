// The colour legend of the Color window: for each attenuator range a short bar in the
// range's colour beside the range's charge in pC.
#pragma once

#include "app/globals.h"
#include "charts/colours.h"
#include "platform/surface.h"

namespace kr5 {

// Draws the legend with the charges of the current Adjust.
void drawLegend(Surface& s, const Globals& g, const ColourTable& colours);

}  // namespace kr5
