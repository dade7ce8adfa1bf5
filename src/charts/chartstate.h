// What the charts remember between readings: the trend's column counter, the last point
// of each range channel of the T-N(Q)V trend, the previous reading's charge, rate and
// voltage value, and the count of Q-N passes drawn. Nothing else survives a reading.
#pragma once

#include <QtGlobal>
#include <array>

namespace kr5 {

struct ChartState {
    qint32 trendx = 0;               // column of the next reading on the trend, 0..509
    std::array<qint32, 11> lastx{};  // T-N(Q)V: last plotted point of each range channel
    std::array<qint32, 11> lasty{};
    double lastq = 0.0;  // charge of the previous reading, without Adjust
    double lastn = 0.0;  // pulse rate of the previous reading
    double lastv = 0.0;  // voltage value (AC reading times TV Multi) of the previous reading
    qint32 qnpass = 0;   // Q-N passes drawn on the V-Q window

    // Every range channel starts at the left end of the T-N(Q)V chart's bottom line.
    void trendreset() {
        for (size_t i = 0; i < 10; ++i) {
            lastx[i] = 35;
            lasty[i] = 296;
        }
        trendx = 0;
    }
    void trendx0() { trendx = 0; }
    void vqreset() { qnpass = 0; }
};

}  // namespace kr5
