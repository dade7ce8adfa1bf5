// What the trend and V-Q charts remember between readings: the trend's column, the last
// point of each range channel of the T-N(Q)V trend, and the previous reading's charge,
// rate and voltage value, from which the next segments start.
#pragma once

#include <QtGlobal>
#include <array>

namespace kr5 {

struct ChartState {
    qint32 column = 0;                  // column of the next reading on the trend, 0..509
    std::array<qint32, 11> channelX{};  // T-N(Q)V: last plotted point of each range channel
    std::array<qint32, 11> channelY{};
    double previousCharge = 0.0;   // without Adjust
    double previousRate = 0.0;     // pulses per second
    double previousVoltage = 0.0;  // AC reading times TV Multi

    // Every range channel starts at the left end of the T-N(Q)V chart's bottom line.
    void restartChannels() {
        for (size_t i = 0; i < 10; ++i) {
            channelX[i] = 35;
            channelY[i] = 296;
        }
        column = 0;
    }
};

}  // namespace kr5
