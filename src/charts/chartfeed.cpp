#include "chartfeed.h"

namespace kr5 {

void ChartFeed::takeReading(const Reading& reading) {
    // Judged even while a recorded test is shown: the pairs are the measurement's record.
    const auto found = detector_.judge(reading);
    if (paused_) {
        return;
    }
    if (found) {
        charts_.plotter().showInception(*found);
    }
    charts_.plotter().plotReading(reading, detector_.inceptionStanding());
    pacer_.show(&charts_, [this] { charts_.refresh(); });
}

}  // namespace kr5
