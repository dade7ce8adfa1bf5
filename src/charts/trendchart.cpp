#include "trendchart.h"

#include "charts/primitives.h"
#include "core/numeric.h"

namespace kr5 {

namespace {

constexpr int frameX0 = 70;  // normal face: frame from 70 to 580
constexpr int frameW = 510;
constexpr int qnFrameX0 = 35;  // Q-N face: frame from 35 to 575
constexpr int qnFrameW = 540;

}  // namespace

void TrendChart::drawEmpty(chart::Face face, int rateColourRange) {
    const int tvStrip = roundEvenLong(s_.width() - 40.0);
    const double tvTop = chart::tvmax(constants_, settings_);
    if (face == chart::Face::Normal) {
        drawValueStrip(s_, QStringLiteral("pC"), constants_.adjust / 10.0, colours_.palette[9], 0,
                       false);
        drawValueStrip(s_, QStringLiteral("PPS"), 0.1, colours_.rangeColour(rateColourRange), 35,
                       false);
        drawFrame(s_, QStringLiteral("T-QNV"), 0, frameX0, frameW, colours_.palette[8]);
        drawValueStrip(s_, QStringLiteral("TV"), tvTop, colours_.palette[12], tvStrip, true);
        drawSetQLine(s_, constants_, colours_, frameX0, frameW);
        state_.column = 0;
        return;
    }
    drawValueStrip(s_, QStringLiteral("PPS"), 0.1, colours_.palette[0], 0, false);
    drawFrame(s_, QStringLiteral("T-N(Q)V"), 0, qnFrameX0, qnFrameW, colours_.palette[8]);
    drawValueStrip(s_, QStringLiteral("TV"), tvTop, colours_.palette[12], tvStrip, true);
    state_.restartChannels();
}

void TrendChart::recolourRateScale(int range) {
    drawValueStrip(s_, QStringLiteral("PPS"), 0.1, colours_.rangeColour(range), 32, false);
}

qint32 TrendChart::y(double v) const {
    return chart::pixelIn(chart::logY(v), s_.height());
}

qint32 TrendChart::yv(double v) const {
    return chart::pixelIn(chart::trendVoltY(v), s_.height());
}

void TrendChart::plotReading(double charge, double rate, double voltage, int att) {
    const int x0 = state_.column + frameX0;
    const int x1 = x0 + 1;
    s_.line(x0, y(state_.previousCharge), x1, y(charge), colours_.palette[9]);
    s_.line(x0, y(state_.previousRate), x1, y(rate), colours_.rangeColour(att));
    s_.line(x0, yv(state_.previousVoltage), x1, yv(voltage), colours_.palette[12]);
}

void TrendChart::plotChannel(double rate, std::optional<double> voltage, int att) {
    const auto channel = static_cast<size_t>(qBound(0, att, 10));
    const int x = state_.column + qnFrameX0;
    const int previousX = state_.channelX[channel];
    s_.line(previousX, state_.channelY[channel], x, y(rate), colours_.rangeColour(att));
    state_.channelX[channel] = x;
    state_.channelY[channel] = y(rate);
    if (channel == 0 && voltage) {
        s_.line(previousX, yv(state_.previousVoltage), x, yv(*voltage), colours_.palette[12]);
        state_.previousVoltage = *voltage;
    }
}

bool TrendChart::advance() {
    ++state_.column;
    return state_.column > sweep - 1;
}

}  // namespace kr5
