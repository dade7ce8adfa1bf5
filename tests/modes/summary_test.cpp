// The summary of a measurement file: the tally, the .json's content, and where and how it is
// written (whole or not at all by the files' replace, which qtfiles_test runs on the disk).
#include "modes/summary.h"
#include "platform/virtualclock.h"
#include "support/fakefiles.h"
#include "support/readings.h"

#include <gtest/gtest.h>
#include <QJsonArray>
#include <QJsonDocument>

namespace kr5 {
namespace {

// A complete cycle at the 1/1 range with Adjust 1 and the PT ratio 100.
Reading reading(double charge, double rate, double volts) {
    return test::cycleReading(0, charge, rate, volts / 100.0);
}

// JSON text with its keys in order, for comparing objects whole.
QByteArray compact(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
QByteArray compact(const char* json) {
    return compact(QJsonDocument::fromJson(json).object());
}

struct Summary : ::testing::Test {
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
    Reading step = test::qnStepReading(0, 5000, 90.0);  // a count rate
    step.charge = 500.0;
    tally.takeReading(step);
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
    EXPECT_EQ(compact(summaryObject(parts())), compact(R"({"program": "kr5au 1.5.46",
        "measurementFile": "test.csv", "start": "2026-12-07T09:00:00",
        "end": "2026-12-07T10:30:05", "rows": 3, "setQPc": 25,
        "inputConstants": {"name": "Bushing \"A\"", "number": "1", "temperature": "20",
                           "humidity": "59", "ptRatio": 100, "adjustPcPerV": 2.5,
                           "setQIndex": 0, "startCount": 50, "stopCount": 0},
        "calibration": null, "acceptance": null, "largestChargePc": null,
        "largestPulseRatePps": null, "qm": null, "nqn": null,
        "background": {"levelPc": null, "belowKv": 1, "switchedOffPc": null,
                       "switchedOffAt": null},
        "inceptionExtinction": {"inceptionV": null, "extinctionV": null, "doubt": "",
                                "pairs": []},
        "instruments": {"detector": null, "acUnit": null, "noiseDiscriminator": null},
        "noiseDiscriminator": null,
        "details": {"objectId": "", "objectType": "", "objectRating": "", "customer": "",
                    "operator": "", "standard": "", "couplingCapacitancePf": null,
                    "measuringImpedance": "", "supplyFrequencyHz": null, "calibratorId": "",
                    "calibratorCheckedOn": null, "notes": ""}})"));

    // An inception at a rising 8 kV and its extinction at a falling 6 kV, with the rest.
    constants.adjust = 1.0;
    constants.setQ = 5.0;
    constants.startCount = 0;
    // Then a second inception at 8.5 kV that still stands: every pair is kept, each with
    // its Set Q and times.
    start = clock.localTime();
    const auto now = [this] { return clock.localTime().toString(Qt::ISODate); };
    inception.judge(reading(1, 10, 7000));
    inception.judge(reading(40, 10, 8000));
    const QString firstAt = now();
    clock.advanceMs(60'000);
    inception.judge(reading(40, 10, 7000));
    inception.judge(reading(1, 10, 6000));
    const QString endedAt = now();
    clock.advanceMs(60'000);
    inception.judge(reading(1, 10, 7000));
    inception.judge(reading(40, 10, 8500));
    const QString secondAt = now();
    end = clock.localTime();
    tally.takeReading(reading(40, 10, 8000));
    SummaryParts full = parts();
    full.backgroundPc = 0.8;
    full.backgroundThresholdKv = 2.0;
    full.backgroundOffPc = 0.4;
    full.backgroundOffAt = start;
    full.detectorIdent = QStringLiteral("KR-5 V2.1");
    full.discriminator = Zn4State{3, 9, 1};
    full.qmLastPass = QStringLiteral("59.8 pC");
    full.qmBlock = QStringLiteral("61.0 pC");
    full.nqnLastPass = 1234.5;
    full.qmPassesInBlock = 2;
    full.calibration = {{QStringLiteral("q0Pc"), 50.0}};
    full.acceptance = {{QStringLiteral("verdict"), QStringLiteral("PASS")}};
    const QJsonObject json = summaryObject(full);
    const auto object = [&json](const char* key) { return compact(json[key].toObject()); };
    EXPECT_EQ(object("inceptionExtinction"),
              compact(QStringLiteral(
                          R"({"doubt":"","extinctionV":null,"inceptionV":8500,"pairs":[
                  {"doubt":"","extinctionAt":"%1","extinctionV":6000,"inceptionAt":"%2",
                   "inceptionV":8000,"setQPc":5},
                  {"doubt":"","extinctionAt":null,"extinctionV":null,"inceptionAt":"%3",
                   "inceptionV":8500,"setQPc":5}]})")
                          .arg(endedAt, firstAt, secondAt)
                          .toUtf8()
                          .constData()));
    // A pair that ended before the file was opened is not the file's.
    full.start = clock.localTime().addSecs(-30);
    EXPECT_EQ(summaryObject(full)[QStringLiteral("inceptionExtinction")][QStringLiteral("pairs")]
                  .toArray()
                  .size(),
              1);
    EXPECT_EQ(object("background"), QStringLiteral(R"({"belowKv":2,"levelPc":0.8,)"
                                                   R"("switchedOffAt":"%1","switchedOffPc":0.4})")
                                        .arg(start.toString(Qt::ISODate))
                                        .toUtf8());
    EXPECT_EQ(object("instruments"),
              R"({"acUnit":null,"detector":"KR-5 V2.1","noiseDiscriminator":null})");
    EXPECT_EQ(object("noiseDiscriminator"),
              R"({"channelA":"1/10","channelB":"1/1000","function":"N OFF"})");
    EXPECT_EQ(object("qm"), R"({"block":"61.0 pC","lastPass":"59.8 pC","passesInBlock":2})");
    EXPECT_EQ(object("nqn"), R"({"block":null,"lastPass":1234.5})");
    EXPECT_EQ(object("calibration"), R"({"q0Pc":50})");
    EXPECT_EQ(object("acceptance"), R"({"verdict":"PASS"})");
    EXPECT_EQ(json[QStringLiteral("largestChargePc")].toDouble(), 40.0);

    // The calibration's part says whether its Adjust is still in force.
    CalibrationRecord record{
        QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0)), 100.0, 3, 5.0, 2.0, -1.5, 500.0};
    constants.adjust = 2.0;
    EXPECT_EQ(compact(calibrationObject(record, constants)),
              compact(R"({"at": "2026-12-07T09:00:00", "calibratorPc": 100, "range": "1/10",
                          "meanRawPeakV": 5, "adjustPcPerV": 2, "adjustInForce": true,
                          "secondCalibratorPc": 500, "linearityPercent": -1.5})"));
    constants.adjust = 2.5;  // typed in Input const since
    record.linearityPercent.reset();
    const QJsonObject calibration = calibrationObject(record, constants);
    EXPECT_FALSE(calibration[QStringLiteral("adjustInForce")].toBool());
    EXPECT_TRUE(calibration[QStringLiteral("linearityPercent")].isNull());
}

// The details come back from a summary as they were typed; a summary written before it held
// any gives empty ones.
TEST(SummaryDetails, ComeBackFromTheSummaryAsTheyWent) {
    TestDetails details;
    details.objectId = QStringLiteral("T-2291 \"east\"");
    details.objectType = QStringLiteral("Bushing");
    details.objectRating = QStringLiteral("24 kV, 630 A");
    details.customer = QStringLiteral("Stadtwerke Süd");
    details.operatorName = QStringLiteral("A. Tanaka");
    details.standard = QStringLiteral("IEC 60270:2000 / IEC 60076-3");
    details.couplingCapacitancePf = 1000.5;
    details.measuringImpedance = QStringLiteral("AKV 9310");
    details.supplyFrequencyHz = 50;
    details.calibratorId = QStringLiteral("CAL-7");
    details.calibratorCheckedOn = QDate(2026, 3, 31);
    details.notes = QStringLiteral("first line\nsecond line");
    const QJsonObject written{{QStringLiteral("details"), detailsObject(details)}};
    const QJsonObject read = QJsonDocument::fromJson(QJsonDocument(written).toJson()).object();
    EXPECT_EQ(detailsOfSummary(read), details);
    EXPECT_EQ(detailsOfSummary(QJsonObject{{QStringLiteral("rows"), 3}}), TestDetails());
}

TEST(SummaryFile, GoesBesideTheMeasurementFileWrittenWholeOrNotAtAll) {
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

    // It goes beside the measurement file under its name, never in the place of the rows.
    EXPECT_EQ(summaryPath(QStringLiteral("/data/run 1.csv")), QStringLiteral("/data/run 1.json"));
    EXPECT_EQ(summaryPath(QStringLiteral("/data/run.1.csv")), QStringLiteral("/data/run.1.json"));
    EXPECT_EQ(summaryPath(QStringLiteral("/data/run")), QStringLiteral("/data/run.json"));
    EXPECT_EQ(summaryPath(QStringLiteral("/data/run.json")), QStringLiteral("/data/run.json.json"));
}

}  // namespace
}  // namespace kr5
