// The remote control's settings and actions: the ranges, REMOTE, the sample time, the
// test's name, the measurement file and its recording, the Q-N measurement and the
// noise discriminator. Each goes through the model the window's control uses, after the
// same checks that keep the control disabled.
#include "session/remotecommands.h"
#include "session/remotecontext.h"

#include <QFileInfo>

namespace kr5 {

// An intent's outcome as the client hears it: nothing when done, else its error.
void RemoteCommands::tell(const Outcome& outcome, Context& context) {
    switch (outcome.kind) {
        case Outcome::Kind::Done:
            return;
        case Outcome::Kind::Forbidden:
            context.refuse(scpierror::SettingsConflict, outcome.why);
            return;
        case Outcome::Kind::BadValue:
            context.refuse(scpierror::DataOutOfRange, outcome.why);
            return;
        case Outcome::Kind::Failed:
            context.refuse(scpierror::Execution, outcome.why);
            return;
    }
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

void RemoteCommands::setRange(bool attenuator, const ScpiParam& param, Context& context) {
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
    tell(p_.session.setRange(attenuator ? Session::Range::Attenuator : Session::Range::Rate,
                             autoWord ? std::nullopt : range),
         context);
}

void RemoteCommands::setRemote(const ScpiParam& param, Context& context) {
    const std::optional<bool> on = boolean(param);
    if (!on) {
        context.refuse(scpierror::DataOutOfRange, QStringLiteral("ON or OFF"));
        return;
    }
    tell(p_.session.setRemote(*on), context);
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
            context.answer(!p_.session.filePrepared() ? "CLOS"
                           : p_.session.recording()   ? "ON"
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
    tell(p_.session.setTestName(QString::fromUtf8(param.text)), context);
}

// File > Save with the name given instead of chosen; an existing file is never replaced
// from afar.
void RemoteCommands::openFile(const ScpiParam& param, Context& context) {
    if (param.kind != ScpiParam::Kind::String || param.text.isEmpty()) {
        context.refuse(scpierror::DataType, QStringLiteral("the file's path in quotes"));
        return;
    }
    tell(p_.session.prepareFileAt(QFileInfo(QString::fromUtf8(param.text)).absoluteFilePath()),
         context);
}

void RemoteCommands::setRecordState(const ScpiParam& param, Context& context) {
    const std::optional<int> state = word(param, {"ON", "PAUSe", "CLOSe"});
    if (!state) {
        context.refuse(scpierror::DataOutOfRange, QStringLiteral("ON, PAUSe or CLOSe"));
        return;
    }
    Session& session = p_.session;
    tell(*state == 0   ? session.recordOn()
         : *state == 1 ? session.pauseRecording()
                       : session.closeFile(),
         context);
}

void RemoteCommands::runQn(const ScpiCommand& command, Context& context) {
    switch (command.id) {
        case QnStart:
            tell(p_.session.startQn(), context);
            break;
        case QnStop:
            tell(p_.session.stopQn(), context);
            break;
        case QnState:
            context.answer(!p_.session.qnRunning()   ? "IDLE"
                           : p_.session.qnStopping() ? "STOPPING"
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
    const Session::DiscriminatorSetting setting = function ? Session::DiscriminatorSetting::Function
                                                  : id == DiscriminatorA
                                                      ? Session::DiscriminatorSetting::ChannelA
                                                      : Session::DiscriminatorSetting::ChannelB;
    tell(p_.session.setDiscriminator(setting, *value), context);
}

}  // namespace kr5
