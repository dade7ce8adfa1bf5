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
    const struct {
        const char* what;
        std::function<void(sim::Scenario&)> bench;
        std::vector<Dialogs::Answer> answers;
        int exitCode;
        QString text;
        QString detail;
    } cases[] = {
        {"no line on either port",
         [](sim::Scenario& s) { s.units.clear(); },
         {},
         kExitNoDevice,
         noDetector,
         QStringLiteral(
             "Port 1 (sim:port1): no such device.\nPort 2 (sim:port2): no such device.")},
        {"lines without units",
         [](sim::Scenario& s) {
             s.units.clear();
             s.emptyPorts = {1, 2};
         },
         {},
         kExitNoDetector,
         noDetector,
         QStringLiteral(
             "Port 1 (sim:port1): no unit answered.\nPort 2 (sim:port2): no unit answered.")},
        {"no AC unit, and the operator stops",
         [](sim::Scenario& s) {
             s.units.erase(std::remove_if(s.units.begin(), s.units.end(),
                                          [](const sim::UnitConfig& u) {
                                              return u.kind == sim::UnitKind::AcUnit;
                                          }),
                           s.units.end());
         },
         {Dialogs::Answer::Cancel},
         kExitNoAcUnitStop,
         QStringLiteral("Can not find ACU.\rmes. without ACU\uFF1F"),
         QString()},
    };
    // Reading the time of day takes long enough that the start-up's loop calibration is
    // over quickly: only what follows it matters here.
    clock.setTimeOfDayReadCostUs(1000);
    for (const auto& c : cases) {
        scenario = quietBench();
        c.bench(scenario);
        dialogs.shown.clear();
        dialogs.answers.assign(c.answers.begin(), c.answers.end());
        build();
        EXPECT_EQ(program->run(), c.exitCode) << c.what;
        ASSERT_EQ(dialogs.shown.size(), 1u) << c.what;
        EXPECT_EQ(dialogs.shown[0].text, c.text) << c.what;
        EXPECT_EQ(dialogs.shown[0].detail, c.detail) << c.what;
        EXPECT_FALSE(program->mainWindow().isVisible()) << c.what;
        // Nothing but the identify probes of the search went out.
        EXPECT_TRUE(frames().filter(QRegularExpression(QStringLiteral(" v$"))) == frames())
            << c.what << ": " << frames().join(QLatin1Char(',')).toStdString();
        EXPECT_FALSE(port->isOpen()) << c.what;
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
