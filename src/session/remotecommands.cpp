#include "session/remotecommands.h"

#include "session/remotecontext.h"

namespace kr5 {

RemoteCommands::RemoteCommands(const Parts& parts) : p_(parts) {
    declare();
}

void RemoteCommands::declare() {
    const std::initializer_list<std::pair<Id, const char*>> headers = {
        {Idn, "*IDN?"},
        {Cls, "*CLS"},
        {Opc, "*OPC"},
        {OpcQuery, "*OPC?"},
        {Wai, "*WAI"},
        {Rst, "*RST"},
        {SystemError, "SYSTem:ERRor?"},
        {SystemError, "SYSTem:ERRor:NEXT?"},
        {MeasureCharge, "MEASure:CHARge?"},
        {MeasureRate, "MEASure:RATE?"},
        {MeasureVoltage, "MEASure:VOLTage?"},
        {MeasureBackground, "MEASure:BACKground?"},
        {Read, "READ?"},
        {Attenuator, "SENSe:ATTenuator"},
        {AttenuatorQuery, "SENSe:ATTenuator?"},
        {AttenuatorAutoQuery, "SENSe:ATTenuator:AUTO?"},
        {Rate, "SENSe:RATE"},
        {RateQuery, "SENSe:RATE?"},
        {RateAutoQuery, "SENSe:RATE:AUTO?"},
        {Remote, "CONTrol:REMote"},
        {RemoteQuery, "CONTrol:REMote?"},
        {Sample, "CONFigure:SAMPle"},
        {SampleQuery, "CONFigure:SAMPle?"},
        {Name, "CONFigure:NAME"},
        {NameQuery, "CONFigure:NAME?"},
        {RecordFile, "RECord:FILE"},
        {RecordFileQuery, "RECord:FILE?"},
        {RecordState, "RECord:STATe"},
        {RecordStateQuery, "RECord:STATe?"},
        {RecordCount, "RECord:COUNt?"},
        {Inception, "VQ:INCeption?"},
        {Extinction, "VQ:EXTinction?"},
        {QnStart, "QN:STARt"},
        {QnStop, "QN:STOP"},
        {QnState, "QN:STATe?"},
        {QnData, "QN:DATA?"},
        {DiscriminatorFunction, "ZN:FUNCtion"},
        {DiscriminatorFunctionQuery, "ZN:FUNCtion?"},
        {DiscriminatorA, "ZN:ATTenuator:A"},
        {DiscriminatorAQuery, "ZN:ATTenuator:A?"},
        {DiscriminatorB, "ZN:ATTenuator:B"},
        {DiscriminatorBQuery, "ZN:ATTenuator:B?"},
        {Verdict, "TEST:VERDict?"},
        {TestStatus, "TEST:STATus?"},
    };
    for (const auto& [id, header] : headers) {
        table_.add(id, header);
    }
}

QByteArray RemoteCommands::execute(const QByteArray& line, ScpiErrorQueue& errors) {
    Context context{errors, {}};
    for (const ScpiCommand& command : table_.parseLine(line)) {
        if (command.error != scpierror::NoError) {
            errors.push(command.error);
            break;
        }
        const qsizetype wanted = takesValue(command) ? 1 : 0;
        if (command.params.size() > wanted) {
            errors.push(scpierror::ParameterNotAllowed);
            break;
        }
        if (command.params.size() < wanted) {
            errors.push(scpierror::MissingParameter);
            break;
        }
        run(command, context);
    }
    return context.replies.join(';');
}

// Every setting takes one value; queries and actions take none.
bool RemoteCommands::takesValue(const ScpiCommand& command) {
    if (command.query) {
        return false;
    }
    switch (command.id) {
        case Cls:
        case Opc:
        case Wai:
        case Rst:
        case QnStart:
        case QnStop:
            return false;
        default:
            return true;
    }
}

void RemoteCommands::takeReading(const Reading& reading) {
    if (reading.isQnStep()) {
        return;
    }
    latest_ = reading;
    if (pauseWhenQnEnds_ && !p_.session.qnRunning()) {
        // The first normal reading after the Q-N measurement *RST ended: its end marker is
        // written, and the recording can pause as the PAUSE button would now.
        pauseWhenQnEnds_ = false;
        p_.session.pauseRecording();
    }
}

void RemoteCommands::run(const ScpiCommand& command, Context& context) {
    const bool common = command.header.startsWith('*');
    if (const QString why = p_.session.settingRefusal();
        !command.query && !common && !why.isEmpty()) {
        context.refuse(scpierror::SettingsConflict, why);
        return;
    }
    switch (command.id) {
        case Idn:
        case Cls:
        case Opc:
        case OpcQuery:
        case Wai:
        case Rst:
        case SystemError:
            runCommon(command, context);
            break;
        case MeasureCharge:
        case MeasureRate:
        case MeasureVoltage:
        case MeasureBackground:
        case Read:
        case Inception:
        case Extinction:
        case Verdict:
        case TestStatus:
            runMeasure(command, context);
            break;
        case RecordFile:
        case RecordFileQuery:
        case RecordState:
        case RecordStateQuery:
        case RecordCount:
        case Name:
        case NameQuery:
            runRecord(command, context);
            break;
        case QnStart:
        case QnStop:
        case QnState:
        case QnData:
            runQn(command, context);
            break;
        case DiscriminatorFunction:
        case DiscriminatorFunctionQuery:
        case DiscriminatorA:
        case DiscriminatorAQuery:
        case DiscriminatorB:
        case DiscriminatorBQuery:
            runDiscriminator(command, context);
            break;
        default:
            runSense(command, context);
            break;
    }
}

void RemoteCommands::runCommon(const ScpiCommand& command, Context& context) {
    switch (command.id) {
        case Idn:
            context.answer(identity());
            break;
        case Cls:
            context.errors.clear();
            break;
        case OpcQuery:
            // Every command is carried out before the next is read.
            context.answer("1");
            break;
        case Rst:
            reset();
            break;
        case SystemError:
            context.answer(context.errors.next());
            break;
        default:
            break;  // *OPC, *WAI: nothing is ever left pending
    }
}

QByteArray RemoteCommands::identity() const {
    QByteArray ident = p_.units.unit(UnitKind::Detector).ident.toUtf8();
    // The four fields are separated by commas; the unit's own text must not add one.
    ident.replace(',', ' ');
    if (ident.trimmed().isEmpty()) {
        ident = "0";
    }
    return "KR5AU,KR-5," + ident.trimmed() + ',' + p_.programVersion.toUtf8();
}

void RemoteCommands::reset() {
    // As the operator would: Q-N ends after its pass, the recording pauses (the file stays
    // whole and prepared), and the charts start afresh. The recording frame is locked
    // during a Q-N measurement, whose end marker is still to come: it pauses after.
    if (p_.session.qnRunning()) {
        p_.session.stopQn();
        pauseWhenQnEnds_ = true;
        return;
    }
    p_.session.clearCharts();
    if (p_.session.recording()) {
        p_.session.pauseRecording();
    }
}

}  // namespace kr5
