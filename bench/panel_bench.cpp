// Cost of what one normal cycle does besides the line: the evaluation of the replies, the
// panel's readouts, range buttons and meters, the chart update, and the repaint of the
// shown windows when the loop lets events run. Prints the figures; no limit is checked.
#include "charts/charts.h"
#include "charts/scalewidget.h"
#include "measure/evaluation.h"
#include "measure/panelwidget.h"
#include "platform/virtualclock.h"

#include "benchfakes.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>

namespace {

using kr5::bench::HeldClipboard;
using kr5::bench::NoDialogs;

struct Cycle {
    Cycle() {
        kr5::coldef(colours);
        g.portstr = QStringLiteral("1");
        g.acuok = g.znok = true;
        panel.onPeakbClick = [this](int i) { front.peakbClick(i); };
        panel.onRatebClick = [this](int i) { front.ratebClick(i); };
        panel.onRemoteClick = [this](bool on) { front.remoteClick(on); };
        eval.gplot = [this](double q0, double n, double v, int att) {
            charts.gplot(q0, n, v, att);
        };
        front.chmcol = [this](int att) { charts.chmcol(att); };
        panel.scal(kr5::Meter::Scal1).init(100, 100, QStringLiteral("P.P.S."));
        panel.scal(kr5::Meter::Scal2).init(10, 10, QStringLiteral("Vp"));
        panel.setRemoteChecked(true);
        panel.show();
        charts.startLoop();
        QApplication::processEvents();
    }

    // One cycle's replies: readings that sweep up and down, so readouts, meters, ranges
    // and curves all change.
    void run(long i) {
        const double phase = static_cast<double>(i % 200) / 200.0 * 2.0 * M_PI;
        const int peak = static_cast<int>(120 + 110 * std::sin(phase));
        const int rate = static_cast<int>(120 + 100 * std::cos(phase));
        const QString x = QStringLiteral("A0x%1%2%3%4\r\n")
                              .arg(peak, 2, 16, QLatin1Char('0'))
                              .arg(rate, 2, 16, QLatin1Char('0'))
                              .arg(eval.attnow)
                              .arg(eval.ratenow)
                              .toUpper();
        const QString t = QStringLiteral("A1t2%1\r\n").arg(500 + peak, 3, 10, QLatin1Char('0'));
        eval.plotPrevious();
        eval.detectorReply(x);
        eval.acReply(t);
        eval.noiseReply(QStringLiteral("A2g0010\r\n"));
        eval.autoRange();
        QApplication::processEvents();  // the repaint the loop's pump lets happen
    }

    kr5::Globals g;
    kr5::ColourTable colours;
    kr5::VirtualClock clock;
    NoDialogs dialogs;
    HeldClipboard clipboard;
    kr5::Charts charts{g, colours, clock, dialogs, clipboard};
    kr5::Requests requests;
    kr5::PanelWidget panel;
    kr5::FrontPanel front{g, requests, panel};
    kr5::Evaluation eval{g, panel, front};
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
