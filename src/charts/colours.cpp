#include "colours.h"

#include <QtGlobal>

namespace kr5 {

Colour ColourTable::rangeColour(int att) const {
    return rangeColours[static_cast<size_t>(
        qBound(0, att, static_cast<int>(rangeColours.size()) - 1))];
}

void fillColourTable(ColourTable& table) {
    // The Windows 16-colour values in 0x00BBGGRR: dark colours at 0x80, bright at 0xFF.
    table.palette = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                     0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                     0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF, 0x000000};
    const auto& q = table.palette;
    table.rangeColours = {0x0000FF, 0x000000, q[13],    q[9],     q[10],   0x00C0C0,
                          0x0000C0, 0xE0C080, 0xFFC000, 0x0000FF, 0x000000};
}

}  // namespace kr5
