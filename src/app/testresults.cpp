#include "testresults.h"

#include "app/reportcommand.h"
#include "modes/summary.h"
#include "modes/testvoltagecurve.h"
#include "results/storedtest.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace kr5 {

QJsonObject TestResults::summaryOf(const FileTally& file) const {
    const InputConstants& constants = p_.constants;
    SummaryParts parts(constants, file.tally, p_.inception);
    parts.measurementFile = QFileInfo(file.path).fileName();
    parts.programVersion = QCoreApplication::applicationVersion();
    parts.start = file.tally.openedAt();
    parts.end = p_.clock.localTime();
    parts.rows = file.rows;
    parts.backgroundPc = p_.background.level();
    parts.backgroundThresholdKv = p_.background.thresholdVolts() / 1000.0;
    parts.backgroundOffPc = p_.background.switchedOffPc();
    parts.backgroundOffAt = p_.background.switchedOffAt();
    parts.detectorIdent = p_.units.unit(UnitKind::Detector).ident;
    parts.acIdent = p_.units.unit(UnitKind::AcUnit).ident;
    if (p_.units.discriminatorPresent()) {
        parts.discriminatorIdent = p_.units.unit(UnitKind::NoiseDiscriminator).ident;
        parts.discriminator = p_.engine.discriminator().state();
    }
    parts.details = p_.details;
    if (const QmTracker& qm = p_.engine.qn().qm(); qm.passesInBlock() > 0) {
        parts.qmLastPass = qm.lastPass(constants.adjust).text();
        parts.qmBlock = qm.block(constants.adjust).text();
        parts.qmPassesInBlock = qm.passesInBlock();
        parts.nqnLastPass = qm.lastPassNqn(constants.adjust);
        parts.nqnBlock = qm.blockNqn(constants.adjust);
    }
    if (const auto& record = p_.calibration.record()) {
        parts.calibration = calibrationObject(*record, constants);
    }
    parts.acceptance = acceptanceObject(p_.acceptance);
    return summaryObject(parts);
}

QString TestResults::writeSummary(const FileTally& file) const {
    QString problem;
    if (kr5::writeSummary(p_.files, file.path, summaryOf(file), &problem)) {
        return {};
    }
    return QStringLiteral(
               "The summary %1 could not be written (%2); the measurement file is "
               "complete.")
        .arg(summaryPath(file.path), problem);
}

QString TestResults::reportedMeasurement() const {
    if (p_.openedTest.isOpen()) {
        return p_.openedTest.path();
    }
    return p_.engine.recorder().filePrepared() ? QString() : p_.engine.file().path;
}

QString TestResults::writeReport(const QString& path) const {
    const QDateTime now = p_.clock.localTime();
    const FileTally& file = p_.engine.file();
    QString problem;
    if (!p_.openedTest.isOpen() && !p_.engine.recorder().filePrepared() && !file.path.isEmpty()) {
        // The test is the file just closed: its rows and its summary, not what the line
        // showed after it.
        return writeReportOfFile(file.path, path, p_.dialogs, p_.clock, &problem) ? QString()
                                                                                  : problem;
    }
    ReportContent content;
    if (p_.openedTest.isOpen()) {
        content = reportOfOpenedTest(p_.openedTest, p_.charts, now);
    } else {
        content.summary = summaryOf(file);
        content.programVersion = QCoreApplication::applicationVersion();
        content.printedAt = now;
        content.qnCounts = p_.engine.qn().qm().blockPasses();
        content.adjust = p_.constants.adjust;
        content.voltage = voltageCurveOf(p_.history, file.tally.openedAt());
        content.measurementSha256 = file.path.isEmpty() ? QString() : fileSha256(file.path);
        takeChartPictures(p_.charts, content);
    }
    return kr5::writeReport(content, path, &problem) ? QString() : problem;
}

}  // namespace kr5
