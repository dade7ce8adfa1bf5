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

void RemoteCommands::setAcceptance(AcceptanceField field, const ScpiParam& param,
                                   Context& context) {
    tell(p_.session.setAcceptance(field, QString::fromUtf8(param.text)), context);
}

void RemoteCommands::answerAcceptance(AcceptanceField field, Context& context) const {
    const QString text = fieldText(p_.session.acceptanceSetup(), field);
    if (text.isEmpty()) {
        context.answerUnknown(QStringLiteral("no acceptance test is set"));
    } else {
        context.answer(scpiNumber(text.toDouble()));
    }
}

void RemoteCommands::setQnOption(OptionsForm::Group group, const ScpiParam& param,
                                 Context& context) {
    if (const Outcome refused = p_.session.mayChangeQnSetup(); !refused) {
        tell(refused, context);
        return;
    }
    const bool gate = group == OptionsForm::GateTimeOptions;
    const std::optional<int> value =
        !gate && word(param, {"NSTop"}) ? std::optional(-1) : intIn(param, 0, 100000);
    if (!value || !p_.options.setOption(group, *value)) {
        context.refuse(scpierror::DataOutOfRange, gate ? QStringLiteral("100, 200, 500 or 1000 ms")
                                                       : QStringLiteral("5 to 30 by 5, or NSTop"));
    }
}

// The report the window writes; an existing file is never replaced from afar.
void RemoteCommands::writeReport(const ScpiParam& param, Context& context) {
    if (param.kind != ScpiParam::Kind::String) {
        context.refuse(scpierror::DataType, QStringLiteral("the report's path in quotes"));
        return;
    }
    const QString path = QString::fromUtf8(param.text);
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        context.refuse(scpierror::Execution, QStringLiteral("%1 exists").arg(path));
        return;
    }
    const QString problem =
        p_.writeReport ? p_.writeReport(path) : QStringLiteral("no report can be made");
    if (!problem.isEmpty()) {
        context.refuse(scpierror::Execution, problem);
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

void RemoteCommands::setDiscriminator(Session::DiscriminatorSetting setting, const ScpiParam& param,
                                      Context& context) {
    const bool function = setting == Session::DiscriminatorSetting::Function;
    const int count = function ? Zn4Panel::functions : Zn4Panel::steps;
    const std::optional<int> value = intIn(param, 0, count - 1);
    if (!value) {
        context.refuse(scpierror::DataOutOfRange, QStringLiteral("0 to %1").arg(count - 1));
        return;
    }
    tell(p_.session.setDiscriminator(setting, *value), context);
}

}  // namespace kr5
