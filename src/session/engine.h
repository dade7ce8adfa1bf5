// The measurement engine: the line with its frame log, the cycle and its pacing, the
// evaluation of each reading, the front panel's and the ZN-4's following of the units and
// their automatic ranging, the Q-N sequence's passes and the recorder with its file. Every
// reading goes to the listeners in the order they were added (the engine's own models
// among them: the composition root decides the order).
//
// The engine tells the windows what to show through one seam, EngineWindows, and takes
// the operator's requests through its models (the panel, the ZN-4 panel, the Q-N sequence,
// the recorder) as the session decides.
#pragma once

#include "core/inputconstants.h"
#include "core/operatingsettings.h"
#include "core/timing.h"
#include "link/framelog.h"
#include "link/link.h"
#include "link/units.h"
#include "measure/acquisition.h"
#include "measure/evaluation.h"
#include "measure/panelmodel.h"
#include "measure/requests.h"
#include "modes/qnsequence.h"
#include "modes/summary.h"
#include "modes/zn4panel.h"
#include "platform/clock.h"
#include "platform/eventpump.h"
#include "platform/files.h"
#include "platform/serialport.h"
#include "records/recorder.h"

namespace kr5 {

// Where the engine's requests to the windows go: to the windows set with setTarget, in
// the order the engine makes them; nowhere before.
class EngineWindows : public LoopWindows, public QnWindows {
  public:
    void setTarget(LoopWindows* loop, QnWindows* qn) {
        loop_ = loop;
        qn_ = qn;
    }

    void showDiscriminatorPanel(bool present) override;
    void startCharts() override;
    void portLost(const PortProblem& problem) override;
    void portBack() override;

    void setMenuCaptions(const QString& qnMeasurement, const QString& trend,
                         const QString& vq) override;
    void showQnFace(const QString& label) override;
    void showNormalFace() override;
    void startBlock(const QString& label) override;
    void setLocked(bool locked) override;
    void showStep(const QString& caption, int pass, const Reading& step) override;
    void copyChart() override;

  private:
    LoopWindows* loop_ = nullptr;
    QnWindows* qn_ = nullptr;
};

class Engine {
  public:
    struct Parts {
        UnitsOnLine& units;  // filled by the unit search, read-only after it
        OperatingSettings& settings;
        const InputConstants& constants;
        Clock& clock;
        EventPump& pump;
        SerialPort& port;
        Files& files;
    };

    explicit Engine(const Parts& parts);

    // The windows the engine's requests go to.
    void setWindows(LoopWindows& loop, QnWindows& qn) { windows_.setTarget(&loop, &qn); }
    // Every reading goes to the listeners in the order they were added.
    void addListener(ReadingListener& listener) { acquisition_.addListener(listener); }

    // Runs the loop until the end is requested, then releases the line.
    void run() { acquisition_.run(); }
    // Asks the loop to end after the cycle or pass under way.
    void requestEnd() { requests_.end = true; }

    Requests& requests() { return requests_; }
    Timing& timing() { return timing_; }
    Link& link() { return link_; }
    FrameLog& frameLog() { return frameLog_; }
    PanelModel& panel() { return panel_; }
    Zn4Panel& discriminator() { return discriminator_; }
    QnSequence& qn() { return qn_; }
    Recorder& recorder() { return recorder_; }
    RecordingTally& recordingTally() { return recordingTally_; }

  private:
    Requests requests_;
    Timing timing_;
    Link link_;
    FrameLog frameLog_;
    ReadingEvaluator evaluator_;
    EngineWindows windows_;
    PanelModel panel_;
    Zn4Panel discriminator_;
    Recorder recorder_;
    RecordingTally recordingTally_;
    QnSequence qn_;
    Acquisition acquisition_;
};

}  // namespace kr5
