// The per-reading chart update gplot and the chart operations the rest of the program
// calls: clearing the trend and V-Q charts, recolouring the rate scale, and the V-Q
// window's load on first use. Normal readings draw the trend curves, run the inception and
// extinction tests and draw the V-Q segment; Q-N steps draw the per-range trend curves and
// the Q-N bars and count the passes.
#pragma once

#include "app/globals.h"
#include "charts/chartstate.h"
#include "charts/colours.h"
#include "charts/trendchart.h"
#include "charts/vqchart.h"
#include "platform/clock.h"
#include "platform/surface.h"
#include "records/inception.h"

#include <QString>
#include <functional>

namespace kr5 {

// The parts of the V-Q window that are not its chart.
class VqView {
  public:
    virtual ~VqView() = default;
    // The result box Text1.
    virtual void setText1(const QString& text) = 0;
    virtual void setText1Shown(bool shown) = 0;
    virtual void setVqCaption(const QString& caption) = 0;
};

class Geaph {
  public:
    Geaph(const Globals& g, const ColourTable& colours, const Clock& clock, Surface& trend,
          Surface& vq, VqView& vqView);

    // One reading: q0 the charge without Adjust, n the pulse rate, v the AC reading times
    // TV Multi, att the attenuator range. Normal readings and Q-N steps (qnmode) alike.
    void gplot(double q0, double n, double v, qint32 att);

    // The empty trend chart, its rate scale in the colour of the range last passed to
    // chmcol (range 0 before any).
    void clrwave();
    // The range shown on the panel changed: the rate scale takes its colour.
    void chmcol(int ratt);

    // The empty V-Q chart of the current face; Text1 is shown in the V-Q face only.
    void clrvq();
    // Erase: the empty chart and an empty Text1; the inception state stays.
    void verase();
    // Sets the V-Q window's caption (loading the window first, as any use does).
    void setVqCaption(const QString& caption);

    // The V-Q window was closed by its frame: its chart, text and caption are discarded,
    // and the next use loads it anew with an empty chart.
    void vqUnloaded() { vqLoaded_ = false; }
    // Loads the V-Q window if it is not loaded: design caption, empty Text1, empty chart.
    void loadVq();
    bool vqLoaded() const { return vqLoaded_; }

    ChartState& state() { return state_; }
    const ChartState& state() const { return state_; }
    Inception& inception() { return inception_; }
    int attshown() const { return attshown_; }

    // Called during a Q-N measurement each time a pass is complete (range 9 drawn and
    // qnpass counted). The Q-N measurement decides there whether the measurement or a
    // Non Stop block is complete.
    std::function<void()> qnPassEnd;

  private:
    void plotNormal(double q0, double n, double v, qint32 att);
    void plotQn(double n, double v, qint32 att);
    void drawVqFace();
    QString passCaption() const;

    const Globals& g_;
    Surface& vq_;
    VqView& vqView_;
    ChartState state_;
    TrendChart trend_;
    VqChart vqChart_;
    Inception inception_;
    int attshown_ = 0;
    bool vqLoaded_ = false;
};

}  // namespace kr5
