// Draws the readings on the trend and V-Q charts and draws their empty faces. It only
// draws: the inception and extinction are found by the measurement, the Q-N passes are
// counted by the Q-N sequence, and both tell it what to draw.
#pragma once

#include "charts/chartscale.h"
#include "charts/chartstate.h"
#include "charts/colours.h"
#include "charts/trendchart.h"
#include "charts/vqchart.h"
#include "core/inputconstants.h"
#include "core/operatingsettings.h"
#include "measure/inception.h"
#include "measure/reading.h"
#include "platform/surface.h"

#include <QString>
#include <optional>

namespace kr5 {

// The parts of the V-Q window that are not its chart.
class VqView {
  public:
    virtual ~VqView() = default;
    // The result table Text1.
    virtual void setResultText(const QString& text) = 0;
    virtual void setResultTextShown(bool shown) = 0;
    // Why the last inception and extinction cannot be trusted; empty when they can.
    virtual void setResultDoubt(const QString& doubt) = 0;
    virtual void setCaption(const QString& caption) = 0;
};

class ChartPlotter {
  public:
    ChartPlotter(const InputConstants& constants, const OperatingSettings& settings,
                 const ColourTable& colours, Surface& trend, Surface& vq, VqView& vqView);

    // The face both charts show from their next redraw on; the Q-N face carries the
    // label of its measurement.
    void setFace(chart::Face face, const QString& qnLabel = QString());
    chart::Face face() const { return face_; }

    // A complete reading: a normal one on the trend curves and as a V-Q segment (in the
    // colour of the inception state), a Q-N step on its range channel of the trend.
    // Incomplete readings are not drawn.
    void plotReading(const Reading& reading, bool inceptionStanding);
    // The same on the V-Q chart alone: a recorded test drawn again at full speed draws
    // only its last sweep on the trend, which is all the trend would still show.
    void plotVqOnly(const Reading& reading, bool inceptionStanding);
    // An inception or extinction found: its label on the V-Q chart, the result table in
    // the result table.
    void showInception(const InceptionDetector::Finding& finding);
    // While held, the result table takes only the last finding's table, when released: a
    // recorded test drawn again finds hundreds of pairs at once, and each table shown in
    // turn would lay out all the rows before it.
    void holdResultTable();
    void releaseResultTable();
    // The bar of one complete Q-N step, in the column of its pass.
    void plotQnBar(int pass, const Reading& step);

    // The empty trend chart, its rate scale in the colour of the range last followed.
    void clearTrend();
    // The range the panel follows changed: the rate scale takes its colour.
    void recolourRateScale(int range);

    // The empty V-Q chart of the current face; the result table is shown in the V-Q face
    // only.
    void clearVq();
    // Erase: the empty chart and an empty result table.
    void eraseVq();
    void setVqCaption(const QString& caption);

    // The V-Q window was closed by its frame: its chart, text and caption are discarded,
    // and the next use loads it anew with an empty chart.
    void vqUnloaded() { vqLoaded_ = false; }
    // Loads the V-Q window if it is not loaded: design caption, empty box, empty chart.
    void loadVq();

  private:
    static double raised(double v) { return chart::raised(v); }
    double voltageValue(const Reading& r) const;

    const OperatingSettings& settings_;
    Surface& vq_;
    VqView& vqView_;
    ChartState state_;
    TrendChart trend_;
    VqChart vqChart_;
    chart::Face face_ = chart::Face::Normal;
    QString qnLabel_;
    int rateColourRange_ = 0;
    bool vqLoaded_ = false;
    bool resultTableHeld_ = false;
    std::optional<InceptionDetector::Finding> heldFinding_;
};

}  // namespace kr5
