#include "engine.h"

namespace kr5 {

void EngineWindows::showDiscriminatorPanel(bool present) {
    if (loop_ != nullptr) {
        loop_->showDiscriminatorPanel(present);
    }
}

void EngineWindows::startCharts() {
    if (loop_ != nullptr) {
        loop_->startCharts();
    }
}

void EngineWindows::portLost(const PortProblem& problem) {
    if (loop_ != nullptr) {
        loop_->portLost(problem);
    }
}

void EngineWindows::portBack() {
    if (loop_ != nullptr) {
        loop_->portBack();
    }
}

void EngineWindows::setMenuCaptions(const QString& qnMeasurement, const QString& trend,
                                    const QString& vq) {
    if (qn_ != nullptr) {
        qn_->setMenuCaptions(qnMeasurement, trend, vq);
    }
}

void EngineWindows::showQnFace(const QString& label) {
    if (qn_ != nullptr) {
        qn_->showQnFace(label);
    }
}

void EngineWindows::showNormalFace() {
    if (qn_ != nullptr) {
        qn_->showNormalFace();
    }
}

void EngineWindows::startBlock(const QString& label) {
    if (qn_ != nullptr) {
        qn_->startBlock(label);
    }
}

void EngineWindows::setLocked(bool locked) {
    if (qn_ != nullptr) {
        qn_->setLocked(locked);
    }
}

void EngineWindows::showStep(const QString& caption, int pass, const Reading& step) {
    if (qn_ != nullptr) {
        qn_->showStep(caption, pass, step);
    }
}

void EngineWindows::copyChart() {
    if (qn_ != nullptr) {
        qn_->copyChart();
    }
}

Engine::Engine(const Parts& p)
    : timing_(p.clock, p.pump),
      link_(p.units, p.port, p.clock, p.pump, timing_),
      frameLog_(p.clock),
      evaluator_(p.constants, p.units),
      panel_(requests_, p.settings),
      discriminator_(requests_),
      recorder_(p.clock, p.files),
      recordingTally_([this] { return recorder_.recording(); }),
      qn_({p.settings, requests_, panel_, windows_}),
      acquisition_({requests_, p.settings, p.units, link_, p.clock, timing_, p.pump, evaluator_,
                    panel_, windows_, qn_}) {}

}  // namespace kr5
