// The Q-N measurement: started and stopped from the menu, counted pass by pass as its
// steps are read, ended after a set number of passes or block by block without end (Non
// Stop), and marked in the measurement file while recording runs. The acquisition loop
// runs the passes themselves; the pass count belongs here alone, so nothing that clears
// or redraws a chart changes it.
#pragma once

#include "core/operatingsettings.h"
#include "measure/acquisition.h"
#include "measure/panelmodel.h"
#include "measure/reading.h"
#include "measure/requests.h"
#include "modes/qm.h"
#include "modes/qnview.h"
#include "modes/zn4panel.h"

#include <QObject>
#include <QString>

namespace kr5 {

// What the measurement changes on the windows.
class QnWindows {
  public:
    virtual ~QnWindows() = default;
    // Captions of the menu items mesqn, dwave and dvq.
    virtual void setMenuCaptions(const QString& qnMeasurement, const QString& trend,
                                 const QString& vq) = 0;
    // Both charts cleared to the Q-N face (labelled with the test voltage and condition
    // of the measurement), or back to the normal face.
    virtual void showQnFace(const QString& label) = 0;
    virtual void showNormalFace() = 0;
    // A new Non Stop block: the Q-N chart alone cleared, with the label of the block.
    virtual void startBlock(const QString& label) = 0;
    // The recording controls and the noise discriminator window: locked while the
    // measurement runs.
    virtual void setLocked(bool locked) = 0;
    // One step of a pass: the V-Q window's caption with the pass count, and the step's
    // bar in the column of its pass.
    virtual void showStep(const QString& caption, int pass, const Reading& step) = 0;
    // The finished chart goes to the Q-N window.
    virtual void copyChart() = 0;
};

class QnSequence : public QObject, public QnControl, public ReadingListener {
    Q_OBJECT

  public:
    static constexpr qint32 nonStopBlock = 31;  // passes of one Non Stop block

    struct Parts {
        const OperatingSettings& settings;
        Requests& requests;
        PanelModel& panel;
        QnWindows& windows;
        // The noise discriminator's panel, locked with the other controls; none: no unit.
        Zn4Panel* discriminator = nullptr;
    };

    explicit QnSequence(const Parts& parts);

    // The port's digit for the captions.
    void setPortDigit(const QString& digit) { portDigit_ = digit; }

    // Starts a measurement (nothing when one runs); the session decides whether it may.
    void start();
    // Asks the running measurement to end after the pass under way.
    void endAfterThisPass();

    // Passes completed in the current measurement, or in the current Non Stop block.
    int passes() const { return passes_; }
    // The rates of the passes, for Qm: of the last pass and of the current block.
    const QmTracker& qm() const { return qm_; }
    QnState state() const { return {running_, endAfterPass_, passes_, qm_}; }

    // QnControl, for the acquisition loop.
    bool passesRunning() const override { return running_; }
    bool endAfterPass() const override { return endAfterPass_; }
    void recordStart() override { emit startMarkerDue(); }
    void finish() override;

    // Each step of a pass: its bar, and after the last range the pass is counted.
    void takeReading(const Reading& reading) override;

  signals:
    // Markers for the measurement file; the recorder writes them only while recording.
    void startMarkerDue();
    void endMarkerDue();
    // A pass is complete: qm() holds it, and its block until the next block starts.
    void passQmReady();

  private:
    QString faceLabel() const;
    QString passCaption() const;
    void passCompleted();
    void lock(bool locked);

    Parts p_;
    QString portDigit_;
    bool running_ = false;
    bool endAfterPass_ = false;
    int passes_ = 0;
    QmTracker qm_;
};

}  // namespace kr5
