#include "summary.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

namespace kr5 {

namespace {

QJsonValue orNull(std::optional<double> value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue orNull(const QJsonObject& object) {
    return object.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(object);
}

QJsonValue timeOrNull(const QDateTime& t) {
    return t.isValid() ? QJsonValue(t.toString(Qt::ISODate)) : QJsonValue(QJsonValue::Null);
}

QJsonObject constantsObject(const InputConstants& c) {
    return {{QStringLiteral("name"), c.name},
            {QStringLiteral("number"), c.number},
            {QStringLiteral("temperature"), c.temperature},
            {QStringLiteral("humidity"), c.humidity},
            {QStringLiteral("ptRatio"), c.ptRatio},
            {QStringLiteral("adjustPcPerV"), c.adjust},
            {QStringLiteral("setQIndex"), c.setQIndex},
            {QStringLiteral("startCount"), c.startCount},
            {QStringLiteral("stopCount"), c.stopCount}};
}

// Every pair found while the file was open, in part at least.
QJsonArray pairsArray(const SummaryParts& parts) {
    std::vector<InceptionDetector::Pair> kept;
    for (const InceptionDetector::Pair& p : parts.inception.pairs()) {
        const bool endedBefore = p.extinctionAt.isValid() && p.extinctionAt < parts.start;
        const bool startedAfter = parts.end.isValid() && p.inceptionAt > parts.end;
        if (!endedBefore && !startedAfter) {
            kept.push_back(p);
        }
    }
    return pairsJson(kept);
}

QJsonObject inceptionObject(const SummaryParts& parts) {
    const InceptionDetector& inception = parts.inception;
    return {{QStringLiteral("inceptionV"), orNull(inception.inceptionVolts())},
            {QStringLiteral("extinctionV"), orNull(inception.extinctionVolts())},
            {QStringLiteral("doubt"), inception.extinctionVolts() ? inception.doubt() : QString()},
            {QStringLiteral("pairs"), pairsArray(parts)}};
}

QJsonValue textOrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonObject instrumentsObject(const SummaryParts& parts) {
    return {{QStringLiteral("detector"), textOrNull(parts.detectorIdent)},
            {QStringLiteral("acUnit"), textOrNull(parts.acIdent)},
            {QStringLiteral("noiseDiscriminator"), textOrNull(parts.discriminatorIdent)}};
}

QString stepName(int step) {
    return QStringLiteral("1/%1").arg(attenuatorDivision(step));
}

QJsonValue discriminatorValue(const SummaryParts& parts) {
    if (!parts.discriminator) {
        return QJsonValue(QJsonValue::Null);
    }
    const Zn4State& zn = *parts.discriminator;
    return QJsonObject{{QStringLiteral("function"), Zn4Panel::functionName(zn.function)},
                       {QStringLiteral("channelA"), stepName(zn.channelA)},
                       {QStringLiteral("channelB"), stepName(zn.channelB)}};
}

QJsonObject backgroundObject(const SummaryParts& parts) {
    return {{QStringLiteral("levelPc"), orNull(parts.backgroundPc)},
            {QStringLiteral("belowKv"), parts.backgroundThresholdKv},
            {QStringLiteral("switchedOffPc"), orNull(parts.backgroundOffPc)},
            {QStringLiteral("switchedOffAt"), timeOrNull(parts.backgroundOffAt)}};
}

QJsonValue qmValue(const SummaryParts& parts) {
    if (parts.qmLastPass.isEmpty()) {
        return QJsonValue(QJsonValue::Null);
    }
    return QJsonObject{{QStringLiteral("lastPass"), parts.qmLastPass},
                       {QStringLiteral("block"), parts.qmBlock},
                       {QStringLiteral("passesInBlock"), parts.qmPassesInBlock}};
}

QJsonValue nqnValue(const SummaryParts& parts) {
    if (parts.qmLastPass.isEmpty()) {
        return QJsonValue(QJsonValue::Null);
    }
    return QJsonObject{{QStringLiteral("lastPass"), orNull(parts.nqnLastPass)},
                       {QStringLiteral("block"), orNull(parts.nqnBlock)}};
}

}  // namespace

QJsonArray pairsJson(const std::vector<InceptionDetector::Pair>& pairs) {
    QJsonArray array;
    for (const InceptionDetector::Pair& p : pairs) {
        array.append(QJsonObject{{QStringLiteral("inceptionV"), p.inceptionV},
                                 {QStringLiteral("extinctionV"), orNull(p.extinctionV)},
                                 {QStringLiteral("setQPc"), p.setQPc},
                                 {QStringLiteral("inceptionAt"), timeOrNull(p.inceptionAt)},
                                 {QStringLiteral("extinctionAt"), timeOrNull(p.extinctionAt)},
                                 {QStringLiteral("doubt"), p.doubt}});
    }
    return array;
}

void RecordingTally::fileOpened(const QDateTime& at) {
    openedAt_ = at;
    largestCharge_.reset();
    largestRate_.reset();
}

void RecordingTally::takeReading(const Reading& r) {
    // The same readings the recorder writes as rows, less the Q-N steps.
    if (r.isQnStep() || !r.complete() || !recording_ || !recording_()) {
        return;
    }
    largestCharge_ = std::max(largestCharge_.value_or(r.charge), r.charge);
    largestRate_ = std::max(largestRate_.value_or(r.pulseRate), r.pulseRate);
}

QJsonObject summaryObject(const SummaryParts& parts) {
    return {
        {QStringLiteral("program"), QStringLiteral("kr5au ") + parts.programVersion},
        {QStringLiteral("measurementFile"), parts.measurementFile},
        {QStringLiteral("start"), timeOrNull(parts.start)},
        {QStringLiteral("end"), timeOrNull(parts.end)},
        {QStringLiteral("rows"), parts.rows},
        {QStringLiteral("inputConstants"), constantsObject(parts.constants)},
        {QStringLiteral("calibration"), orNull(parts.calibration)},
        {QStringLiteral("background"), backgroundObject(parts)},
        {QStringLiteral("setQPc"), parts.constants.setQ},
        {QStringLiteral("inceptionExtinction"), inceptionObject(parts)},
        {QStringLiteral("acceptance"), orNull(parts.acceptance)},
        {QStringLiteral("largestChargePc"), orNull(parts.tally.largestChargePc())},
        {QStringLiteral("largestPulseRatePps"), orNull(parts.tally.largestRatePps())},
        {QStringLiteral("qm"), qmValue(parts)},
        {QStringLiteral("nqn"), nqnValue(parts)},
        {QStringLiteral("instruments"), instrumentsObject(parts)},
        {QStringLiteral("noiseDiscriminator"), discriminatorValue(parts)},
        {QStringLiteral("details"), detailsObject(parts.details)},
    };
}

QJsonObject detailsObject(const TestDetails& d) {
    return {
        {QStringLiteral("objectId"), d.objectId},
        {QStringLiteral("objectType"), d.objectType},
        {QStringLiteral("objectRating"), d.objectRating},
        {QStringLiteral("customer"), d.customer},
        {QStringLiteral("operator"), d.operatorName},
        {QStringLiteral("standard"), d.standard},
        {QStringLiteral("couplingCapacitancePf"), orNull(d.couplingCapacitancePf)},
        {QStringLiteral("measuringImpedance"), d.measuringImpedance},
        {QStringLiteral("supplyFrequencyHz"), orNull(d.supplyFrequencyHz)},
        {QStringLiteral("calibratorId"), d.calibratorId},
        {QStringLiteral("calibratorCheckedOn"),
         d.calibratorCheckedOn.isValid() ? QJsonValue(d.calibratorCheckedOn.toString(Qt::ISODate))
                                         : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("notes"), d.notes}};
}

TestDetails detailsOfSummary(const QJsonObject& summary) {
    const QJsonObject o = summary.value(QStringLiteral("details")).toObject();
    const auto text = [&o](const char* key) { return o.value(QLatin1String(key)).toString(); };
    const auto number = [&o](const char* key) {
        const QJsonValue v = o.value(QLatin1String(key));
        return v.isDouble() ? std::optional(v.toDouble()) : std::nullopt;
    };
    TestDetails d;
    d.objectId = text("objectId");
    d.objectType = text("objectType");
    d.objectRating = text("objectRating");
    d.customer = text("customer");
    d.operatorName = text("operator");
    d.standard = text("standard");
    d.couplingCapacitancePf = number("couplingCapacitancePf");
    d.measuringImpedance = text("measuringImpedance");
    d.supplyFrequencyHz = number("supplyFrequencyHz");
    d.calibratorId = text("calibratorId");
    d.calibratorCheckedOn = QDate::fromString(text("calibratorCheckedOn"), Qt::ISODate);
    d.notes = text("notes");
    return d;
}

QJsonObject calibrationObject(const CalibrationRecord& r, const InputConstants& constants) {
    return {{QStringLiteral("at"), timeOrNull(r.at)},
            {QStringLiteral("calibratorPc"), r.q0Pc},
            {QStringLiteral("range"), QStringLiteral("1/%1").arg(attenuatorDivision(r.attRange))},
            {QStringLiteral("meanRawPeakV"), r.meanRawPeakV},
            {QStringLiteral("adjustPcPerV"), r.adjust},
            {QStringLiteral("adjustInForce"), r.adjust == constants.adjust},
            {QStringLiteral("secondCalibratorPc"), orNull(r.secondQ0Pc)},
            {QStringLiteral("linearityPercent"), orNull(r.linearityPercent)}};
}

QJsonObject acceptanceObject(const AcceptanceTest& test) {
    const auto& limits = test.limits();
    if (!limits) {
        return {};
    }
    return {
        {QStringLiteral("testKv"), limits->testKv},
        {QStringLiteral("holdS"), limits->holdS},
        {QStringLiteral("permissiblePc"), limits->permissiblePc},
        {QStringLiteral("heldS"), test.heldS()},
        {QStringLiteral("largestPc"), orNull(test.largestPc())},
        {QStringLiteral("verdict"), test.verdictText().isEmpty() ? QJsonValue(QJsonValue::Null)
                                                                 : QJsonValue(test.verdictText())},
        {QStringLiteral("state"), test.statusText()},
        {QStringLiteral("backgroundWarning"), test.backgroundWarning()},
        {QStringLiteral("readingsWithoutVoltage"), test.readingsWithoutVoltage()},
        {QStringLiteral("readingsWithoutCharge"), test.readingsWithoutCharge()}};
}

QString summaryPath(const QString& measurementPath) {
    const QFileInfo info(measurementPath);
    const QString path = info.dir().filePath(info.completeBaseName() + QStringLiteral(".json"));
    // A measurement file named .json keeps its rows: the summary goes after its whole name.
    return path == measurementPath ? measurementPath + QStringLiteral(".json") : path;
}

bool writeSummary(Files& files, const QString& measurementPath, const QJsonObject& summary,
                  QString* problem) {
    return files.replace(summaryPath(measurementPath), QJsonDocument(summary).toJson(), problem);
}

}  // namespace kr5
