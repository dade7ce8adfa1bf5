// The summary of a measurement file: what the tally takes from the recorded readings, the
// content of the .json with and without the optional parts, where it goes, and that a
// summary that cannot be written whole leaves nothing behind.
#include "modes/summary.h"
#include "platform/qtfiles.h"
#include "platform/virtualclock.h"
#include "support/fakefiles.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

namespace kr5 {
namespace {

Reading reading(double charge, double rate, double volts,
                Reading::Kind kind = Reading::Kind::Cycle) {
    Reading r;
    r.kind = kind;
    r.detector = DetectorFields{};
    r.es = volts / 100.0;
    r.countRate = 0;
    r.charge = charge;
    r.rawPeak = charge;  // at the 1/1 range with Adjust 1
    r.pulseRate = rate;
    r.testVoltage = volts;
    return r;
}

class Summary : public ::testing::Test {
  protected:
    SummaryParts parts() {
        SummaryParts p(constants, tally, inception);
        p.measurementFile = QStringLiteral("test.csv");
        p.programVersion = QStringLiteral("1.5.46");
        p.start = start;
        p.end = end;
        p.rows = 3;
        return p;
    }

    bool recording = true;
    RecordingTally tally{[this] { return recording; }};
    InputConstants constants;
    VirtualClock clock;
    InceptionDetector inception{constants, clock};
    QDateTime start{QDate(2026, 12, 7), QTime(9, 0, 0)};
    QDateTime end{QDate(2026, 12, 7), QTime(10, 30, 5)};
};

TEST_F(Summary, TheTallyTakesTheRecordedCyclesOnly) {
    tally.fileOpened(start);
    EXPECT_FALSE(tally.largestChargePc());
    tally.takeReading(reading(12.5, 40, 8000));
    tally.takeReading(reading(3.0, 90, 9000));
    tally.takeReading(reading(500.0, 5000, 9000, Reading::Kind::QnStep));  // a count rate
    Reading silent = reading(900, 900, 9000);
    silent.es.reset();  // no row is written for it
    tally.takeReading(silent);
    recording = false;
    tally.takeReading(reading(77.0, 700, 9000));  // paused
    EXPECT_EQ(tally.largestChargePc(), 12.5);
    EXPECT_EQ(tally.largestRatePps(), 90.0);
    // A new file starts afresh.
    recording = true;
    tally.fileOpened(end);
    EXPECT_EQ(tally.openedAt(), end);
    EXPECT_FALSE(tally.largestChargePc());
    tally.takeReading(reading(0.0, 0, 0));
    EXPECT_EQ(tally.largestChargePc(), 0.0);
}

TEST_F(Summary, CarriesEveryPartAndNullWhereThereIsNone) {
    constants.name = QStringLiteral("Bushing \"A\"");
    constants.adjust = 2.5;
    constants.setQ = 25.0;
    QJsonObject json = summaryObject(parts());
    EXPECT_EQ(json[QStringLiteral("measurementFile")].toString(), QStringLiteral("test.csv"));
    EXPECT_EQ(json[QStringLiteral("start")].toString(), QStringLiteral("2026-12-07T09:00:00"));
    EXPECT_EQ(json[QStringLiteral("end")].toString(), QStringLiteral("2026-12-07T10:30:05"));
    EXPECT_EQ(json[QStringLiteral("rows")].toInt(), 3);
    const QJsonObject c = json[QStringLiteral("inputConstants")].toObject();
    EXPECT_EQ(c[QStringLiteral("name")].toString(), constants.name);
    EXPECT_EQ(c[QStringLiteral("adjustPcPerV")].toDouble(), 2.5);
    EXPECT_EQ(json[QStringLiteral("setQPc")].toDouble(), 25.0);
    for (const char* none : {"calibration", "acceptance", "largestChargePc", "qm"}) {
        EXPECT_TRUE(json[QLatin1String(none)].isNull()) << none;
    }
    const QJsonObject vq = json[QStringLiteral("inceptionExtinction")].toObject();
    EXPECT_TRUE(vq[QStringLiteral("inceptionV")].isNull());
    EXPECT_TRUE(json[QStringLiteral("background")].toObject()[QStringLiteral("levelPc")].isNull());

    // An inception at a rising 8 kV and its extinction at a falling 6 kV, with the rest.
    constants.adjust = 1.0;
    constants.setQ = 5.0;
    constants.startCount = 0;
    inception.judge(reading(1, 10, 7000));
    inception.judge(reading(40, 10, 8000));
    inception.judge(reading(40, 10, 7000));
    inception.judge(reading(1, 10, 6000));
    tally.takeReading(reading(40, 10, 8000));
    SummaryParts full = parts();
    full.backgroundPc = 0.8;
    full.backgroundThresholdKv = 2.0;
    full.qmLastPass = QStringLiteral("59.8 pC");
    full.qmBlock = QStringLiteral("61.0 pC");
    full.qmPassesInBlock = 2;
    full.calibration = {{QStringLiteral("q0Pc"), 50.0}};
    full.acceptance = {{QStringLiteral("verdict"), QStringLiteral("PASS")}};
    json = summaryObject(full);
    const auto object = [&json](const char* key) {
        return QJsonDocument(json[QLatin1String(key)].toObject()).toJson(QJsonDocument::Compact);
    };
    EXPECT_EQ(object("inceptionExtinction"),
              R"({"doubt":"","extinctionV":6000,"inceptionV":8000})");
    EXPECT_EQ(object("background"), R"({"belowKv":2,"levelPc":0.8})");
    EXPECT_EQ(object("qm"), R"({"block":"61.0 pC","lastPass":"59.8 pC","passesInBlock":2})");
    EXPECT_EQ(object("calibration"), R"({"q0Pc":50})");
    EXPECT_EQ(object("acceptance"), R"({"verdict":"PASS"})");
    EXPECT_EQ(json[QStringLiteral("largestChargePc")].toDouble(), 40.0);
}

TEST_F(Summary, SaysWhetherTheCalibrationIsStillInForce) {
    CalibrationRecord record;
    record.at = start;
    record.q0Pc = 100.0;
    record.attRange = 3;
    record.meanRawPeakV = 5.0;
    record.adjust = 2.0;
    record.secondQ0Pc = 500.0;
    record.linearityPercent = -1.5;
    constants.adjust = 2.0;
    QJsonObject json = calibrationObject(record, constants);
    EXPECT_EQ(json[QStringLiteral("at")].toString(), QStringLiteral("2026-12-07T09:00:00"));
    EXPECT_EQ(json[QStringLiteral("range")].toString(), QStringLiteral("1/10"));
    EXPECT_EQ(json[QStringLiteral("linearityPercent")].toDouble(), -1.5);
    EXPECT_TRUE(json[QStringLiteral("adjustInForce")].toBool());
    constants.adjust = 2.5;  // typed in Input const since
    record.linearityPercent.reset();
    json = calibrationObject(record, constants);
    EXPECT_FALSE(json[QStringLiteral("adjustInForce")].toBool());
    EXPECT_TRUE(json[QStringLiteral("linearityPercent")].isNull());
}

TEST(SummaryFile, GoesBesideTheMeasurementFileUnderItsName) {
    EXPECT_EQ(summaryPath(QStringLiteral("/data/run 1.csv")), QStringLiteral("/data/run 1.json"));
    EXPECT_EQ(summaryPath(QStringLiteral("/data/run.1.csv")), QStringLiteral("/data/run.1.json"));
    EXPECT_EQ(summaryPath(QStringLiteral("/data/run")), QStringLiteral("/data/run.json"));
    // Never in the place of the rows themselves.
    EXPECT_EQ(summaryPath(QStringLiteral("/data/run.json")), QStringLiteral("/data/run.json.json"));
}

TEST(SummaryFile, IsWrittenWholeOrNotAtAll) {
    const QJsonObject summary{{QStringLiteral("rows"), 12}};
    test::FakeFiles fake;
    QString problem;
    ASSERT_TRUE(writeSummary(fake, QStringLiteral("/d/a.csv"), summary, &problem));
    const QByteArray first = fake.contents[QStringLiteral("/d/a.json")];
    EXPECT_EQ(QJsonDocument::fromJson(first).object(), summary);
    // A full disk: the summary there stays as it was.
    fake.failAfter(5);
    EXPECT_FALSE(writeSummary(fake, QStringLiteral("/d/a.csv"),
                              QJsonObject{{QStringLiteral("rows"), 99}}, &problem));
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_EQ(fake.contents[QStringLiteral("/d/a.json")], first);

    // On the disk: a folder that is not there holds neither the summary nor a temporary
    // piece of it (a read-only folder would not do: the tests may run as root).
    QTemporaryDir dir;
    QtFiles files;
    problem.clear();
    EXPECT_FALSE(
        writeSummary(files, dir.filePath(QStringLiteral("gone/a.csv")), summary, &problem));
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_TRUE(QDir(dir.path())
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
                    .isEmpty());
    ASSERT_TRUE(writeSummary(files, dir.filePath(QStringLiteral("a.csv")), summary, &problem));
    QFile written(dir.filePath(QStringLiteral("a.json")));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QJsonDocument::fromJson(written.readAll()).object(), summary);
}

}  // namespace
}  // namespace kr5
