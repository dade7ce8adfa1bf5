// The test engineer's workflow on the simulated bench in virtual time: a calibrator's
// pulses give the Adjust the bench was built with, the acceptance test is set up, the hold
// resets when the voltage falls too soon, the main window gives the verdict, and the
// summary beside the measurement file carries it all, with the test details typed for the
// report, which the details window writes of the test under way. The setup is kept for the
// port.
#include "app/testmemory.h"
#include "app/windowmemory.h"
#include "modes/summary.h"
#include "wholeprogram.h"

#include <QJsonObject>
#include <QRegularExpression>
#include <QSettings>

namespace kr5::test {
namespace {

class Workflow : public WholeProgram {
  protected:
    void SetUp() override {
        WholeProgram::SetUp();
        // A circuit of 2 pC per volt; the calibrator's 20 pC read 10 V at the 1/1 range,
        // two thirds of full scale, before the ramp reaches the object's inception at 8 kV.
        scenario.calibration = 2.0;
        sim::CalibratorConfig calibrator;
        calibrator.chargePc = 20.0;
        calibrator.toS = 7.5;
        scenario.calibrators.push_back(calibrator);
    }

    QString verdict() {
        const auto* label = control<QLabel>(QStringLiteral("KR5AU"), QStringLiteral("verdict"));
        return label != nullptr && label->isVisible() ? label->text() : QString();
    }
};

// The profile holds 12 kV for about 5 s: a hold of 10 s at 11.5 kV cannot be completed and
// starts again when the voltage falls; a hold of 3 s with a limit of 10 pC then fails, and
// the charge readout turns red while the charge is above the limit.
TEST_F(Workflow, CalibrateHoldAtTheTestVoltageGetAVerdictAndASummary) {
    const auto chargeRed = [] {
        const QColor c = control<QLabel>(QStringLiteral("KR5AU"), QStringLiteral("Vpeak"))
                             ->palette()
                             .color(QPalette::WindowText);
        return c.red() == 0xFF && c.green() == 0x40;
    };
    at(3500, "calibrate", [&] {
        menu("calib")->trigger();
        type(QStringLiteral("calibrate"), QStringLiteral("q0"), QStringLiteral("20"));
        click(QStringLiteral("calibrate"), QStringLiteral("measure"));
    });
    QString proposal, adjustShown, holding, reset, detailsRefusal, acceptRefusal;
    bool wasRed = false;
    step(
        "accept the proposal",
        [&] { return control<QPushButton>("calibrate", "accept")->isEnabled(); },
        [&] {
            proposal = control<QLabel>("calibrate", "proposal")->text();
            click(QStringLiteral("calibrate"), QStringLiteral("accept"));
            // The test's name, typed after the calibration: the Adjust it stored shows.
            menu("kouseiin")->trigger();
            type(QStringLiteral("kousei"), QStringLiteral("Text1"), QStringLiteral("bushing"));
            adjustShown = control<QLineEdit>("kousei", "Text6")->text();
            click(QStringLiteral("kousei"), QStringLiteral("Command1"));
            setUpAcceptance("11.5", "10", "100000");
            // The details for the report: a capacitance that is no number is refused.
            menu("testdet")->trigger();
            const QString details = QStringLiteral("testDetails");
            type(details, QStringLiteral("customer"), QStringLiteral("Stadtwerke Süd"));
            type(details, QStringLiteral("ccap"), QStringLiteral("1 nF"));
            click(details, QStringLiteral("detok"));
            detailsRefusal = control<QLabel>(details, "detproblem")->text();
            type(details, QStringLiteral("ccap"), QStringLiteral("1000"));
            type(details, QStringLiteral("calibdate"), QStringLiteral("2026-03-31"));
            click(details, QStringLiteral("detok"));
            click(details, QStringLiteral("detclose"));
            startRecording(dir.filePath(QStringLiteral("bushing.csv")));
            menu("dhist")->trigger();  // open at the end: it opens again at the next start
        });
    step(
        "holding", [&] { return verdict().contains(QStringLiteral("holding")); },
        [&] {
            holding = verdict();
            // The file's header holds the constants: Accept is refused, and the window says why.
            click(QStringLiteral("calibrate"), QStringLiteral("accept"));
            acceptRefusal = control<QLabel>("calibrate", "calwarn")->text();
        });
    step(
        "reset", [&] { return statusMessage().startsWith(QStringLiteral("Test voltage fell")); },
        [&] {
            reset = statusMessage();
            setUpAcceptance("11.5", "3", "10");
        });
    step(
        "verdict",
        [&] {
            wasRed = wasRed || chargeRed();
            return verdict().startsWith(QStringLiteral("FAIL"));
        },
        [&] {
            dialogs.savePaths.push_back(dir.filePath(QStringLiteral("live.pdf")));
            menu("testdet")->trigger();
            click(QStringLiteral("testDetails"), QStringLiteral("detreport"));
            click(QStringLiteral("KR5AU"), QStringLiteral("bclose"));
        });
    step(
        "exit", [&] { return QFile::exists(dir.filePath(QStringLiteral("bushing.json"))); },
        [&] { menu("cend")->trigger(); });
    runProgram();

    EXPECT_TRUE(proposal.startsWith(QStringLiteral("2 pC/V"))) << proposal.toStdString();
    EXPECT_EQ(adjustShown, QStringLiteral("2"));
    EXPECT_TRUE(holding.startsWith(QStringLiteral("Acceptance: holding"))) << holding.toStdString();
    EXPECT_TRUE(acceptRefusal.contains(QStringLiteral("a measurement file is open")))
        << acceptRefusal.toStdString();
    EXPECT_TRUE(reset.startsWith(QStringLiteral("Test voltage fell below 11.5 kV after ")) &&
                reset.endsWith(QStringLiteral("of 10 s: the hold starts again")))
        << reset.toStdString();
    EXPECT_TRUE(wasRed);

    const QJsonObject summary = summaryOf(dir.filePath(QStringLiteral("bushing.json")));
    EXPECT_EQ(summary[QStringLiteral("inputConstants")][QStringLiteral("adjustPcPerV")].toDouble(),
              2.0);
    const QJsonValue calibration = summary[QStringLiteral("calibration")];
    // What the calibration measured and the verdict reach the summary; how it writes them is
    // the summary tests'.
    EXPECT_EQ(calibration[QStringLiteral("calibratorPc")].toDouble(), 20.0);
    EXPECT_NEAR(calibration[QStringLiteral("meanRawPeakV")].toDouble(), 10.0, 0.06);
    EXPECT_TRUE(calibration[QStringLiteral("adjustInForce")].toBool());
    const QJsonValue acceptance = summary[QStringLiteral("acceptance")];
    EXPECT_EQ(acceptance[QStringLiteral("verdict")].toString(), QStringLiteral("FAIL"));
    EXPECT_EQ(acceptance[QStringLiteral("testKv")].toDouble(), 11.5);
    EXPECT_EQ(detailsRefusal, QStringLiteral("Coupling capacitance, pF must be empty or a number "
                                             "from 1 to 10000000."));
    TestDetails typed;
    typed.customer = QStringLiteral("Stadtwerke Süd");
    typed.couplingCapacitancePf = 1000;
    typed.calibratorCheckedOn = QDate(2026, 3, 31);
    EXPECT_EQ(detailsOfSummary(summary), typed);
    // The live report names the details, the units and the recording's file by its digest.
    const QString report = pdfText(dir.filePath(QStringLiteral("live.pdf"))).simplified();
    EXPECT_TRUE(
        report.contains(QStringLiteral("Customer Stadtwerke Süd")) &&
        report.contains(QRegularExpression(QStringLiteral("Detector KR-5 \\S+"))) &&
        report.contains(QRegularExpression(QStringLiteral("measurement file [0-9a-f]{64}"))) &&
        report.contains(QStringLiteral("FAIL")))
        << report.toStdString();

    // The next run on this port finds the same setup and windows.
    TestMemory memory(windowMemoryPath());
    EXPECT_EQ(memory.acceptance(QStringLiteral("1")), (AcceptanceLimits{11.5, 3, 10}));
    EXPECT_FALSE(memory.acceptance(QStringLiteral("2")));
    EXPECT_EQ(memory.backgroundThresholdKv(QStringLiteral("1")), 1.0);
    const auto record = memory.calibration(QStringLiteral("1"));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->adjust, 2.0);
    EXPECT_EQ(memory.testDetails(QStringLiteral("1")), typed);
    EXPECT_EQ(memory.testDetails(QStringLiteral("2")), TestDetails());
    EXPECT_TRUE(
        WindowMemory(windowMemoryPath()).wasShown(QStringLiteral("1"), QStringLiteral("history")));
}

// A setup edited by hand into something out of range is not taken; a good one is.
TEST(TestMemoryFile, TakesOnlyValuesInRange) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kr5au.conf"));
    {
        QSettings s(path, QSettings::IniFormat);
        // Port 1's hold is below 1 s and its background no number.
        for (const auto& [port, holdS, below] :
             {std::tuple("port1", QVariant(0.0), QVariant("low")),
              std::tuple("port2", QVariant(60.0), QVariant(2.5))}) {
            const QString group = QLatin1String(port) + QStringLiteral("/test/");
            s.setValue(group + QStringLiteral("testKv"), 12.0);
            s.setValue(group + QStringLiteral("holdS"), holdS);
            s.setValue(group + QStringLiteral("permissiblePc"), 10.0);
            s.setValue(group + QStringLiteral("backgroundBelowKv"), below);
        }
    }
    TestMemory memory(path);
    EXPECT_FALSE(memory.acceptance(QStringLiteral("1")) ||
                 memory.backgroundThresholdKv(QStringLiteral("1")));
    EXPECT_EQ(memory.acceptance(QStringLiteral("2")), (AcceptanceLimits{12, 60, 10}));
    EXPECT_EQ(memory.backgroundThresholdKv(QStringLiteral("2")), 2.5);

    CalibrationRecord record;
    record.at = QDateTime(QDate(2026, 12, 7), QTime(9, 0));
    record.q0Pc = 50;
    record.attRange = 2;
    record.meanRawPeakV = 5;
    record.adjust = 2;
    memory.setCalibration(QStringLiteral("1"), record);
    const auto back = memory.calibration(QStringLiteral("1"));
    ASSERT_TRUE(back);
    EXPECT_EQ(std::pair(back->at, back->attRange), std::pair(record.at, 2));
    EXPECT_FALSE(back->linearityPercent);
    record.attRange = 12;  // no such range
    memory.setCalibration(QStringLiteral("1"), record);
    EXPECT_FALSE(memory.calibration(QStringLiteral("1")));
    memory.setAcceptance(QStringLiteral("2"), std::nullopt);
    EXPECT_FALSE(memory.acceptance(QStringLiteral("2")));
}

}  // namespace
}  // namespace kr5::test
