#include "vqchart.h"

#include "charts/chartscale.h"
#include "charts/primitives.h"

namespace kr5 {

namespace {

constexpr int frameX0 = 30;
constexpr int frameW = 330;
constexpr int columnWidth = 33;  // one range's column of the Q-N chart

}  // namespace

void VqChart::dscle() {
    const Colour grid = colours_.qbcol[8];
    if (!g_.qnmode) {
        vaxis(s_, QStringLiteral("pC"), g_.kadj / 10.0, colours_.qbcol[9], 0, false);
        gframe(s_, QStringLiteral("V-Q"), 10, frameX0, frameW, grid);
        haxis(s_, g_, 5, chart::tvmax(g_), frameX0, frameW, colours_.qbcol[12]);
        refline(s_, g_, colours_, frameX0, frameW);
        return;
    }
    vaxis(s_, QStringLiteral("PPS"), 0.1, colours_.qbcol[0], 0, false);
    gframe(s_, QStringLiteral("Q-N"), 10, frameX0, frameW, grid);
    haxis(s_, g_, 10, g_.kadj, frameX0, frameW, colours_.qbcol[9]);
    vqlabel(s_, QStringLiteral(" TV        Condition"), 22, 220);
    vqlabel(s_, g_.qntv + QLatin1Char(' ') + g_.qncond, 34, 220);
    state_.vqreset();
}

Colour VqChart::segmentColour(double v, bool csvfound) const {
    if (v > state_.lastv) {
        return csvfound ? colours_.qbcol[0] : colours_.qbcol[9];
    }
    if (v < state_.lastv) {
        return csvfound ? colours_.qbcol[13] : colours_.qbcol[12];
    }
    return kBlack;
}

qint32 VqChart::y(double v) const {
    return chart::pixelIn(chart::logY(v, g_.log10k), s_.height());
}

void VqChart::plotSegment(double q0, double v, Colour colour) {
    const qint32 x0 = chart::pixelIn(chart::vqVoltX(state_.lastv), s_.width());
    const qint32 x1 = chart::pixelIn(chart::vqVoltX(v), s_.width());
    const qint32 y0 = y(state_.lastq);
    const qint32 y1 = y(q0);
    if (x0 != x1 || y0 != y1) {
        s_.line(x0, y0, x1, y1, colour);
    }
}

void VqChart::plotBar(double n, int att) {
    const qint32 x = chart::pixelIn(columnWidth * att + 31.0 + state_.qnpass, s_.width());
    s_.line(x, chart::bottomLine, x, y(n), colours_.rangeColour(att));
}

}  // namespace kr5
