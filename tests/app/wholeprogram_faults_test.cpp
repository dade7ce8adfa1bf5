// The whole program when something goes wrong, on the simulated bench in virtual time: each
// start-up failure ends with its own exit code and the message that says why, with no
// traffic past the unit search; and a misbehaving line: the port gone and back (the loss
// shown in the status bar, nothing recorded meanwhile, a Q-N measurement ended as if
// stopped, the recording going on), the detector silent and the AC unit answering late
// (each named in the status bar while it lasts), and noisy, cut and split replies all along.
// No row is ever made up. The link's and the loop's side of it are in their own tests.
#include "app/exitcodes.h"
#include "wholeprogram.h"

#include <QRegularExpression>
#include <algorithm>
#include <set>

namespace kr5::test {
namespace {

TEST_F(WholeProgram, EachStartFailureEndsWithItsOwnCodeAndSaysWhy) {
    const QString noDetector = QStringLiteral("Can not find KR-5.\rStop mes.");
    const auto onEachPort = [](const char* why) {
        return QStringLiteral("Port 1 (sim:port1): %1.\nPort 2 (sim:port2): %1.").arg(why);
    };
    // The units left on the bench (none, or all but the AC unit), with or without lines on
    // the ports; whether the operator stops; the exit code and the message.
    const struct {
        bool acUnitOnly, emptyPorts, stop;
        int exitCode;
        QString text, detail;
    } cases[] = {
        {false, false, false, kExitNoDevice, noDetector, onEachPort("no such device")},
        {false, true, false, kExitNoDetector, noDetector, onEachPort("no unit answered")},
        {true, false, true, kExitNoAcUnitStop,
         QStringLiteral("Can not find ACU.\rmes. without ACU\uFF1F"), QString()},
    };
    // Reading the time of day takes long enough that the start-up's loop calibration is
    // over quickly: only what follows it matters here.
    clock.setTimeOfDayReadCostUs(1000);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exitCode);
        scenario = quietBench();
        auto& units = scenario.units;
        units.erase(std::remove_if(units.begin(), units.end(),
                                   [&](const sim::UnitConfig& u) {
                                       return !c.acUnitOnly || u.kind == sim::UnitKind::AcUnit;
                                   }),
                    units.end());
        if (c.emptyPorts) {
            scenario.emptyPorts = {1, 2};
        }
        dialogs.shown.clear();
        dialogs.answers.assign(c.stop ? 1 : 0, Dialogs::Answer::Cancel);
        build();
        EXPECT_EQ(program->run(), c.exitCode);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(std::pair(dialogs.shown[0].text, dialogs.shown[0].detail),
                  std::pair(c.text, c.detail));
        EXPECT_FALSE(program->mainWindow().isVisible() || port->isOpen());
        // Nothing but the identify probes of the search went out.
        EXPECT_EQ(frames().filter(QRegularExpression(QStringLiteral(" v$"))), frames());
        program.reset();
    }
}

// A script tells every start-up failure apart by the exit code alone.
TEST(ExitCodes, EveryStartFailureHasACodeOfItsOwn) {
    using Kind = PortProblem::Kind;
    using Outcome = UnitSearch::Outcome;
    const UnitSearch searches[] = {
        {Outcome::Found, QString(), Kind::None},
        {Outcome::NoPort, QString(), Kind::Missing},
        {Outcome::NoPort, QString(), Kind::PermissionDenied},
        {Outcome::NoPort, QString(), Kind::InUse},
        {Outcome::NoPort, QString(), Kind::Other},
        {Outcome::NoDetector, QString(), Kind::None},
        {Outcome::NoAcUnitStop, QString(), Kind::None},
    };
    std::set<int> codes{kExitBadOption};
    for (const UnitSearch& s : searches) {
        EXPECT_TRUE(codes.insert(exitCodeFor(s)).second) << exitCodeFor(s);
        EXPECT_TRUE(exitCodesHelp().contains(QStringLiteral("  %1  ").arg(exitCodeFor(s))));
    }
    EXPECT_EQ(exitCodeFor(searches[0]), 0);
}

