// Cost of what one normal cycle does besides the line: the evaluation of the replies into
// a reading, the panel's model and the widget that shows it (readouts, range buttons and
// meters), the inception test and the chart update, and the repaint of the shown windows
// when the loop lets events run, with the windows paced to their frames as in the program
// and cycles as far apart as at 38400 baud. Prints the figures; no limit is checked.
#include "charts/charts.h"
#include "measure/evaluation.h"
#include "measure/inception.h"
#include "measure/panelmodel.h"
#include "measure/panelwidget.h"
#include "platform/virtualclock.h"

#include "benchfakes.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>

namespace {

using kr5::bench::HeldClipboard;
using kr5::bench::NoDialogs;

// A normal cycle at 38400 baud: 41 characters and three turnarounds.
constexpr int kCycleMs = 17;

struct Cycle {
    Cycle() {
        kr5::fillColourTable(colours);
        units.port = 1;
        units.unit(kr5::UnitKind::Detector) = {0, QStringLiteral("KR-5 BENCH   ")};
        units.unit(kr5::UnitKind::AcUnit) = {1, QStringLiteral("AU-1 BENCH   ")};
        units.unit(kr5::UnitKind::NoiseDiscriminator) = {2, QStringLiteral("ZN-4 BENCH   ")};
        QObject::connect(&panel, &kr5::PanelModel::followedAttenuatorChanged, &charts,
                         &kr5::Charts::recolourRateScale);
        panel.setRemote(true);
        widget.initMeters();
        widget.show();
        charts.setPortDigit(QStringLiteral("1"));
        charts.startLoop();
        QApplication::processEvents();
    }

    // One cycle: replies that sweep up and down at the ranges the panel asks for, so
    // readouts, meters, ranges and curves all change.
    void run(long i) {
        const double phase = static_cast<double>(i % 200) / 200.0 * 2.0 * M_PI;
        const int peak = static_cast<int>(120 + 110 * std::sin(phase));
        const int rate = static_cast<int>(120 + 100 * std::cos(phase));
        kr5::ReadingReplies replies;
        replies.detector = {kr5::Reply::Status::Whole, QStringLiteral("A0x%1%2%3%4\r\n")
                                                           .arg(peak, 2, 16, QLatin1Char('0'))
                                                           .arg(rate, 2, 16, QLatin1Char('0'))
                                                           .arg(requests.attenuator)
                                                           .arg(requests.rate)
                                                           .toUpper()};
        replies.ac = {kr5::Reply::Status::Whole,
                      QStringLiteral("A1t2%1\r\n").arg(500 + peak, 3, 10, QLatin1Char('0'))};
        replies.noise = {kr5::Reply::Status::Whole, QStringLiteral("A2g0010\r\n")};
        const kr5::Reading reading = evaluator.cycle(replies);
        panel.takeReading(reading);
        if (const auto found = inception.judge(reading)) {
            charts.plotter().showInception(*found);
        }
        charts.plotter().plotReading(reading, inception.inceptionStanding());
        pacer.show(&charts, [this] { charts.refresh(); });
        QApplication::processEvents();  // the repaint the windows' event loop lets happen
        clock.advanceMs(kCycleMs);
    }

    kr5::InputConstants constants;
    kr5::OperatingSettings settings;
    kr5::UnitsOnLine units;
    kr5::Requests requests;
    kr5::ColourTable colours;
    kr5::VirtualClock clock;
    NoDialogs dialogs;
    HeldClipboard clipboard;
    kr5::ReadingEvaluator evaluator{constants, units};
    kr5::PanelModel panel{requests, settings};
    kr5::ScreenPacer pacer{clock};
    kr5::PanelWidget widget{panel, pacer};
    kr5::InceptionDetector inception{constants, clock};
    kr5::Charts charts{constants, settings, colours, clipboard, dialogs};
};

void normalCycle(benchmark::State& state) {
    Cycle c;
    long i = 0;
    for (auto _ : state) {
        c.run(i++);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(normalCycle)->Unit(benchmark::kMicrosecond);

}  // namespace
