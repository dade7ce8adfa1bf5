// The live test's markers on the History window, added as the recorder and the Q-N
// measurement report them, so that the chart shows where the file was recorded, paused
// and closed, and where each Q-N measurement ran.
#pragma once

#include "charts/history.h"
#include "records/recorderview.h"

namespace kr5 {

class HistoryMarkers {
  public:
    HistoryMarkers(HistoryModel& history, const RecorderView& recorder)
        : history_(history), recorder_(recorder) {}

    // REC ON or PAUSE chosen; a choice without a file prepared records nothing, so it is
    // not marked.
    void recordingSelected(bool recOn);
    void filePreparedChanged(bool prepared);
    void qnStarted();
    void qnEnded();

  private:
    HistoryModel& history_;
    const RecorderView& recorder_;
};

}  // namespace kr5
