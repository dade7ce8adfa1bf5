// The windows' side of the engine: the copies of the engine's state that the windows, the
// session and the remote control read, the engine's news as signals, and the way requests
// reach it (post). The engine sends its state after each reading and after each request it
// has carried out; a state sent before the engine had carried out every request posted is
// passed over, so that what the session has just asked for is not shown undone meanwhile.
#pragma once

#include "core/operatingsettings.h"
#include "link/discovery.h"
#include "link/units.h"
#include "measure/panelmodel.h"
#include "measure/requests.h"
#include "modes/qnview.h"
#include "modes/zn4panel.h"
#include "platform/mailbox.h"
#include "records/recorderview.h"
#include "session/engine.h"

#include <QObject>
#include <functional>

namespace kr5 {

class EngineView : public QObject {
    Q_OBJECT

  public:
    // settings: the windows' operating settings, which the panel's range titles switch.
    EngineView(Mailbox& toEngine, OperatingSettings& settings);

    void attach(Engine& engine) { engine_ = &engine; }

    // Hands work to the engine, to run there between two steps of its cycle.
    void post(std::function<void(Engine&)> work);
    // Every request posted has been carried out, as far as the windows know.
    bool settled() const { return settledUpTo_ >= posted_; }

    PanelModel& panel() { return panel_; }
    Zn4Panel& discriminator() { return discriminator_; }
    RecorderView& recorder() { return recorder_; }
    QnView& qn() { return qn_; }
    // The measurement file's tally as the engine last sent it.
    const FileTally& file() const { return file_; }

    // From the engine, through the mailbox.
    void take(const EngineState& state);
    void takePass(const QnState& state);

  signals:
    // The unit search has ended, with the units it found: the windows settle it with the
    // operator, then start the engine or end the program.
    void searchEnded(const UnitSearch& search, const UnitsOnLine& units);
    void cycleTimeChanged(const QString& text);
    // A line of the measurement file could not be written, with why; all written again.
    void writeProblem(const QString& text);
    void writeProblemBegan(const QString& text);
    void writeRecovered();
    // The measurement file went away; recording goes on in newPath, as text says.
    void fileReplaced(const QString& newPath, const QString& text);
    // The measurement file was closed, with what its summary takes from the engine.
    void fileClosed(const FileTally& file);
    // The Q-N markers, as the measurement file gets them (or would, while recording).
    void qnStartMarked();
    void qnEndMarked();
    // A Q-N pass is complete: qn().qm() holds it.
    void passQmReady();

  private:
    Mailbox& toEngine_;
    Engine* engine_ = nullptr;
    quint64 posted_ = 0;
    quint64 settledUpTo_ = 0;
    // The copy's clicks record nothing: the session posts them to the engine.
    Requests unsent_;
    PanelModel panel_;
    Zn4Panel discriminator_{unsent_};
    RecorderView recorder_;
    QnView qn_;
    FileTally file_;
};

}  // namespace kr5
