// How the whole program ends when it cannot start, on the simulated bench in virtual time:
// each start-up failure with its own exit code and the message that says why, and no
// traffic past the unit search.
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

}  // namespace
}  // namespace kr5::test
