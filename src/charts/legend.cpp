#include "legend.h"

#include "core/format.h"

namespace kr5 {

void drawLegend(Surface& s, const InputConstants& constants, const ColourTable& colours) {
    s.setForeColour(kBlack);
    s.setPos(10, 10);
    s.print(QStringLiteral("pC       Color"), true);
    for (int i = 0; i <= 9; ++i) {
        const int top = 40 + 16 * i;
        s.fillBox(60, top, 140, top + 1, colours.rangeColours[static_cast<size_t>(i)]);
        s.setPos(10, 35 + 16 * i);
        s.print(prefixedNumber(attenuatorDivision(i) * constants.adjust), true);
    }
}

}  // namespace kr5
