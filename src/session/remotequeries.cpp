// The remote control's answers from the readings: the present charge, rate and voltage,
// READ?, the inception and extinction voltages, the background, the verdict and the Q-N
// counts.
#include "session/remotecommands.h"
#include "session/remotecontext.h"

#include <QStringList>

namespace kr5 {

const char* const RemoteCommands::kNotANumber = "9.91E37";

namespace {

QByteArray kilovolts(double volts) {
    return scpiNumber(volts / 1000.0);
}

// The units whose reply the reading lacks, by name; empty when every unit on the line
// answered.
QStringList unitsSilent(const Reading& r) {
    QStringList silent;
    if (!r.detectorAnswered()) {
        silent << QStringLiteral("KR-5");
    }
    if (r.acPresent && !r.acAnswered()) {
        silent << QStringLiteral("ACU");
    }
    if (r.noisePresent && !r.noise) {
        silent << QStringLiteral("ZN-4");
    }
    return silent;
}

}  // namespace

const Reading* RemoteCommands::presentReading(QString* why) const {
    if (!latest_) {
        *why = QStringLiteral("no reading yet");
        return nullptr;
    }
    const qint64 ageMs = p_.clock.nowMs() - latest_->takenAtMs;
    if (ageMs > kStaleMs) {
        *why = QStringLiteral("no reading for %1 s").arg(ageMs / 1000);
        return nullptr;
    }
    return &*latest_;
}

void RemoteCommands::answerMeasured(Quantity quantity, Context& context) const {
    QString why;
    const Reading* r = presentReading(&why);
    if (r != nullptr && quantity == Quantity::Voltage) {
        // Without the unit the test voltage is not measured; 0 would be a false reading.
        why = !r->acPresent      ? QStringLiteral("no AC voltage unit on the line")
              : !r->acAnswered() ? QStringLiteral("no reply from the ACU")
                                 : QString();
    } else if (r != nullptr && !r->detectorAnswered()) {
        why = QStringLiteral("no reply from the KR-5");
    }
    if (!why.isEmpty()) {
        context.answerUnknown(why);
        return;
    }
    context.answer(quantity == Quantity::Charge ? scpiNumber(r->charge)
                   : quantity == Quantity::Rate ? scpiNumber(r->pulseRate)
                                                : kilovolts(r->testVoltage));
}

// charge pC, rate P.P.S., voltage kV, attenuator range, rate range, "units", "time".
QByteArray RemoteCommands::readAnswer(Context& context) const {
    QString why;
    const Reading* r = presentReading(&why);
    if (r == nullptr) {
        context.refuse(scpierror::DataStale, why);
        return QList<QByteArray>(5, QByteArray(kNotANumber)).join(',') + ',' + scpiString(why) +
               ",\"\"";
    }
    const bool detector = r->detectorAnswered();
    const bool voltage = r->acPresent && r->acAnswered();
    const QByteArray unknown(kNotANumber);
    QList<QByteArray> fields{
        detector ? scpiNumber(r->charge) : unknown,
        detector ? scpiNumber(r->pulseRate) : unknown,
        voltage ? kilovolts(r->testVoltage) : unknown,
        detector ? QByteArray::number(r->attRange) : unknown,
        detector ? QByteArray::number(r->rateRange) : unknown,
    };
    const QStringList silent = unitsSilent(*r);
    fields << scpiString(silent.isEmpty() ? QStringLiteral("OK")
                                          : QStringLiteral("no reply: ") + silent.join(", "));
    const QDateTime taken = p_.clock.localTime().addMSecs(r->takenAtMs - p_.clock.nowMs());
    fields << scpiString(taken.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")));
    if (!silent.isEmpty()) {
        context.refuse(scpierror::DataStale, QStringLiteral("no reply from ") + silent.join(", "));
    } else if (!r->acPresent) {
        context.refuse(scpierror::DataStale, QStringLiteral("no AC voltage unit on the line"));
    }
    return fields.join(',');
}

QByteArray RemoteCommands::qnCountsAnswer(Context& context) const {
    const QnRates& rates = p_.qn.qm().lastPassRates();
    QList<QByteArray> fields;
    int missing = 0;
    for (const std::optional<double>& rate : rates) {
        fields << (rate ? scpiNumber(*rate) : QByteArray(kNotANumber));
        missing += rate ? 0 : 1;
    }
    if (missing == int(rates.size())) {
        context.refuse(scpierror::DataStale, QStringLiteral("no Q-N pass yet"));
    } else if (missing > 0) {
        context.refuse(scpierror::DataStale,
                       QStringLiteral("%1 ranges of the last pass without a count").arg(missing));
    }
    return fields.join(',');
}

void RemoteCommands::answerQm(bool nqn, Context& context) const {
    const QmTracker& qm = p_.qn.qm();
    const double adjust = p_.constants.constants().adjust;
    const auto qmPc = [](const Qm& q) {
        return q.where == Qm::Where::Found ? std::optional(q.pC) : std::nullopt;
    };
    const std::optional<double> figures[] = {
        nqn ? qm.lastPassNqn(adjust) : qmPc(qm.lastPass(adjust)),
        nqn ? qm.blockNqn(adjust) : qmPc(qm.block(adjust)),
    };
    QList<QByteArray> fields;
    for (const std::optional<double>& figure : figures) {
        fields << (figure ? scpiNumber(*figure) : QByteArray(kNotANumber));
    }
    if (!figures[0] || !figures[1]) {
        const Qm last = qm.lastPass(adjust);
        QString why = QStringLiteral("a range without a count");
        if (last.where == Qm::Where::NoCounts) {
            why = QStringLiteral("no Q-N pass yet");
        } else if (!nqn) {
            why = QStringLiteral("Qm of the last pass: %1; of the block: %2")
                      .arg(last.text(), qm.block(adjust).text());
        }
        context.refuse(scpierror::DataStale, why);
    }
    context.answer(fields.join(','));
}

// "<Adjust pC/V>,<mean raw V>,<spread V>,\"<warnings>\"" of the average under way or done.
void RemoteCommands::answerCalibrationProposal(Context& context) const {
    const Calibration& calibration = p_.calibration;
    const std::optional<PeakAverage>& first = calibration.first();
    if (!calibration.proposal() || !first) {
        context.answerUnknown(calibration.averaging() ? QStringLiteral("averaging")
                                                      : QStringLiteral("no proposal"));
        return;
    }
    context.answer(scpiNumber(*calibration.proposal()) + ',' + scpiNumber(first->meanV) + ',' +
                   scpiNumber(first->spreadV) + ',' + scpiString(calibration.warningText()));
}

// "<ISO time>,<q0 pC>,<range>,<mean raw V>,<Adjust>,<linearity %>" of the calibration in force.
void RemoteCommands::answerCalibrationRecord(Context& context) const {
    const std::optional<CalibrationRecord>& r = p_.calibration.record();
    if (!r) {
        context.answerUnknown(QStringLiteral("no calibration accepted"));
        return;
    }
    const QByteArray linearity =
        r->linearityPercent ? scpiNumber(*r->linearityPercent) : QByteArray(kNotANumber);
    context.answer(scpiString(r->at.toString(Qt::ISODate)) + ',' + scpiNumber(r->q0Pc) + ',' +
                   QByteArray::number(r->attRange) + ',' + scpiNumber(r->meanRawPeakV) + ',' +
                   scpiNumber(r->adjust) + ',' + linearity);
}

void RemoteCommands::answerBackground(Context& context) const {
    if (const auto level = p_.background.level()) {
        context.answer(scpiNumber(*level));
    } else {
        context.answerUnknown(QStringLiteral("no background measured"));
    }
}

void RemoteCommands::answerInception(bool inception, Context& context) const {
    const auto volts = inception ? p_.inception.inceptionVolts() : p_.inception.extinctionVolts();
    if (volts) {
        context.answer(kilovolts(*volts));
    } else {
        context.answerUnknown(inception ? QStringLiteral("no inception found")
                                        : QStringLiteral("no extinction found"));
    }
}

void RemoteCommands::answerVerdict(Context& context) const {
    const QString verdict = p_.acceptance.verdictText();
    context.answer(verdict.isEmpty() ? QByteArray("NONE") : verdict.toUtf8());
}

void RemoteCommands::answerResults(bool last, Context& context) const {
    const StoreFacts facts = p_.resultsFacts ? p_.resultsFacts() : StoreFacts{};
    if (facts.count < 0) {
        context.answerUnknown(
            facts.problem.isEmpty()
                ? QStringLiteral("the results store has not been read yet")
                : QStringLiteral("the results store cannot be read: %1").arg(facts.problem));
        return;
    }
    if (!last) {
        context.answer(QByteArray::number(facts.count));
        return;
    }
    if (facts.lastId.isEmpty()) {
        context.answerUnknown(QStringLiteral("no test stored by this bay yet"));
        return;
    }
    // A figure the test does not have is not-a-number, without an error: the test is whole.
    const auto figure = [](const QVariant& v, double scale) {
        return v.isNull() ? QByteArray(kNotANumber) : scpiNumber(v.toDouble() * scale);
    };
    const QList<QByteArray> fields{
        scpiString(facts.lastId),
        facts.lastVerdict.isEmpty() ? QByteArray("NONE") : facts.lastVerdict.toUtf8(),
        figure(facts.largestChargePc, 1.0),
        figure(facts.inceptionV, 0.001),
        figure(facts.extinctionV, 0.001),
        figure(facts.qmBlockPc, 1.0),
        figure(facts.nqnBlock, 1.0)};
    context.answer(fields.join(','));
}

void RemoteCommands::answerDiscriminator(int shown, Context& context) const {
    if (!p_.units.discriminatorPresent()) {
        context.answerUnknown(QStringLiteral("no ZN-4 on the line"));
        return;
    }
    context.answer(QByteArray::number(shown));
}

}  // namespace kr5
