// The colour table of the charts: the palette palette (the sixteen console colours) and the
// range colours rangeColours, one per input-attenuator range, so that the rate curve, its scale,
// the per-range curves and the Q-N bars show in which range a reading was taken.
#pragma once

#include "platform/surface.h"

#include <array>

namespace kr5 {

struct ColourTable {
    // Entries 0..15: black, blue, green, cyan, red, magenta, brown, light grey, grey,
    // light blue, light green, light cyan, light red, light magenta, light yellow, white.
    // Entry 16 stays 0.
    std::array<Colour, 17> palette{};
    // Ranges 0..9 (divisions 1..1000); entry 10 is not assigned and stays black.
    std::array<Colour, 11> rangeColours{};

    // A range colour with the index held inside the table.
    Colour rangeColour(int att) const;
};

// Fills palette 0..15, then rangeColours 0..9. Runs once at start-up.
void fillColourTable(ColourTable& table);

}  // namespace kr5
