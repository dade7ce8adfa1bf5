#include "session.h"

#include <QFileInfo>

namespace kr5 {

namespace {

const QString kQnRunning = QStringLiteral("a Q-N measurement is running");
const QString kFileOpen = QStringLiteral("a measurement file is open: close it first");
const QString kRecordedTestOpen =
    QStringLiteral("a recorded test is open: close it first (File > Close recorded test)");

}  // namespace

Session::Session(const Parts& parts) : p_(parts) {
    connect(&p_.recorder, &Recorder::preparedChanged, this, &Session::changed);
    connect(&p_.recorder, &Recorder::selectionChanged, this, &Session::changed);
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
    p_.qn.start();
    emit changed();
    return {};
}

Outcome Session::stopQn() {
    // As the menu's second click: the pass under way is completed first.
    if (qnRunning() && !p_.qn.endAfterPass()) {
        p_.qn.endAfterThisPass();
        emit changed();
    }
    return {};
}

Outcome Session::setRange(Range range, std::optional<int> value) {
    if (const QString why = settingRefusal(); !why.isEmpty()) {
        return Outcome::refused(why);
    }
    if (qnRunning()) {
        return Outcome::refused(kQnRunning);
    }
    if (!p_.panel.remote()) {
        return Outcome::refused(QStringLiteral("REMOTE is off"));
    }
    // A range set by number ends the automatic ranging, which would move it again at
    // once; none starts it: both as the panel's range titles switch it.
    PanelModel& panel = p_.panel;
    const bool attenuator = range == Range::Attenuator;
    if (!value.has_value() != (attenuator ? panel.autoAttenuator() : panel.autoRate())) {
        attenuator ? panel.toggleAutoAttenuator() : panel.toggleAutoRate();
    }
    if (value) {
        attenuator ? panel.clickAttenuator(*value) : panel.clickRate(*value);
    }
    return {};
}

Outcome Session::setRemote(bool on) {
    if (const QString why = settingRefusal(); !why.isEmpty()) {
        return Outcome::refused(why);
    }
    if (!p_.panel.remoteBoxEnabled()) {
        return Outcome::refused(kQnRunning);
    }
    if (on != p_.panel.remote()) {
        p_.panel.clickRemote(on);
    }
    return {};
}

Outcome Session::setDiscriminator(DiscriminatorSetting setting, int value) {
    if (const QString why = settingRefusal(); !why.isEmpty()) {
        return Outcome::refused(why);
    }
    Zn4Panel& panel = p_.discriminator;
    if (!p_.units.discriminatorPresent()) {
        return Outcome::refused(QStringLiteral("no ZN-4 on the line"));
    }
    if (!panel.windowEnabled()) {
        return Outcome::refused(kQnRunning);
    }
    if (!panel.buttonsEnabled()) {
        return Outcome::refused(QStringLiteral("the ZN-4's REMOTE is off"));
    }
    switch (setting) {
        case DiscriminatorSetting::Function:
            panel.clickFunction(value);
            break;
        case DiscriminatorSetting::ChannelA:
            panel.clickChannelA(value);
            break;
        case DiscriminatorSetting::ChannelB:
            panel.clickChannelB(value);
            break;
    }
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
    // A repeated name must not cost an earlier test.
    if (QFileInfo::exists(path)) {
        return Outcome::failed(QStringLiteral("%1 exists: give a new file").arg(path));
    }
    QString problem;
    if (!p_.measurementFile.createAt(path, &problem)) {
        return Outcome::failed(QStringLiteral("%1 could not be created (%2)").arg(path, problem));
    }
    return {};
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
        p_.recorder.recordOn();
    }
    return {};
}

Outcome Session::pauseRecording() {
    if (Outcome refused = recordingRefusal(); !refused) {
        return refused;
    }
    if (recording()) {
        p_.recorder.pauseRecording();
    }
    return {};
}

Outcome Session::closeFile() {
    if (qnRunning()) {
        return Outcome::refused(kQnRunning);
    }
    p_.recorder.closeFile();  // closing what is closed asks nothing
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
