#include "chartfeed.h"

namespace kr5 {

void ChartFeed::takeReading(const Reading& reading) {
    if (paused_) {
        return;
    }
    if (const auto found = detector_.judge(reading)) {
        charts_.plotter().showInception(*found);
    }
    charts_.plotter().plotReading(reading, detector_.inceptionStanding());
    pacer_.show(&charts_, [this] { charts_.refresh(); });
}

}  // namespace kr5
