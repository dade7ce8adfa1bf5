// Refusing the bad lines of a scenario text. What a bench built from a scenario answers is in
// the other sim tests, whose benches are written in that text.
#include "sim/scenario.h"
#include "sim/bench.h"

#include <gtest/gtest.h>

namespace kr5::sim::test {
namespace {

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
