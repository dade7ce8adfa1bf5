// The colour legend of the Color window: for each attenuator range a short bar in the
// range's colour beside the range's charge in pC.
#pragma once

#include "charts/colours.h"
#include "core/inputconstants.h"
#include "platform/surface.h"

namespace kr5 {

// Draws the legend with the charges of the current Adjust.
void drawLegend(Surface& s, const InputConstants& constants, const ColourTable& colours);

}  // namespace kr5
