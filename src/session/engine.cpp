#include "engine.h"

#include "session/engineview.h"

#include <limits>

namespace kr5 {

void EngineWindows::toLoop(std::function<void(LoopWindows&)> call) {
    if (LoopWindows* loop = loop_) {
        toWindows_.post([loop, call = std::move(call)] { call(*loop); });
    }
    if (afterEach_) {
        afterEach_();
    }
}

void EngineWindows::toQn(std::function<void(QnWindows&)> call) {
    if (QnWindows* qn = qn_) {
        toWindows_.post([qn, call = std::move(call)] { call(*qn); });
    }
    if (afterEach_) {
        afterEach_();
    }
}

void EngineWindows::showDiscriminatorPanel(bool present) {
    toLoop([present](LoopWindows& w) { w.showDiscriminatorPanel(present); });
}

void EngineWindows::startCharts() {
    toLoop([](LoopWindows& w) { w.startCharts(); });
}

void EngineWindows::portLost(const PortProblem& problem) {
    toLoop([problem](LoopWindows& w) { w.portLost(problem); });
}

void EngineWindows::portBack() {
    toLoop([](LoopWindows& w) { w.portBack(); });
}

void EngineWindows::setMenuCaptions(const QString& qnMeasurement, const QString& trend,
                                    const QString& vq) {
    toQn([=](QnWindows& w) { w.setMenuCaptions(qnMeasurement, trend, vq); });
}

void EngineWindows::showQnFace(const QString& label) {
    toQn([label](QnWindows& w) { w.showQnFace(label); });
}

void EngineWindows::showNormalFace() {
    toQn([](QnWindows& w) { w.showNormalFace(); });
}

void EngineWindows::startBlock(const QString& label) {
    toQn([label](QnWindows& w) { w.startBlock(label); });
}

void EngineWindows::setLocked(bool locked) {
    toQn([locked](QnWindows& w) { w.setLocked(locked); });
}

void EngineWindows::showStep(const QString& caption, int pass, const Reading& step) {
    toQn([caption, pass, step](QnWindows& w) { w.showStep(caption, pass, step); });
}

void EngineWindows::copyChart() {
    toQn([](QnWindows& w) { w.copyChart(); });
}

void SearchProgressToWindows::toTarget(std::function<void(DiscoveryProgress&)> call) {
    if (DiscoveryProgress* target = target_) {
        toWindows_.post([target, call = std::move(call)] { call(*target); });
    }
}

void SearchProgressToWindows::showProgress() {
    toTarget([](DiscoveryProgress& p) { p.showProgress(); });
}

void SearchProgressToWindows::probing(int port, int index) {
    toTarget([port, index](DiscoveryProgress& p) { p.probing(port, index); });
}

void SearchProgressToWindows::found(int port, UnitKind kind, int index, const QString& ident) {
    toTarget([=](DiscoveryProgress& p) { p.found(port, kind, index, ident); });
}

void SearchProgressToWindows::hideProgress() {
    toTarget([](DiscoveryProgress& p) { p.hideProgress(); });
}

Engine::Engine(const Parts& p)
    : p_(p),
      searchProgress_(p.toWindows),
      timing_(p.clock, p.waiter),
      link_(units_, p.port, p.clock, p.waiter, timing_),
      frameLog_(p.clock),
      evaluator_(constants_, units_),
      windows_(p.toWindows),
      panel_(requests_, settings_),
      discriminator_(requests_),
      recorder_(p.clock, p.files),
      recordingTally_([this] { return recorder_.recording(); }),
      qn_({settings_, requests_, panel_, windows_, &discriminator_}),
      acquisition_({requests_, settings_, units_, link_, p.clock, timing_, evaluator_, panel_,
                    windows_, qn_}) {
    // The order matters where two listeners meet: the panel moves the trend's rate scale
    // before the windows draw the reading, and a data row is written before the marker of
    // a Q-N block the same step completes.
    acquisition_.addListener(panel_);
    acquisition_.addListener(recorder_);
    acquisition_.addListener(recordingTally_);
    acquisition_.addListener(toWindows_);
    acquisition_.addListener(qn_);
    acquisition_.addListener(discriminator_);
    acquisition_.addListener(publisher_);
    windows_.setAfterEach([this] { publish(); });
    wireEvents();
}

void Engine::wireEvents() {
    EngineView* view = &p_.view;
    Mailbox& toWindows = p_.toWindows;
    // Within the engine, every call is direct: the engine's objects live on its thread.
    QObject::connect(
        &qn_, &QnSequence::startMarkerDue, &recorder_,
        [this, view] {
            recorder_.appendQnStart(settings_.qnCondition, panel_.readouts().testVoltage,
                                    settings_.qnPasses);
            p_.toWindows.post([view] { emit view->qnStartMarked(); });
        },
        Qt::DirectConnection);
    QObject::connect(
        &qn_, &QnSequence::endMarkerDue, &recorder_,
        [this, view] {
            recorder_.appendQnEnd();
            p_.toWindows.post([view] { emit view->qnEndMarked(); });
        },
        Qt::DirectConnection);
    QObject::connect(
        &qn_, &QnSequence::passQmReady, &recorder_,
        [this, view] {
            const QnState state = qn_.state();
            p_.toWindows.post([view, state] { view->takePass(state); });
        },
        Qt::DirectConnection);
    QObject::connect(
        &recorder_, &Recorder::preparedChanged, &recorder_,
        [this, view](bool prepared) {
            if (prepared) {
                recordingTally_.fileOpened(p_.clock.localTime());
                return;
            }
            publish();
            p_.toWindows.post([view, closed = fileTally()] { emit view->fileClosed(closed); });
        },
        Qt::DirectConnection);
    // The write problems, each to the signal of the same name on the windows' side.
    const auto forward = [this, &toWindows, view](void (Recorder::*from)(const QString&),
                                                  void (EngineView::*to)(const QString&)) {
        QObject::connect(
            &recorder_, from, &recorder_,
            [&toWindows, view, to](const QString& text) {
                toWindows.post([view, to, text] { emit(view->*to)(text); });
            },
            Qt::DirectConnection);
    };
    forward(&Recorder::writeProblem, &EngineView::writeProblem);
    forward(&Recorder::writeProblemBegan, &EngineView::writeProblemBegan);
    QObject::connect(
        &recorder_, &Recorder::writeRecovered, &recorder_,
        [&toWindows, view] { toWindows.post([view] { emit view->writeRecovered(); }); },
        Qt::DirectConnection);
    QObject::connect(
        &recorder_, &Recorder::fileReplaced, &recorder_,
        [this, view](const QString& path, const QString& text) {
            publish();
            p_.toWindows.post([view, path, text] { emit view->fileReplaced(path, text); });
        },
        Qt::DirectConnection);
    QObject::connect(
        &timing_, &Timing::cycleTimeChanged, &timing_,
        [&toWindows, view](const QString& text) {
            toWindows.post([view, text] { emit view->cycleTimeChanged(text); });
        },
        Qt::DirectConnection);
}

FileTally Engine::fileTally() const {
    return {recorder_.filePath(), recorder_.rowsWritten(), recordingTally_.copy()};
}

bool Engine::stage() {
    EngineState state{requestsDone_,     panel_.state(), discriminator_.state(),
                      recorder_.state(), qn_.state(),    fileTally()};
    const QMutexLocker lock(&latest_->mutex);
    const bool onItsWay = latest_->state.has_value();
    latest_->state = std::move(state);
    return !onItsWay;
}

void Engine::takeLatest(const std::shared_ptr<LatestState>& latest, EngineView* view) {
    std::optional<EngineState> taken;
    {
        const QMutexLocker lock(&latest->mutex);
        taken = std::exchange(latest->state, std::nullopt);
    }
    if (taken) {
        view->take(*taken);
    }
}

void Engine::publish() {
    if (stage()) {
        p_.toWindows.post([latest = latest_, view = &p_.view] { takeLatest(latest, view); });
    }
}

void Engine::handToWindows(const Reading& reading) {
    stage();
    p_.toWindows.post([latest = latest_, view = &p_.view, listeners = &windowListeners_, reading] {
        takeLatest(latest, view);
        for (ReadingListener* listener : *listeners) {
            listener->takeReading(reading);
        }
    });
}

void Engine::requestDone(quint64 serial) {
    requestsDone_ = serial;
    publish();
}

bool Engine::searchAndAwaitStart() {
    const UnitSearch search = findUnits(units_, link_, searchProgress_);
    qn_.setPortDigit(units_.portDigit());
    p_.toWindows.post(
        [view = &p_.view, search, units = units_] { emit view->searchEnded(search, units); });
    // The line stays quiet while the operator answers the search's questions; the windows'
    // requests are served meanwhile, the end among them.
    while (!started_ && !requests_.end) {
        p_.waiter.waitUntil(std::numeric_limits<qint64>::max());
    }
    return !requests_.end;
}

void Engine::run() {
    if (!searchAndAwaitStart()) {
        return;
    }
    link_.openPort(units_.port);
    acquisition_.run();
    if (qn_.passesRunning()) {
        qn_.finish();
    }
    recorder_.closeFile();
    publish();
}

}  // namespace kr5
