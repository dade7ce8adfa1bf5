// The program's session: which state the measurement is in (the units still being
// found, live, a Q-N measurement under way, a file prepared, recording or paused, a
// recorded test open) and the operator's intents, each checked here once, whoever asks:
// a window's menu item or button, or the remote control. An intent that the state
// forbids changes nothing and says why, in the same words for both.
//
// Nothing here waits for the engine: an intent is checked against the windows' copy of
// the engine's state, which it sets at once to what it asked for, and goes to the engine,
// which carries it out between two steps of its cycle. What the instruments must be told
// goes out at the acquisition loop's next request point.
#pragma once

#include "link/units.h"
#include "measure/background.h"
#include "modes/acceptance.h"
#include "modes/calibration.h"
#include "records/constantsform.h"
#include "records/measurementfile.h"
#include "records/testdetailsform.h"
#include "session/engineview.h"

#include <QObject>
#include <QString>
#include <optional>

namespace kr5 {

// Whether an intent was carried out, and why not.
struct Outcome {
    enum class Kind {
        Done,
        Forbidden,  // the state does not allow it now
        BadValue,   // a value out of its range
        Failed,     // allowed, but it could not be done (a file that cannot be made)
    };
    Kind kind = Kind::Done;
    QString why;  // empty when done

    static Outcome refused(const QString& reason) { return {Kind::Forbidden, reason}; }
    static Outcome badValue(const QString& reason) { return {Kind::BadValue, reason}; }
    static Outcome failed(const QString& reason) { return {Kind::Failed, reason}; }
    explicit operator bool() const { return kind == Kind::Done; }
};

class Session : public QObject {
    Q_OBJECT

  public:
    enum class Phase {
        FindingUnits,  // the line is not the loop's yet
        Live,
    };
    enum class Range { Attenuator, Rate };
    enum class DiscriminatorSetting { Function, ChannelA, ChannelB };

    struct Parts {
        const UnitsOnLine& units;
        EngineView& engine;
        MeasurementFile& measurementFile;
        ConstantsForm& constants;
        Calibration& calibration;
        BackgroundLevel& background;
        AcceptanceForm& acceptance;
        TestDetails& details;  // the test details in force
    };

    explicit Session(const Parts& parts);

    // The state.
    Phase phase() const { return phase_; }
    bool qnRunning() const { return qn().passesRunning(); }
    bool qnStopping() const { return qn().passesRunning() && qn().endAfterPass(); }
    bool filePrepared() const { return recorder().filePrepared(); }
    bool recording() const { return recorder().recording(); }
    bool recordedTestOpen() const { return recordedTestOpen_; }

    // The units were found and the loop has the line.
    void goLive();

    // Why the operator cannot change anything on the instruments now; empty when they can.
    QString settingRefusal() const;

    // The Q-N measurement: started, or asked to end after the pass under way.
    Outcome startQn();
    Outcome stopQn();

    // A range by number (which ends its automatic ranging), or automatic ranging (none).
    Outcome setRange(Range range, std::optional<int> value);
    // A range button of the panel: the automatic ranging stays as it is.
    Outcome selectRange(Range range, int value);
    // The panel's range titles: automatic ranging on or off.
    Outcome toggleAutoRanging(Range range);
    Outcome setRemote(bool on);
    Outcome setDiscriminator(DiscriminatorSetting setting, int value);
    Outcome setDiscriminatorRemote(bool on);

    // The measurement file and its recording.
    Outcome mayPrepareFile() const;
    // Creates the file at path as File > Save would, never replacing one.
    Outcome prepareFileAt(const QString& path);
    Outcome recordOn();
    Outcome pauseRecording();
    Outcome closeFile();
    // The test's name, as Input const's OK stores it.
    Outcome setTestName(const QString& name);

    // A recorded test shown in the charts instead of the live readings.
    Outcome mayOpenRecordedTest() const;
    void setRecordedTestOpen(bool open);

    // One value of the acceptance test's setup, as the window's field would take it. A test
    // is set, or set anew, once its level, hold time and permissible charge are all known:
    // the values given before that wait for the rest (acceptanceSetup() shows them).
    Outcome setAcceptance(AcceptanceField field, const QString& value);
    AcceptanceFields acceptanceSetup() const;
    Outcome restartAcceptance();

    // The test details, whole from the window or one field from the remote control, each
    // field checked as the window checks it.
    void setTestDetails(const TestDetails& details);
    Outcome setTestDetail(QString TestDetailsFields::*field, const QString& text);
    const TestDetails& testDetails() const { return p_.details; }

    // The calibrator's charge for the next start, typed as the window's field takes it.
    Outcome setCalibrationCharge(const QString& pc);
    const QString& calibrationCharge() const { return calibrationCharge_; }
    // Averages the detector's peak with the calibrator at that charge.
    Outcome startCalibration();
    Outcome acceptCalibration();
    // The Q-N gate time and passes change between measurements only: a block counted at
    // two gate times would mean nothing.
    Outcome mayChangeQnSetup() const;
    Outcome startBackground();
    // The live charts start afresh; a recorded test shown stays as it is.
    void clearCharts();

  signals:
    // The state changed: the menus and buttons follow it.
    void changed();
    void chartsClearingAsked();
    // The test details changed: the program keeps them for the port.
    void testDetailsChanged(const TestDetails& details);

  private:
    const QnView& qn() const { return p_.engine.qn(); }
    const RecorderView& recorder() const { return p_.engine.recorder(); }
    PanelModel& panel() { return p_.engine.panel(); }
    // The recorder's state as the engine will have it once it has done what was asked.
    void expectRecorder(const std::function<void(RecorderState&)>& change);
    void takeCreatedFile(const QString& path, const QStringList& header);
    Outcome rangeRefusal() const;
    void clickRange(Range range, int value);
    Outcome recordingRefusal() const;
    // The line is not the loop's yet, or a recorded test is shown instead of it.
    Outcome liveRefusal() const;

    Parts p_;
    Phase phase_ = Phase::FindingUnits;
    AcceptanceFields acceptanceDraft_;  // the test's values given while it is incomplete
    QString calibrationCharge_;
    bool recordedTestOpen_ = false;
};

}  // namespace kr5
