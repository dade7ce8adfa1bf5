// The Q-N measurement: started and stopped from the menu, counted pass by pass as the
// charts draw them, ended after a set number of passes or block by block without end
// (Non Stop), and marked in the measurement file while recording runs. The acquisition
// loop runs the passes themselves.
#pragma once

#include "app/globals.h"
#include "measure/requests.h"
#include "platform/eventpump.h"

#include <QString>
#include <functional>

namespace kr5 {

// What the measurement changes on the windows.
class QnView {
public:
    virtual ~QnView() = default;
    // Captions of the menu items mesqn, dwave and dvq.
    virtual void setMenuCaptions(const QString& mesqn, const QString& dwave,
                                 const QString& dvq) = 0;
    // Captions of the trend and V-Q windows; both charts are cleared to the face that
    // qnmode selects (this also clears the pass counter).
    virtual void restartCharts(const QString& waveCaption, const QString& vqCaption) = 0;
    // The panel's range frames and REMOTE box, the recording controls and the noise
    // discriminator window: disabled while the measurement runs.
    virtual void setControlsEnabled(bool enabled) = 0;
    virtual bool remoteChecked() const = 0;
    // Ticks REMOTE as a click does.
    virtual void tickRemote() = 0;
};

// The finished Q-N chart and the pass counter, kept by the charts.
class QnChart {
public:
    virtual ~QnChart() = default;
    virtual qint32 qnpass() const = 0;
    virtual void setQnpass(qint32 passes) = 0;
    // The finished chart goes to the Q-N window.
    virtual void copyIn() = 0;
    // Clears the Q-N chart for the next block.
    virtual void clrvq() = 0;
};

class QnSequence {
public:
    static constexpr qint32 nonStopBlock = 31;  // passes of one Non Stop block

    QnSequence(Globals& g, Requests& requests, EventPump& pump, QnView& view, QnChart& chart);

    // The markers, written only while recording runs.
    std::function<void()> writeStartMarker;
    std::function<void()> writeEndMarker;

    // Menu QN-Mes.: starts a measurement, or asks the running one to end after its pass.
    void mesqnClick();

    // Ends the measurement (the loop calls it after the pass in which qnstop was set).
    void qnend();
    // Writes the start marker (the loop calls it for a pending start request).
    void qnstart();
    // Ends one Non Stop block and starts the next in the file.
    void qnstend();

    // The charts have drawn the last range of a pass and counted it in qnpass.
    void passEnd();

private:
    Globals& g_;
    Requests& req_;
    EventPump& pump_;
    QnView& view_;
    QnChart& chart_;
};

}  // namespace kr5
