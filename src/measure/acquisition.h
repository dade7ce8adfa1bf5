// The acquisition loop: paced normal cycles that take a reading and then carry out the
// operator's requests at fixed points, Q-N counting passes while a Q-N measurement runs,
// and the release of the line when the program ends. Every reading goes, once, to each
// listener in the order they were added: after the line was used again (the next
// cycle's exchanges, a request, a Q-N step), when the link can say whether its replies
// stood clear of stray bytes. When the port goes away, the loop tries to open
// it again every second and, once the units answer, tells them again everything they
// were told.
#pragma once

#include "core/operatingsettings.h"
#include "core/timing.h"
#include "link/link.h"
#include "measure/cycletraffic.h"
#include "measure/evaluation.h"
#include "measure/panelmodel.h"
#include "measure/reading.h"
#include "measure/requests.h"

#include <optional>
#include <vector>

namespace kr5 {

// What the loop asks of the windows when it starts.
class LoopWindows {
  public:
    virtual ~LoopWindows() = default;
    // Shows the noise discriminator panel, or hides it when the unit is absent.
    virtual void showDiscriminatorPanel(bool present) = 0;
    // Clears the trend and V-Q charts, captions and shows them; captions the Q-N window.
    virtual void startCharts() = 0;
    // The port went away and the loop tries to open it again every second; it is back.
    virtual void portLost(const PortProblem& problem) = 0;
    virtual void portBack() = 0;
};

// The Q-N measurement as the loop runs it; the measurement itself lives above.
class QnControl {
  public:
    virtual ~QnControl() = default;
    // Counting passes run instead of normal cycles.
    virtual bool passesRunning() const = 0;
    // The measurement ends after the pass under way.
    virtual bool endAfterPass() const = 0;
    // The start request is carried out: the start is recorded.
    virtual void recordStart() = 0;
    // The pass in which the end was asked for is complete.
    virtual void finish() = 0;
};

class Acquisition {
  public:
    struct Parts {
        Requests& requests;
        const OperatingSettings& settings;
        const UnitsOnLine& units;
        Link& link;
        const Clock& clock;
        Timing& timing;
        ReadingEvaluator& evaluator;
        PanelModel& panel;
        LoopWindows& windows;
        QnControl& qn;
    };

    explicit Acquisition(const Parts& parts);

    // Listeners take every reading, in the order they were added.
    void addListener(ReadingListener& listener) { listeners_.push_back(&listener); }

    // Runs the loop until the end is requested, then releases the line.
    void run();

    // The pieces of run, for the tests.
    void loopStart();
    void normalCycle();
    void runQnPass();

  private:
    // A reading whose replies are collected but not yet known to stand.
    struct PendingReading {
        ReadingReplies replies;
        std::optional<int> qnStep;  // the range of a Q-N step; none for a normal cycle
        Reply count;                // a Q-N step's gate count
        qint32 gateTimeMs = 0;
        quint64 rangeCommandsBefore = 0;  // range commands sent before it was taken
    };

    void hand(const Reading& reading);
    // Hands the pending reading on, each reply that did not stand clear taken as none.
    void handPending();
    // The same at a point where no exchange follows at once: the line is looked at first.
    void handPendingNow();
    void awaitPort();
    bool restoreUnits();
    bool waitOneSecondUnlessEnding();
    void sendRequests();
    void sendRemoteRequest();
    void sendAndAcknowledge(UnitKind unit, const QString& command);
    void sendRangeRequest(char letter, int requested, int& sent);
    void sendDiscriminatorSetting(char letter, int requested, int& sent);
    void startPendingQn();
    Reply countStep(int step);

    Parts p_;
    CycleTraffic traffic_;
    std::vector<ReadingListener*> listeners_;
    std::optional<PendingReading> pending_;
    quint64 rangeCommandsSent_ = 0;
    // What was last sent, so that each request goes out once and a unit that comes back
    // after the port was lost is told everything again.
    bool detectorRemoteSent_ = true;
    bool discriminatorRemoteSent_ = true;
    int speedInForce_ = 0;
    int attenuatorSent_ = 0;
    int rateSent_ = 0;
    int functionSent_ = 0;
    int channelBSent_ = 0;
    int channelASent_ = 0;
};

}  // namespace kr5
