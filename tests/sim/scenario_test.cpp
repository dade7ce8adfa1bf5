// Reading a scenario from text lines, and the frame log's line form. What a bench built from
// a scenario answers is in the other sim tests.
#include "sim/scenario.h"
#include "sim/bench.h"

#include <gtest/gtest.h>

namespace kr5::sim::test {
namespace {

TEST(SimScenario, ATextSetsUnitsProfileObjectFaultsAndPulls) {
    ScenarioBuilder b;
    QString error;
    ASSERT_TRUE(b.applyText(QStringLiteral("# a bench on two lines\n"
                                           "seed 42\n"
                                           "turnaround 3.5\n"
                                           "unit KR 3 2 KR-5  No.7\n"
                                           "unit au 4 1\n"
                                           "port 1\n"
                                           "profile peak=20 up=0.5 repeat=no\n"
                                           "object inception=10 extinction=7 noiserate=0\n"
                                           "fault KR late ms=300 from=5 to=9 p=0.25\n"
                                           "fault AU truncated keep=4 addr=4\n"
                                           "pull 2 from=1.5 to=3\n"
                                           "operator off\n"),
                            &error))
        << error.toStdString();
    const Scenario& s = b.scenario();
    EXPECT_EQ(std::tuple(s.seed, s.turnaroundMs, s.operatorActive), std::tuple(42u, 3.5, false));
    ASSERT_EQ(s.units.size(), 2u);  // the default units are replaced
    const UnitConfig& kr = s.units[0];
    EXPECT_EQ(std::tuple(kr.kind, kr.address, kr.port), std::tuple(UnitKind::Detector, 3, 2));
    EXPECT_EQ(kr.ident, QStringLiteral("KR-5  No.7   "));
    EXPECT_EQ(s.units[1].ident, defaultIdent(UnitKind::AcUnit, 4));
    EXPECT_EQ(s.ports(), (std::set<int>{1, 2}));
    EXPECT_EQ(std::tuple(s.profile.peakKv, s.profile.upKvPerS, s.profile.repeat),
              std::tuple(20.0, 0.5, false));
    EXPECT_EQ(std::pair(s.object.inceptionKv, s.object.noisePps), std::pair(10.0, 0.0));
    ASSERT_EQ(s.faults.size(), 2u);
    const FaultConfig& late = s.faults[0].config;
    EXPECT_EQ(std::tuple(late.kind, late.lateMs, late.probability),
              std::tuple(FaultKind::Late, 300.0, 0.25));
    EXPECT_TRUE(late.coversUs(5e6));
    EXPECT_FALSE(late.coversUs(9e6));
    EXPECT_EQ(std::pair(s.faults[1].address, s.faults[1].config.keep), std::pair(4, 4));
    ASSERT_EQ(s.pulls.size(), 1u);
    EXPECT_EQ(s.pulls[0].fromS, 1.5);
}

TEST(SimScenario, CalibratorLinesAddOneEachAndFrameLogLinesShowTheFrame) {
    ScenarioBuilder b;
    ASSERT_TRUE(b.apply(QStringLiteral("calibrator pc=50")));
    ASSERT_TRUE(b.apply(QStringLiteral("calibrator pc=5 rate=20 from=2 to=4")));
    const auto& c = b.scenario().calibrators;
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(std::tuple(c[0].chargePc, c[0].ratePps, c[0].coversS(0.0), c[0].coversS(1e6)),
              std::tuple(50.0, 100.0, true, true));
    EXPECT_EQ(std::tuple(c[1].chargePc, c[1].ratePps, c[1].coversS(1.9), c[1].coversS(2.0),
                         c[1].coversS(4.0)),
              std::tuple(5.0, 20.0, false, true, false));
    // Frame log lines show the time, port, speed, address and command.
    // The second with noise in front of its address.
    const std::pair<QByteArray, const char*> frames[] = {
        {"\xC0v\r\n", "C0 v"}, {"A\317c1000\r\n", "CF c1000"}, {"AB\r\n", "?? 41420D0A"}};
    for (const auto& [raw, shown] : frames) {
        FrameRecord f{12345.6, 1, 9600, -1, {}, raw, {}};
        parseFrame(f);
        EXPECT_EQ(formatFrame(f), QLatin1String("12.346 port1 9600 ") + QLatin1String(shown));
    }
}

TEST(SimScenario, BadLinesAreRefusedWithAReasonAndChangeNothing) {
    for (const QString& line :
         QStringLiteral(
             "unit KR 16 1|unit KR 0 3|unit XX 0 1|unit AU 0 1 KR-5 wrong type|unit KR|"
             "seed -1|seed 1 2|turnaround fast|pt 0|profile peak=high|profile colour=red|"
             "profile 12|object extinction=9|fault KR melted|fault KR late p=2|pull 3|"
             "port 0|operator maybe|warp 9|calibrator rate=10|calibrator pc=0|"
             "calibrator pc=50 colour=red")
             .split('|')) {
        SCOPED_TRACE(line.toStdString());
        ScenarioBuilder b;
        QString error;
        EXPECT_FALSE(b.apply(line, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(b.scenario().units.size(), 3u);
        EXPECT_EQ(b.scenario().object.extinctionKv, Scenario().object.extinctionKv);
    }
    ScenarioBuilder b;
    QString error;
    EXPECT_FALSE(b.applyText(QStringLiteral("unit KR 0 1\nunit ZN 0 1\n"), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("line 2:"))) << error.toStdString();
}

}  // namespace
}  // namespace kr5::sim::test
