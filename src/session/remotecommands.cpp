// The remote control's command table: one row a command, each with its handler. An
// action or a setting is a session intent; a query answers from the models.
#include "session/remotecommands.h"

#include "session/remotecontext.h"

namespace kr5 {

namespace {

QByteArray flag(bool on) {
    return on ? QByteArray("1") : QByteArray("0");
}

}  // namespace

// A field of the test details, as the window's field would take it (a string; a number or
// the date as text too).
template <QString TestDetailsFields::*Field>
void RemoteCommands::setDetail(RemoteCommands& self, const ScpiCommand& command, Context& context) {
    tell(self.p_.session.setTestDetail(Field, QString::fromUtf8(command.params.front().text)),
         context);
}

template <QString TestDetailsFields::*Field>
void RemoteCommands::answerDetail(RemoteCommands& self, const ScpiCommand&, Context& context) {
    context.answer(scpiString(TestDetailsForm::fieldsOf(self.p_.session.testDetails()).*Field));
}

const std::vector<RemoteCommands::Row>& RemoteCommands::rows() {
    using Self = RemoteCommands;
    using Command = ScpiCommand;
    using Ctx = Context;
    // Settings take one value; queries and actions none.
    constexpr bool value = true;
    constexpr bool none = false;
    static const std::vector<Row> table{
        {"*IDN?", none, [](Self& s, const Command&, Ctx& c) { c.answer(s.identity()); }},
        {"*CLS", none, [](Self&, const Command&, Ctx& c) { c.errors.clear(); }},
        // Every command is carried out before the next is read: nothing is ever pending.
        {"*OPC", none, [](Self&, const Command&, Ctx&) {}},
        {"*OPC?", none, [](Self&, const Command&, Ctx& c) { c.answer("1"); }},
        {"*WAI", none, [](Self&, const Command&, Ctx&) {}},
        {"*RST", none, [](Self& s, const Command&, Ctx&) { s.reset(); }},
        {"SYSTem:ERRor?", none, [](Self&, const Command&, Ctx& c) { c.answer(c.errors.next()); }},
        {"SYSTem:ERRor:NEXT?", none,
         [](Self&, const Command&, Ctx& c) { c.answer(c.errors.next()); }},

        {"MEASure:CHARge?", none,
         [](Self& s, const Command&, Ctx& c) { s.answerMeasured(Quantity::Charge, c); }},
        {"MEASure:RATE?", none,
         [](Self& s, const Command&, Ctx& c) { s.answerMeasured(Quantity::Rate, c); }},
        {"MEASure:VOLTage?", none,
         [](Self& s, const Command&, Ctx& c) { s.answerMeasured(Quantity::Voltage, c); }},
        {"MEASure:BACKground?", none,
         [](Self& s, const Command&, Ctx& c) { s.answerBackground(c); }},
        {"READ?", none, [](Self& s, const Command&, Ctx& c) { c.answer(s.readAnswer(c)); }},
        {"VQ:INCeption?", none,
         [](Self& s, const Command&, Ctx& c) { s.answerInception(true, c); }},
        {"VQ:EXTinction?", none,
         [](Self& s, const Command&, Ctx& c) { s.answerInception(false, c); }},
        {"TEST:VERDict?", none, [](Self& s, const Command&, Ctx& c) { s.answerVerdict(c); }},
        {"TEST:LEVel", value,
         [](Self& s, const Command& m, Ctx& c) {
             s.setAcceptance(AcceptanceField::TestKv, m.params.front(), c);
         }},
        {"TEST:LEVel?", none,
         [](Self& s, const Command&, Ctx& c) { s.answerAcceptance(AcceptanceField::TestKv, c); }},
        {"TEST:HOLD", value,
         [](Self& s, const Command& m, Ctx& c) {
             s.setAcceptance(AcceptanceField::HoldS, m.params.front(), c);
         }},
        {"TEST:HOLD?", none,
         [](Self& s, const Command&, Ctx& c) { s.answerAcceptance(AcceptanceField::HoldS, c); }},
        {"TEST:LIMit", value,
         [](Self& s, const Command& m, Ctx& c) {
             s.setAcceptance(AcceptanceField::PermissiblePc, m.params.front(), c);
         }},
        {"TEST:LIMit?", none,
         [](Self& s, const Command&, Ctx& c) {
             s.answerAcceptance(AcceptanceField::PermissiblePc, c);
         }},
        {"TEST:BACKground:THReshold", value,
         [](Self& s, const Command& m, Ctx& c) {
             s.setAcceptance(AcceptanceField::BackgroundKv, m.params.front(), c);
         }},
        {"TEST:BACKground:THReshold?", none,
         [](Self& s, const Command&, Ctx& c) {
             s.answerAcceptance(AcceptanceField::BackgroundKv, c);
         }},
        {"CALibration:CHARge", value,
         [](Self& s, const Command& m, Ctx& c) {
             tell(s.p_.session.setCalibrationCharge(QString::fromUtf8(m.params.front().text)), c);
         }},
        {"CALibration:CHARge?", none,
         [](Self& s, const Command&, Ctx& c) {
             const QString& pc = s.p_.session.calibrationCharge();
             pc.isEmpty() ? c.answerUnknown(QStringLiteral("no calibrator charge given"))
                          : c.answer(scpiNumber(pc.toDouble()));
         }},
        {"CALibration:STARt", none,
         [](Self& s, const Command&, Ctx& c) { tell(s.p_.session.startCalibration(), c); }},
        {"CALibration:PROPosal?", none,
         [](Self& s, const Command&, Ctx& c) { s.answerCalibrationProposal(c); }},
        {"CALibration:ACCept", none,
         [](Self& s, const Command&, Ctx& c) { tell(s.p_.session.acceptCalibration(), c); }},
        {"CALibration:RECord?", none,
         [](Self& s, const Command&, Ctx& c) { s.answerCalibrationRecord(c); }},
        {"MEASure:BACKground:STARt", none,
         [](Self& s, const Command&, Ctx& c) { tell(s.p_.session.startBackground(), c); }},
        {"TEST:DETails:OBJect", value, &Self::setDetail<&TestDetailsFields::objectId>},
        {"TEST:DETails:OBJect?", none, &Self::answerDetail<&TestDetailsFields::objectId>},
        {"TEST:DETails:TYPE", value, &Self::setDetail<&TestDetailsFields::objectType>},
        {"TEST:DETails:TYPE?", none, &Self::answerDetail<&TestDetailsFields::objectType>},
        {"TEST:DETails:RATing", value, &Self::setDetail<&TestDetailsFields::objectRating>},
        {"TEST:DETails:RATing?", none, &Self::answerDetail<&TestDetailsFields::objectRating>},
        {"TEST:DETails:CUSTomer", value, &Self::setDetail<&TestDetailsFields::customer>},
        {"TEST:DETails:CUSTomer?", none, &Self::answerDetail<&TestDetailsFields::customer>},
        {"TEST:DETails:OPERator", value, &Self::setDetail<&TestDetailsFields::operatorName>},
        {"TEST:DETails:OPERator?", none, &Self::answerDetail<&TestDetailsFields::operatorName>},
        {"TEST:DETails:STANdard", value, &Self::setDetail<&TestDetailsFields::standard>},
        {"TEST:DETails:STANdard?", none, &Self::answerDetail<&TestDetailsFields::standard>},
        {"TEST:DETails:CAPacitance", value,
         &Self::setDetail<&TestDetailsFields::couplingCapacitancePf>},
        {"TEST:DETails:CAPacitance?", none,
         &Self::answerDetail<&TestDetailsFields::couplingCapacitancePf>},
        {"TEST:DETails:IMPedance", value, &Self::setDetail<&TestDetailsFields::measuringImpedance>},
        {"TEST:DETails:IMPedance?", none,
         &Self::answerDetail<&TestDetailsFields::measuringImpedance>},
        {"TEST:DETails:FREQuency", value, &Self::setDetail<&TestDetailsFields::supplyFrequencyHz>},
        {"TEST:DETails:FREQuency?", none,
         &Self::answerDetail<&TestDetailsFields::supplyFrequencyHz>},
        {"TEST:DETails:CALibrator", value, &Self::setDetail<&TestDetailsFields::calibratorId>},
        {"TEST:DETails:CALibrator?", none, &Self::answerDetail<&TestDetailsFields::calibratorId>},
        {"TEST:DETails:CHECked", value, &Self::setDetail<&TestDetailsFields::calibratorCheckedOn>},
        {"TEST:DETails:CHECked?", none,
         &Self::answerDetail<&TestDetailsFields::calibratorCheckedOn>},
        {"TEST:DETails:NOTes", value, &Self::setDetail<&TestDetailsFields::notes>},
        {"TEST:DETails:NOTes?", none, &Self::answerDetail<&TestDetailsFields::notes>},
        {"REPort", value,
         [](Self& s, const Command& m, Ctx& c) { s.writeReport(m.params.front(), c); }},
        {"TEST:RESTart", none,
         [](Self& s, const Command&, Ctx& c) { tell(s.p_.session.restartAcceptance(), c); }},
        {"TEST:STATus?", none,
         [](Self& s, const Command&, Ctx& c) {
             c.answer(scpiString(s.p_.acceptance.statusText()));
         }},

        {"SENSe:ATTenuator", value,
         [](Self& s, const Command& m, Ctx& c) { s.setRange(true, m.params.front(), c); }},
        {"SENSe:ATTenuator?", none,
         [](Self& s, const Command&, Ctx& c) {
             c.answer(QByteArray::number(s.p_.panel.attenuatorButton()));
         }},
        {"SENSe:ATTenuator:AUTO?", none,
         [](Self& s, const Command&, Ctx& c) { c.answer(flag(s.p_.panel.autoAttenuator())); }},
        {"SENSe:RATE", value,
         [](Self& s, const Command& m, Ctx& c) { s.setRange(false, m.params.front(), c); }},
        {"SENSe:RATE?", none,
         [](Self& s, const Command&, Ctx& c) {
             c.answer(QByteArray::number(s.p_.panel.rateButton()));
         }},
        {"SENSe:RATE:AUTO?", none,
         [](Self& s, const Command&, Ctx& c) { c.answer(flag(s.p_.panel.autoRate())); }},
        {"CONTrol:REMote", value,
         [](Self& s, const Command& m, Ctx& c) { s.setRemote(m.params.front(), c); }},
        {"CONTrol:REMote?", none,
         [](Self& s, const Command&, Ctx& c) { c.answer(flag(s.p_.panel.remote())); }},
        {"CONFigure:SAMPle", value,
         [](Self& s, const Command& m, Ctx& c) { s.setSampleTime(m.params.front(), c); }},
        {"CONFigure:SAMPle?", none,
         [](Self& s, const Command&, Ctx& c) {
             c.answer(QByteArray::number(s.p_.settings.sampleMs));
         }},

        {"CONFigure:NAME", value,
         [](Self& s, const Command& m, Ctx& c) { s.setTestName(m.params.front(), c); }},
        {"CONFigure:NAME?", none,
         [](Self& s, const Command&, Ctx& c) {
             c.answer(scpiString(s.p_.constants.constants().name));
         }},
        {"RECord:FILE", value,
         [](Self& s, const Command& m, Ctx& c) { s.openFile(m.params.front(), c); }},
        {"RECord:FILE?", none,
         [](Self& s, const Command&, Ctx& c) {
             const RecorderView& recorder = s.p_.recorder;
             c.answer(scpiString(recorder.filePrepared() ? recorder.filePath() : QString()));
         }},
        {"RECord:STATe", value,
         [](Self& s, const Command& m, Ctx& c) { s.setRecordState(m.params.front(), c); }},
        // ",WAIT" follows while rows wait for a disk with room: the file is behind.
        {"RECord:STATe?", none,
         [](Self& s, const Command&, Ctx& c) {
             QByteArray state = !s.p_.session.filePrepared() ? "CLOS"
                                : s.p_.session.recording()   ? "ON"
                                                             : "PAUS";
             c.answer(s.p_.recorder.waitingRows() > 0 ? state + ",WAIT" : state);
         }},
        // The rows in the file; those waiting for a disk with room are counted apart.
        {"RECord:COUNt?", none,
         [](Self& s, const Command&, Ctx& c) {
             c.answer(QByteArray::number(s.p_.recorder.rowsOnDisk()));
         }},
        {"RECord:WAITing?", none,
         [](Self& s, const Command&, Ctx& c) {
             c.answer(QByteArray::number(s.p_.recorder.waitingRows()));
         }},

        {"QN:STARt", none,
         [](Self& s, const Command&, Ctx& c) { tell(s.p_.session.startQn(), c); }},
        // As the menu's second click: the pass under way is completed first.
        {"QN:STOP", none, [](Self& s, const Command&, Ctx& c) { tell(s.p_.session.stopQn(), c); }},
        {"QN:STATe?", none,
         [](Self& s, const Command&, Ctx& c) {
             c.answer(!s.p_.session.qnRunning()   ? "IDLE"
                      : s.p_.session.qnStopping() ? "STOPPING"
                                                  : "RUN");
         }},
        {"QN:DATA?", none, [](Self& s, const Command&, Ctx& c) { c.answer(s.qnCountsAnswer(c)); }},
        {"QN:GATE", value,
         [](Self& s, const Command& m, Ctx& c) {
             s.setQnOption(OptionsForm::GateTimeOptions, m.params.front(), c);
         }},
        {"QN:GATE?", none,
         [](Self& s, const Command&, Ctx& c) {
             c.answer(QByteArray::number(s.p_.settings.gateTimeMs));
         }},
        {"QN:PASSes", value,
         [](Self& s, const Command& m, Ctx& c) {
             s.setQnOption(OptionsForm::QnPassesOptions, m.params.front(), c);
         }},
        {"QN:PASSes?", none,
         [](Self& s, const Command&, Ctx& c) {
             const qint32 passes = s.p_.settings.qnPasses;
             c.answer(passes < 0 ? QByteArray("NST") : QByteArray::number(passes));
         }},
        // Of the last pass and of the block: "<last>,<block>".
        {"QN:QM?", none, [](Self& s, const Command&, Ctx& c) { s.answerQm(false, c); }},
        {"QN:NQN?", none, [](Self& s, const Command&, Ctx& c) { s.answerQm(true, c); }},

        // The results store: how many tests it holds, and the last one this bay stored.
        {"RESults:COUNt?", none,
         [](Self& s, const Command&, Ctx& c) { s.answerResults(false, c); }},
        {"RESults:LAST?", none, [](Self& s, const Command&, Ctx& c) { s.answerResults(true, c); }},

        {"ZN:FUNCtion", value,
         [](Self& s, const Command& m, Ctx& c) {
             s.setDiscriminator(Session::DiscriminatorSetting::Function, m.params.front(), c);
         }},
        {"ZN:FUNCtion?", none,
         [](Self& s, const Command&, Ctx& c) {
             s.answerDiscriminator(s.p_.discriminator.function(), c);
         }},
        {"ZN:ATTenuator:A", value,
         [](Self& s, const Command& m, Ctx& c) {
             s.setDiscriminator(Session::DiscriminatorSetting::ChannelA, m.params.front(), c);
         }},
        {"ZN:ATTenuator:A?", none,
         [](Self& s, const Command&, Ctx& c) {
             s.answerDiscriminator(s.p_.discriminator.channelA(), c);
         }},
        {"ZN:ATTenuator:B", value,
         [](Self& s, const Command& m, Ctx& c) {
             s.setDiscriminator(Session::DiscriminatorSetting::ChannelB, m.params.front(), c);
         }},
        {"ZN:ATTenuator:B?", none,
         [](Self& s, const Command&, Ctx& c) {
             s.answerDiscriminator(s.p_.discriminator.channelB(), c);
         }},
    };
    return table;
}

RemoteCommands::RemoteCommands(const Parts& parts) : p_(parts) {
    const std::vector<Row>& table = rows();
    for (size_t i = 0; i < table.size(); ++i) {
        table_.add(int(i), table[i].header);
    }
}

QByteArray RemoteCommands::execute(const QByteArray& line, ScpiErrorQueue& errors) {
    Context context{errors, {}};
    for (const ScpiCommand& command : table_.parseLine(line)) {
        if (command.error != scpierror::NoError) {
            errors.push(command.error);
            break;
        }
        const Row& row = rows()[size_t(command.id)];
        const qsizetype wanted = row.takesValue ? 1 : 0;
        if (command.params.size() > wanted) {
            errors.push(scpierror::ParameterNotAllowed);
            break;
        }
        if (command.params.size() < wanted) {
            errors.push(scpierror::MissingParameter);
            break;
        }
        const bool common = command.header.startsWith('*');
        if (const QString why = p_.session.settingRefusal();
            !command.query && !common && !why.isEmpty()) {
            context.refuse(scpierror::SettingsConflict, why);
            continue;
        }
        row.handler(*this, command, context);
    }
    return context.replies.join(';');
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
