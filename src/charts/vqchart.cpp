#include "vqchart.h"

#include "charts/primitives.h"

namespace kr5 {

namespace {

constexpr int frameX0 = 30;
constexpr int frameW = 330;
constexpr int columnWidth = 33;  // one range's column of the Q-N chart

}  // namespace

void VqChart::drawEmpty(chart::Face face, const QString& qnLabel) {
    const Colour grid = colours_.palette[8];
    if (face == chart::Face::Normal) {
        drawValueStrip(s_, QStringLiteral("pC"), constants_.adjust / 10.0, colours_.palette[9], 0,
                       false);
        drawFrame(s_, QStringLiteral("V-Q"), 10, frameX0, frameW, grid);
        drawBottomLabels(s_, face, 5, chart::tvmax(constants_, settings_), frameX0, frameW,
                         colours_.palette[12]);
        drawSetQLine(s_, constants_, colours_, frameX0, frameW);
        return;
    }
    drawValueStrip(s_, QStringLiteral("PPS"), 0.1, colours_.palette[0], 0, false);
    drawFrame(s_, QStringLiteral("Q-N"), 10, frameX0, frameW, grid);
    drawBottomLabels(s_, face, 10, constants_.adjust, frameX0, frameW, colours_.palette[9]);
    drawLabel(s_, QStringLiteral(" TV        Condition"), 22, 220);
    drawLabel(s_, qnLabel, 34, 220);
}

Colour VqChart::segmentColour(double voltage, bool inceptionStanding) const {
    if (voltage > state_.previousVoltage) {
        return inceptionStanding ? colours_.palette[0] : colours_.palette[9];
    }
    if (voltage < state_.previousVoltage) {
        return inceptionStanding ? colours_.palette[13] : colours_.palette[12];
    }
    return kBlack;
}

qint32 VqChart::y(double v) const {
    return chart::pixelIn(chart::logY(v), s_.height());
}

void VqChart::plotSegment(double charge, double voltage, Colour colour) {
    const qint32 x0 = chart::pixelIn(chart::vqVoltX(state_.previousVoltage), s_.width());
    const qint32 x1 = chart::pixelIn(chart::vqVoltX(voltage), s_.width());
    const qint32 y0 = y(state_.previousCharge);
    const qint32 y1 = y(charge);
    if (x0 != x1 || y0 != y1) {
        s_.line(x0, y0, x1, y1, colour);
    }
}

void VqChart::plotBar(int pass, double rate, int att) {
    const qint32 x = chart::pixelIn(columnWidth * att + 31.0 + pass, s_.width());
    s_.line(x, chart::bottomLine, x, y(rate), colours_.rangeColour(att));
}

}  // namespace kr5
