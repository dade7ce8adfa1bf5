// The measurement engine: the line with its frame log, the cycle and its pacing, the
// evaluation of each reading, the front panel's and the ZN-4's following of the units and
// their automatic ranging, the Q-N sequence's passes and the recorder with its file.
//
// The engine owns all of that alone and never waits for the windows. It runs on a thread
// of its own in the program (in the tests, in virtual time on the test's thread): what it
// asks of the windows, every reading for the windows' listeners and the state the windows
// show go to them through a mailbox, and the windows' requests reach it through another
// (EngineView::post). Its own copies of the input constants and the operating settings are
// brought up to date the same way.
#pragma once

#include "core/inputconstants.h"
#include "core/operatingsettings.h"
#include "core/timing.h"
#include "link/discovery.h"
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
#include "platform/files.h"
#include "platform/mailbox.h"
#include "platform/serialport.h"
#include "platform/waiter.h"
#include "records/recorder.h"

#include <QMutex>
#include <memory>
#include <optional>
#include <vector>

namespace kr5 {

class EngineView;

// Where the engine's requests to the windows go: posted, in the order the engine makes
// them, to the windows set with setTarget.
class EngineWindows : public LoopWindows, public QnWindows {
  public:
    explicit EngineWindows(Mailbox& toWindows) : toWindows_(toWindows) {}

    void setTarget(LoopWindows* loop, QnWindows* qn) {
        loop_ = loop;
        qn_ = qn;
    }
    // Runs after each request to the windows: the state they show goes after it.
    void setAfterEach(std::function<void()> after) { afterEach_ = std::move(after); }

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
    void toLoop(std::function<void(LoopWindows&)> call);
    void toQn(std::function<void(QnWindows&)> call);

    Mailbox& toWindows_;
    LoopWindows* loop_ = nullptr;
    QnWindows* qn_ = nullptr;
    std::function<void()> afterEach_;
};

// The unit search's progress, posted to the window that shows it.
class SearchProgressToWindows : public DiscoveryProgress {
  public:
    explicit SearchProgressToWindows(Mailbox& toWindows) : toWindows_(toWindows) {}

    void setTarget(DiscoveryProgress* target) { target_ = target; }

    void showProgress() override;
    void probing(int port, int index) override;
    void found(int port, UnitKind kind, int index, const QString& ident) override;
    void hideProgress() override;

  private:
    void toTarget(std::function<void(DiscoveryProgress&)> call);

    Mailbox& toWindows_;
    DiscoveryProgress* target_ = nullptr;
};

// What the summary of the measurement file takes from the engine.
struct FileTally {
    QString path;
    qint32 rows = 0;
    RecordingTally tally;  // a copy: it takes no readings
};

// The engine's state, as the windows' copy takes it.
struct EngineState {
    quint64 requestsDone = 0;  // how many of the windows' requests the engine has carried out
    PanelState panel;
    Zn4State discriminator;
    RecorderState recorder;
    QnState qn;
    FileTally file;
};

// The state staged last, until the windows take it: a state still on its way is only
// brought up to date, so that windows held up for long are not sent one a step.
struct LatestState {
    QMutex mutex;
    std::optional<EngineState> state;
};

class Engine {
  public:
    struct Parts {
        Clock& clock;
        Waiter& waiter;
        SerialPort& port;
        Files& files;
        Mailbox& toWindows;
        EngineView& view;
    };

    explicit Engine(const Parts& parts);

    // Before the engine runs, from the thread that builds it.
    void setWindows(LoopWindows& loop, QnWindows& qn, DiscoveryProgress& searchProgress) {
        windows_.setTarget(&loop, &qn);
        searchProgress_.setTarget(&searchProgress);
    }
    // Every reading goes to the engine's listeners in the order they were added; the
    // windows' listeners get it after the recorder's tally, through the mailbox.
    void addWindowListener(ReadingListener& listener) { windowListeners_.push_back(&listener); }

    // Finds the units and hands the search to the windows (EngineView::searchEnded). Once
    // the windows have settled it with the operator they start the measurement (start) or
    // end the program; then the engine opens the detector's port, runs the loop until the
    // end is requested and releases the line: a Q-N measurement under way ends and the
    // measurement file is closed, each with its markers.
    void run();
    // The windows' go-ahead after the unit search.
    void start() { started_ = true; }

    // What the windows' requests (EngineView::post) reach.
    Requests& requests() { return requests_; }
    InputConstants& constants() { return constants_; }
    OperatingSettings& settings() { return settings_; }
    Timing& timing() { return timing_; }
    Link& link() { return link_; }
    FrameLog& frameLog() { return frameLog_; }
    PanelModel& panel() { return panel_; }
    Zn4Panel& discriminator() { return discriminator_; }
    QnSequence& qn() { return qn_; }
    Recorder& recorder() { return recorder_; }
    // A request of the windows was carried out: the windows get the state that follows.
    void requestDone(quint64 serial);

  private:
    // Sends the windows the state they show.
    void publish();
    // Hands a reading to the windows' listeners, after the state it leaves: one post.
    void handToWindows(const Reading& reading);
    // Makes the state the one the windows take next; true when none was on its way (a post
    // must carry it).
    bool stage();
    // On the windows' side: the state staged last, if it was not taken yet.
    static void takeLatest(const std::shared_ptr<LatestState>& latest, EngineView* view);
    FileTally fileTally() const;
    void wireEvents();
    // True once the windows have started the measurement; false when the program ends.
    bool searchAndAwaitStart();

    const Parts p_;
    UnitsOnLine units_;  // filled by the unit search, read-only after it
    bool started_ = false;
    SearchProgressToWindows searchProgress_;
    Requests requests_;
    InputConstants constants_;
    OperatingSettings settings_;
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
    std::vector<ReadingListener*> windowListeners_;
    quint64 requestsDone_ = 0;
    std::shared_ptr<LatestState> latest_ = std::make_shared<LatestState>();

    // The windows' place among the listeners: the reading and the state it leaves.
    class ToWindows : public ReadingListener {
      public:
        explicit ToWindows(Engine& engine) : engine_(engine) {}
        void takeReading(const Reading& reading) override { engine_.handToWindows(reading); }

      private:
        Engine& engine_;
    } toWindows_{*this};
    // The state once more after the Q-N sequence and the ZN-4 panel have taken the reading.
    class Publisher : public ReadingListener {
      public:
        explicit Publisher(Engine& engine) : engine_(engine) {}
        void takeReading(const Reading&) override { engine_.publish(); }

      private:
        Engine& engine_;
    } publisher_{*this};
};

}  // namespace kr5
