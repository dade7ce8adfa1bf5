#include "engineview.h"

namespace kr5 {

EngineView::EngineView(Mailbox& toEngine, OperatingSettings& settings)
    : toEngine_(toEngine), panel_(unsent_, settings) {}

void EngineView::post(std::function<void(Engine&)> work) {
    const quint64 serial = ++posted_;
    Engine* engine = engine_;
    toEngine_.post([engine, serial, work = std::move(work)] {
        work(*engine);
        engine->requestDone(serial);
    });
}

void EngineView::take(const EngineState& state) {
    settledUpTo_ = std::max(settledUpTo_, state.requestsDone);
    if (!settled()) {
        return;
    }
    panel_.show(state.panel);
    discriminator_.show(state.discriminator);
    recorder_.show(state.recorder);
    qn_.show(state.qn);
    file_ = state.file;
}

void EngineView::takePass(const QnState& state) {
    qn_.showCounts(state);
    emit passQmReady();
}

}  // namespace kr5
