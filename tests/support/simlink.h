// The link on the simulated bench in virtual time, and a bench from scenario lines.
#pragma once

#include "core/timing.h"
#include "link/link.h"
#include "link/units.h"
#include "platform/virtualclock.h"
#include "sim/bench.h"
#include "sim/scenario.h"
#include "sim/simport.h"

#include <gtest/gtest.h>

namespace kr5::test {

// The default bench where the lines name no unit; the test fails on a line it refuses.
inline sim::Scenario scenarioOf(const QString& lines) {
    sim::ScenarioBuilder builder;
    QString error;
    EXPECT_TRUE(builder.applyText(lines, &error)) << error.toStdString();
    return builder.scenario();
}

struct SimLinkParts {
    explicit SimLinkParts(const sim::Scenario& scenario) : bench(scenario) {}

    UnitsOnLine units;
    VirtualClock clock;
    VirtualWaiter waiter{clock};
    Timing timing{clock, waiter};
    sim::Bench bench;
    sim::SimPort port{bench, clock};
    Link link{units, port, clock, waiter, timing};
};

}  // namespace kr5::test
