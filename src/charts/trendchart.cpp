#include "trendchart.h"

#include "app/numeric.h"
#include "charts/chartscale.h"
#include "charts/primitives.h"

namespace kr5 {

namespace {

constexpr int frameX0 = 70;  // normal face: frame from 70 to 580
constexpr int frameW = 510;
constexpr int qnFrameX0 = 35;  // Q-N face: frame from 35 to 575
constexpr int qnFrameW = 540;

}  // namespace

void TrendChart::dscle(int ratt) {
    const int tvStrip = roundEvenLong(s_.width() - 40.0);
    if (!g_.qnmode) {
        vaxis(s_, QStringLiteral("pC"), g_.kadj / 10.0, colours_.qbcol[9], 0, false);
        vaxis(s_, QStringLiteral("PPS"), 0.1, colours_.rangeColour(ratt), 35, false);
        gframe(s_, QStringLiteral("T-QNV"), 0, frameX0, frameW, colours_.qbcol[8]);
        vaxis(s_, QStringLiteral("TV"), chart::tvmax(g_), colours_.qbcol[12], tvStrip, true);
        refline(s_, g_, colours_, frameX0, frameW);
        state_.trendx0();
        return;
    }
    vaxis(s_, QStringLiteral("PPS"), 0.1, colours_.qbcol[0], 0, false);
    gframe(s_, QStringLiteral("T-N(Q)V"), 0, qnFrameX0, qnFrameW, colours_.qbcol[8]);
    vaxis(s_, QStringLiteral("TV"), chart::tvmax(g_), colours_.qbcol[12], tvStrip, true);
    state_.trendx0();
    state_.trendreset();
}

void TrendChart::chmcol(int ratt) {
    vaxis(s_, QStringLiteral("PPS"), 0.1, colours_.rangeColour(ratt), 32, false);
}

qint32 TrendChart::y(double v) const {
    return chart::pixelIn(chart::logY(v, g_.log10k), s_.height());
}

qint32 TrendChart::yv(double v) const {
    return chart::pixelIn(chart::trendVoltY(v), s_.height());
}

void TrendChart::plotReading(double q0, double n, double v, int att) {
    const int x0 = state_.trendx + frameX0;
    const int x1 = x0 + 1;
    s_.line(x0, y(state_.lastq), x1, y(q0), colours_.qbcol[9]);
    s_.line(x0, y(state_.lastn), x1, y(n), colours_.rangeColour(att));
    s_.line(x0, yv(state_.lastv), x1, yv(v), colours_.qbcol[12]);
}

void TrendChart::plotChannel(double n, double v, int att) {
    const auto channel = static_cast<size_t>(qBound(0, att, 10));
    const int x = state_.trendx + qnFrameX0;
    const int previousX = state_.lastx[channel];
    s_.line(previousX, state_.lasty[channel], x, y(n), colours_.rangeColour(att));
    state_.lastx[channel] = x;
    state_.lasty[channel] = y(n);
    if (channel == 0) {
        s_.line(previousX, yv(state_.lastv), x, yv(v), colours_.qbcol[12]);
        state_.lastv = v;
    }
}

bool TrendChart::advance() {
    ++state_.trendx;
    return state_.trendx > sweep - 1;
}

}  // namespace kr5
