// Cost of the chart update per reading (gplot on the trend and V-Q windows, normal face)
// and of redrawing an empty chart (dscle of each window). Prints the figures; there is no
// limit to pass or fail.
#include "charts/charts.h"
#include "platform/virtualclock.h"

#include "benchfakes.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

using kr5::bench::HeldClipboard;
using kr5::bench::NoDialogs;

struct Program {
    Program() {
        kr5::coldef(colours);
        g.portstr = QStringLiteral("1");
        g.ksetq = 100;
        charts.startLoop();
    }
    kr5::Globals g;
    kr5::ColourTable colours;
    kr5::VirtualClock clock;
    NoDialogs dialogs;
    HeldClipboard clipboard;
    kr5::Charts charts{g, colours, clock, dialogs, clipboard};
};

// Readings that sweep the voltage up and down with the charge following it, so that the
// curves, the colours and the inception and extinction tests all take their turns.
void gplotNormal(benchmark::State& state) {
    Program p;
    long i = 0;
    for (auto _ : state) {
        const double phase = static_cast<double>(i++ % 400) / 400.0 * 2.0 * M_PI;
        const double v = 100.0 + 90.0 * std::sin(phase);
        const double q0 = 0.5 * std::exp(v / 25.0);
        p.charts.gplot(q0, v / 2.0, v, static_cast<qint32>(i % 10));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(gplotNormal)->Unit(benchmark::kMicrosecond);

void dscleTrend(benchmark::State& state) {
    Program p;
    for (auto _ : state) {
        p.charts.clrwave();
    }
}
BENCHMARK(dscleTrend)->Unit(benchmark::kMillisecond);

void dscleVq(benchmark::State& state) {
    Program p;
    for (auto _ : state) {
        p.charts.clrvq();
    }
}
BENCHMARK(dscleVq)->Unit(benchmark::kMillisecond);

}  // namespace
