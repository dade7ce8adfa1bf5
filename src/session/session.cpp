#include "session.h"

#include "core/format.h"
#include "modes/summary.h"

#include <QFileInfo>

namespace kr5 {

namespace {

const QString kQnRunning = QStringLiteral("a Q-N measurement is running");
const QString kFileOpen = QStringLiteral("a measurement file is open: close it first");
const QString kRecordedTestOpen =
    QStringLiteral("a recorded test is open: close it first (File > Close recorded test)");
const QString kRecOn = QStringLiteral("REC ON");

}  // namespace

Session::Session(const Parts& parts) : p_(parts) {
    connect(&recorder(), &RecorderView::preparedChanged, this, &Session::changed);
    connect(&recorder(), &RecorderView::selectionChanged, this, &Session::changed);
    connect(&qn(), &QnView::runningChanged, this, &Session::changed);
    connect(&p_.measurementFile, &MeasurementFile::created, this, &Session::takeCreatedFile);
}

void Session::expectRecorder(const std::function<void(RecorderState&)>& change) {
    RecorderState expected = recorder().state();
    change(expected);
    p_.engine.recorder().show(expected);
}

void Session::goLive() {
    phase_ = Phase::Live;
    emit changed();
}

QString Session::settingRefusal() const {
    return phase_ == Phase::FindingUnits
               ? QStringLiteral("the program is still looking for its units")
               : QString();
}

Outcome Session::liveRefusal() const {
    if (const QString why = settingRefusal(); !why.isEmpty()) {
        return Outcome::refused(why);
    }
    if (recordedTestOpen_) {
        return Outcome::refused(kRecordedTestOpen);
    }
    return {};
}

Outcome Session::startQn() {
    if (qnRunning()) {
        return Outcome::refused(kQnRunning);
    }
    if (Outcome refused = liveRefusal(); !refused) {
        return refused;
    }
    // The panel and the ZN-4 are locked at once; REMOTE is ticked for the count.
    QnState expected = qn().state();
    expected.running = true;
    expected.endAfterPass = false;
    expected.passes = 0;
    panel().setRemote(true);
    panel().setQnRunning(true);
    p_.engine.discriminator().setQnRunning(true);
    p_.engine.qn().show(expected);
    p_.engine.post([](Engine& e) { e.qn().start(); });
    return {};
}

Outcome Session::stopQn() {
    // As the menu's second click: the pass under way is completed first.
    if (qnRunning() && !qn().endAfterPass()) {
        QnState expected = qn().state();
        expected.endAfterPass = true;
        p_.engine.qn().show(expected);
        p_.engine.post([](Engine& e) { e.qn().endAfterThisPass(); });
    }
    return {};
}

Outcome Session::rangeRefusal() const {
    if (const QString why = settingRefusal(); !why.isEmpty()) {
        return Outcome::refused(why);
    }
    if (qnRunning()) {
        return Outcome::refused(kQnRunning);
    }
    if (!p_.engine.panel().remote()) {
        return Outcome::refused(QStringLiteral("REMOTE is off"));
    }
    return {};
}

Outcome Session::setRange(Range range, std::optional<int> value) {
    if (Outcome refused = rangeRefusal(); !refused) {
        return refused;
    }
    // A range set by number ends the automatic ranging, which would move it again at
    // once; none starts it: both as the panel's range titles switch it.
    const bool attenuator = range == Range::Attenuator;
    if (!value.has_value() != (attenuator ? panel().autoAttenuator() : panel().autoRate())) {
        toggleAutoRanging(range);
    }
    if (value) {
        clickRange(range, *value);
    }
    return {};
}

Outcome Session::selectRange(Range range, int value) {
    if (Outcome refused = rangeRefusal(); !refused) {
        return refused;
    }
    clickRange(range, value);
    return {};
}

void Session::clickRange(Range range, int value) {
    if (range == Range::Attenuator) {
        panel().clickAttenuator(value);
        p_.engine.post([value](Engine& e) { e.panel().clickAttenuator(value); });
    } else {
        panel().clickRate(value);
        p_.engine.post([value](Engine& e) { e.panel().clickRate(value); });
    }
}

Outcome Session::toggleAutoRanging(Range range) {
    // The automatic ranging is an operating setting: the windows' settings change, and
    // the engine's copy follows them.
    range == Range::Attenuator ? panel().toggleAutoAttenuator() : panel().toggleAutoRate();
    return {};
}

Outcome Session::setRemote(bool on) {
    if (const QString why = settingRefusal(); !why.isEmpty()) {
        return Outcome::refused(why);
    }
    if (!panel().remoteBoxEnabled()) {
        return Outcome::refused(kQnRunning);
    }
    if (on != panel().remote()) {
        panel().clickRemote(on);
        p_.engine.post([on](Engine& e) { e.panel().clickRemote(on); });
    }
    return {};
}

Outcome Session::setDiscriminator(DiscriminatorSetting setting, int value) {
    if (const QString why = settingRefusal(); !why.isEmpty()) {
        return Outcome::refused(why);
    }
    Zn4Panel& panel = p_.engine.discriminator();
    if (!p_.units.discriminatorPresent()) {
        return Outcome::refused(QStringLiteral("no ZN-4 on the line"));
    }
    if (!panel.windowEnabled()) {
        return Outcome::refused(kQnRunning);
    }
    if (!panel.buttonsEnabled()) {
        return Outcome::refused(QStringLiteral("the ZN-4's REMOTE is off"));
    }
    const auto click = [setting, value](Zn4Panel& unit) {
        switch (setting) {
            case DiscriminatorSetting::Function:
                unit.clickFunction(value);
                break;
            case DiscriminatorSetting::ChannelA:
                unit.clickChannelA(value);
                break;
            case DiscriminatorSetting::ChannelB:
                unit.clickChannelB(value);
                break;
        }
    };
    click(panel);
    p_.engine.post([click](Engine& e) { click(e.discriminator()); });
    return {};
}

Outcome Session::setDiscriminatorRemote(bool on) {
    if (const QString why = settingRefusal(); !why.isEmpty()) {
        return Outcome::refused(why);
    }
    if (!p_.engine.discriminator().windowEnabled()) {
        return Outcome::refused(kQnRunning);
    }
    p_.engine.discriminator().clickRemote(on);
    p_.engine.post([on](Engine& e) { e.discriminator().clickRemote(on); });
    return {};
}

Outcome Session::mayPrepareFile() const {
    if (filePrepared()) {
        return Outcome::refused(kFileOpen);
    }
    return liveRefusal();
}

Outcome Session::prepareFileAt(const QString& path) {
    if (Outcome refused = mayPrepareFile(); !refused) {
        return refused;
    }
    if (InputConstants::isUnnamed(p_.constants.constants().name)) {
        return Outcome::refused(
            QStringLiteral("the test has no name: set one with CONFigure:NAME"));
    }
    // A repeated name must not cost an earlier test, nor its summary (written at CLOSE).
    for (const QString& taken : {path, summaryPath(path)}) {
        if (QFileInfo::exists(taken) || QFileInfo(taken).isSymLink()) {
            return Outcome::failed(QStringLiteral("%1 exists: give a new file").arg(taken));
        }
    }
    QString problem;
    if (!p_.measurementFile.createAt(path, &problem)) {
        return Outcome::failed(QStringLiteral("%1 could not be created (%2)").arg(path, problem));
    }
    return {};
}

void Session::takeCreatedFile(const QString& path, const QStringList& header) {
    expectRecorder([&path](RecorderState& r) {
        r.filePrepared = true;
        r.recording = false;
        r.recOnSelected = false;
        r.filePath = path;
        r.rowsWritten = 0;
        r.recOnCaption = kRecOn;
    });
    p_.engine.post([path, header](Engine& e) { e.recorder().adopt(path, header); });
}

Outcome Session::recordingRefusal() const {
    if (qnRunning()) {
        return Outcome::refused(kQnRunning);
    }
    if (!filePrepared()) {
        return Outcome::refused(QStringLiteral("no measurement file: RECord:FILE first"));
    }
    return {};
}

Outcome Session::recordOn() {
    if (Outcome refused = recordingRefusal(); !refused) {
        return refused;
    }
    if (!recording()) {
        expectRecorder([](RecorderState& r) { r.recording = r.recOnSelected = true; });
        p_.engine.post([](Engine& e) { e.recorder().recordOn(); });
    }
    return {};
}

Outcome Session::pauseRecording() {
    if (Outcome refused = recordingRefusal(); !refused) {
        return refused;
    }
    if (recording()) {
        expectRecorder([](RecorderState& r) {
            r.recording = r.recOnSelected = false;
            r.recOnCaption = kRecOn;
        });
        p_.engine.post([](Engine& e) { e.recorder().pauseRecording(); });
    }
    return {};
}

Outcome Session::closeFile() {
    if (qnRunning()) {
        return Outcome::refused(kQnRunning);
    }
    if (filePrepared()) {
        expectRecorder([](RecorderState& r) {
            r.filePrepared = r.recording = r.recOnSelected = false;
            r.recOnCaption = kRecOn;
        });
        p_.engine.post([](Engine& e) { e.recorder().closeFile(); });
    }
    return {};
}

Outcome Session::setTestName(const QString& name) {
    if (filePrepared()) {
        return Outcome::refused(
            QStringLiteral("a measurement file is open: the name is in its header"));
    }
    switch (p_.constants.storeName(name)) {
        case ConstantsForm::OkResult::Saved:
            return {};
        case ConstantsForm::OkResult::Refused:
            return Outcome::badValue(p_.constants.problem());
        case ConstantsForm::OkResult::NotWritten:
            break;
    }
    return Outcome::failed(p_.constants.problem());
}

Outcome Session::mayOpenRecordedTest() const {
    if (filePrepared()) {
        return Outcome::refused(QStringLiteral("the measurement file is open: CLOSE it first."));
    }
    if (qnRunning()) {
        return Outcome::refused(QStringLiteral("the Q-N measurement runs: stop it first."));
    }
    return {};
}

void Session::setRecordedTestOpen(bool open) {
    if (open != recordedTestOpen_) {
        recordedTestOpen_ = open;
        emit changed();
    }
}

Outcome Session::setAcceptance(AcceptanceField field, const QString& value) {
    if (const QString why = AcceptanceForm::problemWith(field, value); !why.isEmpty()) {
        return Outcome::badValue(why);
    }
    AcceptanceForm& form = p_.acceptance;
    form.load();
    const bool testSet = !form.fields.testKv.isEmpty();
    if (field == AcceptanceField::BackgroundKv && !testSet) {
        return form.takeBackgroundThreshold(value) ? Outcome() : Outcome::badValue(form.problem());
    }
    AcceptanceFields setup = acceptanceSetup();
    setup.backgroundKv = form.fields.backgroundKv;
    form.fields = setup;
    fieldText(form.fields, field) = value.trimmed();
    if (form.fields.testKv.isEmpty() || form.fields.holdS.isEmpty() ||
        form.fields.permissiblePc.isEmpty()) {
        acceptanceDraft_ = form.fields;
        form.load();
        return {};
    }
    if (!form.ok()) {
        const QString why = form.problem();
        form.load();
        return Outcome::badValue(why);
    }
    acceptanceDraft_ = {};
    return {};
}

AcceptanceFields Session::acceptanceSetup() const {
    AcceptanceFields setup = acceptanceDraft_;
    if (const auto& limits = p_.acceptance.test().limits()) {
        setup.testKv = plainNumber(limits->testKv);
        setup.holdS = plainNumber(limits->holdS);
        setup.permissiblePc = plainNumber(limits->permissiblePc);
    }
    setup.backgroundKv = plainNumber(p_.acceptance.test().backgroundThresholdKv());
    return setup;
}

Outcome Session::restartAcceptance() {
    AcceptanceTest& test = p_.acceptance.test();
    if (!test.limits()) {
        return Outcome::refused(QStringLiteral("no acceptance test is set"));
    }
    test.restart();
    return {};
}

void Session::setTestDetails(const TestDetails& details) {
    p_.details = details;
    emit testDetailsChanged(details);
}

Outcome Session::setTestDetail(QString TestDetailsFields::*field, const QString& text) {
    TestDetailsFields fields = TestDetailsForm::fieldsOf(p_.details);
    fields.*field = text;
    QString problem;
    const std::optional<TestDetails> details = TestDetailsForm::detailsOf(fields, &problem);
    if (!details) {
        return Outcome::badValue(problem);
    }
    setTestDetails(*details);
    return {};
}

Outcome Session::setCalibrationCharge(const QString& pc) {
    QString why;
    if (!Calibration::chargeFromText(pc, QStringLiteral("Calibrator charge"), &why)) {
        return Outcome::badValue(why);
    }
    calibrationCharge_ = pc.trimmed();
    return {};
}

Outcome Session::startCalibration() {
    if (Outcome refused = liveRefusal(); !refused) {
        return refused;
    }
    if (calibrationCharge_.isEmpty()) {
        return Outcome::refused(QStringLiteral("no calibrator charge given"));
    }
    if (const QString why = p_.calibration.start(calibrationCharge_); !why.isEmpty()) {
        return Outcome::badValue(why);
    }
    return {};
}

Outcome Session::mayChangeQnSetup() const {
    return qnRunning() ? Outcome::refused(kQnRunning) : Outcome();
}

Outcome Session::acceptCalibration() {
    // The file's header holds the constants its rows were recorded with.
    if (filePrepared()) {
        return Outcome::refused(
            QStringLiteral("a measurement file is open: its header holds the constants"));
    }
    if (const QString why = p_.calibration.accept(); !why.isEmpty()) {
        return Outcome::refused(why);
    }
    return {};
}

Outcome Session::startBackground() {
    if (const QString why = settingRefusal(); !why.isEmpty()) {
        return Outcome::refused(why);
    }
    p_.background.measureNow();
    return {};
}

void Session::clearCharts() {
    if (!recordedTestOpen_) {
        emit chartsClearingAsked();
    }
}

}  // namespace kr5
