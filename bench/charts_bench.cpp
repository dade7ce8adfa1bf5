// Cost of drawing one reading on the trend and V-Q charts (normal face, through the
// chart plotter), of one Q-N bar, and of redrawing each empty chart. Prints the figures;
// there is no limit to pass or fail.
#include "charts/charts.h"
#include "measure/evaluation.h"

#include "benchfakes.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using kr5::bench::HeldClipboard;
using kr5::bench::NoDialogs;

struct ChartsAtWork {
    ChartsAtWork() {
        kr5::fillColourTable(colours);
        constants.setQ = 100.0;
        charts.setPortDigit(QStringLiteral("1"));
        charts.startLoop();
        units.port = 1;
        units.unit(kr5::UnitKind::Detector) = {0, QStringLiteral("KR-5 BENCH   ")};
        units.unit(kr5::UnitKind::AcUnit) = {1, QStringLiteral("AU-1 BENCH   ")};
    }

    // Readings that sweep the voltage up and down with the charge following it, across
    // the ranges, so that the curves, the colours and the scales all take their turns.
    std::vector<kr5::Reading> sweep(int count) {
        kr5::ReadingEvaluator evaluator(constants, units);
        std::vector<kr5::Reading> readings;
        for (int i = 0; i < count; ++i) {
            const double phase = static_cast<double>(i) / count * 2.0 * M_PI;
            const int peak = static_cast<int>(120 + 110 * std::sin(phase));
            const int rate = static_cast<int>(120 + 100 * std::cos(phase));
            kr5::ReadingReplies replies;
            replies.detector = {kr5::Reply::Status::Whole, QStringLiteral("A0x%1%2%3%4\r\n")
                                                               .arg(peak, 2, 16, QLatin1Char('0'))
                                                               .arg(rate, 2, 16, QLatin1Char('0'))
                                                               .arg(i % 10)
                                                               .arg(i % 4)
                                                               .toUpper()};
            replies.ac = {
                kr5::Reply::Status::Whole,
                QStringLiteral("A1t2%1\r\n").arg(500 + peak * 2, 3, 10, QLatin1Char('0'))};
            readings.push_back(evaluator.cycle(replies));
        }
        return readings;
    }

    kr5::InputConstants constants;
    kr5::OperatingSettings settings;
    kr5::UnitsOnLine units;
    kr5::ColourTable colours;
    NoDialogs dialogs;
    HeldClipboard clipboard;
    kr5::Charts charts{constants, settings, colours, clipboard, dialogs};
};

void plotReading(benchmark::State& state) {
    ChartsAtWork c;
    const std::vector<kr5::Reading> readings = c.sweep(400);
    size_t i = 0;
    for (auto _ : state) {
        const kr5::Reading& r = readings[i++ % readings.size()];
        c.charts.plotter().plotReading(r, r.testVoltage > 8000.0);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(plotReading)->Unit(benchmark::kMicrosecond);

void plotQnBar(benchmark::State& state) {
    ChartsAtWork c;
    c.charts.showQnFace(QStringLiteral(" 6.12kV bench"));
    std::vector<kr5::Reading> steps = c.sweep(10);
    for (int range = 0; range < 10; ++range) {
        steps[static_cast<size_t>(range)].kind = kr5::Reading::Kind::QnStep;
        steps[static_cast<size_t>(range)].attRange = range;
        steps[static_cast<size_t>(range)].countRate = 40 * (range + 1);
    }
    long i = 0;
    for (auto _ : state) {
        c.charts.plotter().plotQnBar(static_cast<int>(i / 10 % 31),
                                     steps[static_cast<size_t>(i % 10)]);
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(plotQnBar)->Unit(benchmark::kMicrosecond);

void emptyTrend(benchmark::State& state) {
    ChartsAtWork c;
    for (auto _ : state) {
        c.charts.plotter().clearTrend();
    }
}
BENCHMARK(emptyTrend)->Unit(benchmark::kMillisecond);

void emptyVq(benchmark::State& state) {
    ChartsAtWork c;
    for (auto _ : state) {
        c.charts.plotter().clearVq();
    }
}
BENCHMARK(emptyVq)->Unit(benchmark::kMillisecond);

}  // namespace