TEST_F(WholeProgram, APulledPortOrASilentOrLateUnitIsShownAndNoRowIsMadeUp) {
    scenario.pulls = {sim::PortPull{1, 10.0, 14.0, false}};
    scenario.faults.push_back(sim::FaultRule{sim::UnitKind::Detector, -1,
                                             sim::FaultConfig{sim::FaultKind::Silent, 17.0, 18.0}});
    scenario.faults.push_back(sim::FaultRule{
        sim::UnitKind::AcUnit, -1, sim::FaultConfig{sim::FaultKind::Late, 20.0, 24.0, 1.0, 300.0}});
    // Noise bytes ahead of a reply, cut replies and replies in pieces now and then, once the
    // units are found.
    using sim::FaultKind;
    for (const auto& [unit, fault] :
         {std::pair(sim::UnitKind::Detector,
                    sim::FaultConfig{FaultKind::Noise, 3, 1e9, 0.1, 0, -1, 2, 0, 1}),
          std::pair(sim::UnitKind::Detector,
                    sim::FaultConfig{FaultKind::Truncated, 3, 1e9, 0.05, 0, 7, 2, 0, 2}),
          std::pair(sim::UnitKind::AcUnit,
                    sim::FaultConfig{FaultKind::Pieces, 3, 1e9, 0.1, 0, -1, 3, 15})}) {
        scenario.faults.push_back(sim::FaultRule{unit, -1, fault});
    }
    const auto portStatus = [this] {
        const auto* label = program->mainWindow().findChild<QLabel*>(QStringLiteral("portStatus"));
        return label && !label->isHidden() ? label->text() : QString();
    };
    QString measurement, statusWhileGone, silentStatus, lateStatus;
    bool staleWhileGone = false;
    qsizetype rowsWhenLost = 0;
    at(4000, "record and count", [&] {
        measurement = record(QStringLiteral("pulled"));
        startQn(6);
    });
    at(10400, "gone", [&] {
        rowsWhenLost = body(readLines(measurement)).rows.size();
        statusWhileGone = portStatus();
        staleWhileGone = program->panel().readouts().detectorStale;
        EXPECT_FALSE(program->qnRunning());  // ended as if stopped
    });
    at(13800, "still gone",
       [&] { EXPECT_EQ(body(readLines(measurement)).rows.size(), rowsWhenLost); });
    at(17800, "the detector silent", [&] { silentStatus = unitStatusText(); });
    at(18600, "and answering again", [&] { EXPECT_EQ(unitStatusText(), QString()); });
    // The late answers land in the other units' exchanges too, which then count as no
    // reply: a mix is never taken apart by guessing.
    at(22000, "the AC unit late", [&] { lateStatus = unitStatusText(); });
    at(27000, "exit", [&] { menu("cend")->trigger(); });
    runProgram();

    EXPECT_EQ(statusWhileGone, QStringLiteral("Port 1 (sim:port1) lost, reconnecting"));
    EXPECT_TRUE(staleWhileGone);
    EXPECT_EQ(portStatus(), QString());
    EXPECT_TRUE(silentStatus.startsWith(QLatin1String("KR-5: no reply (")))
        << silentStatus.toStdString();
    EXPECT_TRUE(lateStatus.contains(QLatin1String("ACU: no reply ("))) << lateStatus.toStdString();
    EXPECT_EQ(unitStatusText(), QString());  // answering again at the end
    const Body b = body(readLines(measurement));
    EXPECT_EQ(b.markers, (QStringList{"RECON", "QNstartD", "QNend", "RECOFF", "PAUSE"}));
    // Rows again after the return, each one true.
    EXPECT_GT(b.rows.size(), rowsWhenLost + 10);
    expectRowsTrue(b.rows, rowsFromTheLine(InputConstants{}));
}

}  // namespace
}  // namespace kr5::test
