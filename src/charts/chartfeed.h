// The charts' share of each reading: the inception detector judges it, then the charts
// draw it with what the detector found, as often as the screen pacer lets them repaint.
#pragma once

#include "charts/charts.h"
#include "measure/inception.h"
#include "measure/reading.h"
#include "platform/screenpacer.h"

namespace kr5 {

class ChartFeed : public ReadingListener {
  public:
    ChartFeed(InceptionDetector& detector, Charts& charts, ScreenPacer& pacer)
        : detector_(detector), charts_(charts), pacer_(pacer) {}
    void takeReading(const Reading& reading) override;
    // While a recorded test is shown the live readings are judged but not drawn.
    void setPaused(bool paused) { paused_ = paused; }

  private:
    InceptionDetector& detector_;
    Charts& charts_;
    ScreenPacer& pacer_;
    bool paused_ = false;
};

}  // namespace kr5
