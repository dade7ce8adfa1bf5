// The windows' copy of the Q-N measurement: whether it runs or ends after its pass, the
// passes counted and the rates for Qm, kept from the values the measurement sends and set
// ahead of them by the session for a request on its way.
#pragma once

#include "modes/qm.h"

#include <QObject>

namespace kr5 {

struct QnState {
    bool running = false;
    bool endAfterPass = false;
    int passes = 0;
    QmTracker qm;
};

class QnView : public QObject {
    Q_OBJECT

  public:
    bool passesRunning() const { return s_.running; }
    bool endAfterPass() const { return s_.endAfterPass; }
    int passes() const { return s_.passes; }
    const QmTracker& qm() const { return s_.qm; }
    const QnState& state() const { return s_; }

    // Takes a state; a measurement started, asked to end or ended is signalled.
    void show(const QnState& state) {
        const bool changed = state.running != s_.running || state.endAfterPass != s_.endAfterPass;
        s_ = state;
        if (changed) {
            emit runningChanged();
        }
    }

    // The passes and their rates alone, as a pass completes.
    void showCounts(const QnState& state) {
        s_.passes = state.passes;
        s_.qm = state.qm;
    }

  signals:
    void runningChanged();

  private:
    QnState s_;
};

}  // namespace kr5
