// What the History window costs the acquisition: taking one reading into its model (on the
// cycle's path), moving a quarter second's new readings into the curves of an hour-long
// test (between cycles, four times a second while shown) and repainting that chart. At
// 38400 baud a cycle is about 9 ms; the figures say how much of that the History takes.
#include "charts/history.h"
#include "charts/historywindow.h"
#include "platform/virtualclock.h"

#include <benchmark/benchmark.h>

#include <QPixmap>
#include <cmath>

namespace {

kr5::Reading reading(int i) {
    kr5::Reading r;
    r.detector = kr5::DetectorFields{};
    r.es = 100.0 + 20.0 * std::sin(i / 500.0);
    r.takenAtMs = i * 100;
    r.charge = 5.0 + 4.0 * std::sin(i / 37.0);
    r.pulseRate = 100.0 + 50.0 * std::cos(i / 91.0);
    r.testVoltage = *r.es * 100.0;
    return r;
}

// An hour at ten readings a second, shown.
struct HourShown {
    HourShown() {
        for (; next < 36'000; ++next) {
            model.takeReading(reading(next));
        }
        window.resize(900, 500);
        window.show();
        window.catchUp();
    }
    kr5::VirtualClock clock;
    kr5::HistoryModel model{clock};
    kr5::HistoryWindow window{model, clock};
    int next = 0;
};

void TakeReading(benchmark::State& state) {
    kr5::VirtualClock clock;
    kr5::HistoryModel model(clock);
    int i = 0;
    for (auto _ : state) {
        model.takeReading(reading(i++));
    }
}
BENCHMARK(TakeReading);

// A quarter second at 38400 baud: about 28 readings.
void CatchUpAQuarterSecond(benchmark::State& state) {
    HourShown hour;
    for (auto _ : state) {
        for (int k = 0; k < 28; ++k) {
            hour.model.takeReading(reading(hour.next++));
        }
        hour.window.catchUp();
    }
}
BENCHMARK(CatchUpAQuarterSecond)->Unit(benchmark::kMicrosecond);

void RepaintAnHour(benchmark::State& state) {
    HourShown hour;
    for (auto _ : state) {
        benchmark::DoNotOptimize(hour.window.grab());
    }
}
BENCHMARK(RepaintAnHour)->Unit(benchmark::kMillisecond);

}  // namespace
