// The remote control's settings and actions: the ranges, REMOTE, the sample time, the
// test's name, the measurement file and its recording, the Q-N measurement and the
// noise discriminator. Each goes through the model the window's control uses, after the
// same checks that keep the control disabled.
#include "modes/remotecommands.h"
#include "modes/remotecontext.h"

#include <QFileInfo>

namespace kr5 {

QString RemoteCommands::rangeRefusal() const {
    if (p_.qn.passesRunning()) {
        return QStringLiteral("a Q-N measurement is running");
    }
    if (!p_.panel.remote()) {
        return QStringLiteral("REMOTE is off");
    }
    return {};
}

QString RemoteCommands::recordingRefusal() const {
    if (p_.qn.passesRunning()) {
        return QStringLiteral("a Q-N measurement is running");
    }
    return {};
}

QString RemoteCommands::discriminatorRefusal() const {
    if (!p_.units.discriminatorPresent()) {
        return QStringLiteral("no ZN-4 on the line");
    }
    if (!p_.discriminator.windowEnabled()) {
        return QStringLiteral("a Q-N measurement is running");
    }
    if (!p_.discriminator.buttonsEnabled()) {
        return QStringLiteral("the ZN-4's REMOTE is off");
    }
    return {};
}

void RemoteCommands::runSense(const ScpiCommand& command, Context& context) {
    const auto flag = [](bool on) { return QByteArray(on ? "1" : "0"); };
    switch (command.id) {
        case Attenuator:
            setRange(true, command.params.front(), context);
            break;
        case AttenuatorQuery:
            context.answer(QByteArray::number(p_.panel.attenuatorButton()));
            break;
        case AttenuatorAutoQuery:
            context.answer(flag(p_.panel.autoAttenuator()));
            break;
        case Rate:
            setRange(false, command.params.front(), context);
            break;
        case RateQuery:
            context.answer(QByteArray::number(p_.panel.rateButton()));
            break;
        case RateAutoQuery:
            context.answer(flag(p_.panel.autoRate()));
            break;
        case Remote:
            setRemote(command.params.front(), context);
            break;
        case RemoteQuery:
            context.answer(flag(p_.panel.remote()));
            break;
        case Sample:
            setSampleTime(command.params.front(), context);
            break;
        default:  // SampleQuery
            context.answer(QByteArray::number(p_.settings.sampleMs));
            break;
    }
}

// A range set by number ends the automatic ranging, which would move it again at once;
// AUTO starts it. Both as the panel's range titles switch it.
void RemoteCommands::setRange(bool attenuator, const ScpiParam& param, Context& context) {
    PanelModel& panel = p_.panel;
    const int ranges = attenuator ? kAttenuatorRanges : kRateRanges;
    const bool autoWord = word(param, {"AUTO"}).has_value();
    const std::optional<int> range = intIn(param, 0, ranges - 1);
    if (!autoWord && !range) {
        context.refuse(scpierror::DataOutOfRange,
                       QStringLiteral("%1 range 0 to %2 or AUTO")
                           .arg(attenuator ? QStringLiteral("attenuator") : QStringLiteral("rate"))
                           .arg(ranges - 1));
        return;
    }
    if (const QString why = rangeRefusal(); !why.isEmpty()) {
        context.refuse(scpierror::SettingsConflict, why);
        return;
    }
    if (autoWord != (attenuator ? panel.autoAttenuator() : panel.autoRate())) {
        attenuator ? panel.toggleAutoAttenuator() : panel.toggleAutoRate();
    }
    if (range) {
        attenuator ? panel.clickAttenuator(*range) : panel.clickRate(*range);
    }
}

void RemoteCommands::setRemote(const ScpiParam& param, Context& context) {
    const std::optional<bool> on = boolean(param);
    if (!on) {
        context.refuse(scpierror::DataOutOfRange, QStringLiteral("ON or OFF"));
        return;
    }
    if (!p_.panel.remoteBoxEnabled()) {
        context.refuse(scpierror::SettingsConflict, QStringLiteral("a Q-N measurement is running"));
        return;
    }
    if (*on != p_.panel.remote()) {
        p_.panel.clickRemote(*on);
    }
}

void RemoteCommands::setSampleTime(const ScpiParam& param, Context& context) {
    const std::optional<int> ms = intIn(param, 0, 500);
    if (!ms || !p_.options.setSampleTime(*ms)) {
        context.refuse(scpierror::DataOutOfRange, QStringLiteral("0, 100, 200 or 500 ms"));
    }
}

void RemoteCommands::runRecord(const ScpiCommand& command, Context& context) {
    switch (command.id) {
        case Name:
            setTestName(command.params.front(), context);
            break;
        case NameQuery:
            context.answer(scpiString(p_.constants.constants().name));
            break;
        case RecordFile:
            openFile(command.params.front(), context);
            break;
        case RecordFileQuery:
            context.answer(
                scpiString(p_.recorder.filePrepared() ? p_.recorder.filePath() : QString()));
            break;
        case RecordState:
            setRecordState(command.params.front(), context);
            break;
        case RecordStateQuery:
            context.answer(!p_.recorder.filePrepared() ? "CLOS"
                           : p_.recorder.recording()   ? "ON"
                                                       : "PAUS");
            break;
        default:  // RecordCount
            context.answer(QByteArray::number(p_.recorder.rowsWritten()));
            break;
    }
}

// As Input const OK with only the name changed; refused, as OK is, while a file is open.
void RemoteCommands::setTestName(const ScpiParam& param, Context& context) {
    if (param.kind != ScpiParam::Kind::String) {
        context.refuse(scpierror::DataType, QStringLiteral("the name in quotes"));
        return;
    }
    if (p_.recorder.filePrepared()) {
        context.refuse(scpierror::SettingsConflict,
                       QStringLiteral("a measurement file is open: the name is in its header"));
        return;
    }
    switch (p_.constants.storeName(QString::fromUtf8(param.text))) {
        case ConstantsForm::OkResult::Saved:
            break;
        case ConstantsForm::OkResult::Refused:
            context.refuse(scpierror::DataOutOfRange, p_.constants.problem());
            break;
        case ConstantsForm::OkResult::NotWritten:
            context.refuse(scpierror::Execution, p_.constants.problem());
            break;
    }
}

// File > Save with the name given instead of chosen. An existing file is never
// replaced from afar: a script's repeated name must not cost an earlier test.
void RemoteCommands::openFile(const ScpiParam& param, Context& context) {
    if (param.kind != ScpiParam::Kind::String || param.text.isEmpty()) {
        context.refuse(scpierror::DataType, QStringLiteral("the file's path in quotes"));
        return;
    }
    QString why;
    if (p_.recorder.filePrepared()) {
        why = QStringLiteral("a measurement file is open: close it first");
    } else if (hooks_.liveRefusal) {
        why = hooks_.liveRefusal();
    }
    if (why.isEmpty() && InputConstants::isUnnamed(p_.constants.constants().name)) {
        why = QStringLiteral("the test has no name: set one with CONFigure:NAME");
    }
    if (!why.isEmpty()) {
        context.refuse(scpierror::SettingsConflict, why);
        return;
    }
    const QString path = QFileInfo(QString::fromUtf8(param.text)).absoluteFilePath();
    if (QFileInfo::exists(path)) {
        context.refuse(scpierror::Execution,
                       QStringLiteral("%1 exists: give a new file").arg(path));
        return;
    }
    QString problem;
    if (!p_.measurementFile.createAt(path, &problem)) {
        context.refuse(scpierror::Execution,
                       QStringLiteral("%1 could not be created (%2)").arg(path, problem));
    }
}

void RemoteCommands::setRecordState(const ScpiParam& param, Context& context) {
    const std::optional<int> state = word(param, {"ON", "PAUSe", "CLOSe"});
    if (!state) {
        context.refuse(scpierror::DataOutOfRange, QStringLiteral("ON, PAUSe or CLOSe"));
        return;
    }
    if (const QString why = recordingRefusal(); !why.isEmpty()) {
        context.refuse(scpierror::SettingsConflict, why);
        return;
    }
    if (!p_.recorder.filePrepared()) {
        if (*state != 2) {  // closing what is closed asks nothing
            context.refuse(scpierror::SettingsConflict,
                           QStringLiteral("no measurement file: RECord:FILE first"));
        }
        return;
    }
    const bool wanted = *state == 0;
    if (*state == 2) {
        p_.recorder.closeFile();
    } else if (wanted != p_.recorder.recording()) {
        wanted ? p_.recorder.recordOn() : p_.recorder.pauseRecording();
    }
    const bool done = *state == 2 ? !p_.recorder.filePrepared() : p_.recorder.recording() == wanted;
    if (!done) {
        // Another REC ON, PAUSE or CLOSE is still waiting its 100 ms.
        context.refuse(scpierror::Execution, QStringLiteral("the recording is busy; try again"));
    }
}

void RemoteCommands::runQn(const ScpiCommand& command, Context& context) {
    switch (command.id) {
        case QnStart: {
            QString why = p_.qn.passesRunning() ? QStringLiteral("a Q-N measurement is running")
                          : hooks_.liveRefusal  ? hooks_.liveRefusal()
                                                : QString();
            if (!why.isEmpty()) {
                context.refuse(scpierror::SettingsConflict, why);
            } else {
                p_.qn.menuClick();
            }
            break;
        }
        case QnStop:
            // As the menu's second click: the pass under way is completed first.
            if (p_.qn.passesRunning() && !p_.qn.endAfterPass()) {
                p_.qn.menuClick();
            }
            break;
        case QnState:
            context.answer(!p_.qn.passesRunning() ? "IDLE"
                           : p_.qn.endAfterPass() ? "STOPPING"
                                                  : "RUN");
            break;
        default:  // QnData
            context.answer(qnCountsAnswer(context));
            break;
    }
}

void RemoteCommands::runDiscriminator(const ScpiCommand& command, Context& context) {
    if (command.query) {
        if (!p_.units.discriminatorPresent()) {
            context.answerUnknown(QStringLiteral("no ZN-4 on the line"));
            return;
        }
        const Zn4Panel& panel = p_.discriminator;
        const int shown = command.id == DiscriminatorFunctionQuery ? panel.function()
                          : command.id == DiscriminatorAQuery      ? panel.channelA()
                                                                   : panel.channelB();
        context.answer(QByteArray::number(shown));
        return;
    }
    setDiscriminator(command.id, command.params.front(), context);
}

void RemoteCommands::setDiscriminator(int id, const ScpiParam& param, Context& context) {
    const bool function = id == DiscriminatorFunction;
    const int count = function ? Zn4Panel::functions : Zn4Panel::steps;
    const std::optional<int> value = intIn(param, 0, count - 1);
    if (!value) {
        context.refuse(scpierror::DataOutOfRange, QStringLiteral("0 to %1").arg(count - 1));
        return;
    }
    if (const QString why = discriminatorRefusal(); !why.isEmpty()) {
        context.refuse(scpierror::SettingsConflict, why);
        return;
    }
    Zn4Panel& panel = p_.discriminator;
    if (function) {
        panel.clickFunction(*value);
    } else if (id == DiscriminatorA) {
        panel.clickChannelA(*value);
    } else {
        panel.clickChannelB(*value);
    }
}

}  // namespace kr5
