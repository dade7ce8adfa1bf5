// The chart windows as the rest of the program uses them: the trend window, the V-Q
// window, the Q-N window and the colour legend, with the plotter that draws on them; the
// start of the acquisition loop; the Window menu's trend and V-Q items; the faces and
// captions the Q-N measurement sets, and the copy of its finished chart.
#pragma once

#include "charts/chartplotter.h"
#include "charts/colorwindow.h"
#include "charts/colours.h"
#include "charts/qnwindow.h"
#include "charts/vqwindow.h"
#include "charts/wavewindow.h"
#include "core/inputconstants.h"
#include "core/operatingsettings.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"

#include <QObject>

namespace kr5 {

class Charts : public QObject {
    Q_OBJECT

  public:
    // colours: filled by fillColourTable at start-up. The windows are made hidden; nothing is drawn
    // until the first use.
    Charts(const InputConstants& constants, const OperatingSettings& settings,
           const ColourTable& colours, Clipboard& clipboard, Dialogs& dialogs);
    Charts(const Charts&) = delete;
    Charts& operator=(const Charts&) = delete;

    // Draws on the charts; show what was drawn with refresh().
    ChartPlotter& plotter() { return plotter_; }
    void refresh();

    // The port's digit for the captions ("T-QNV(1)").
    void setPortDigit(const QString& digit) { portDigit_ = digit; }

    // Start of the acquisition loop: trend and V-Q cleared, captioned and shown; the Q-N
    // window captioned, hidden.
    void startLoop();

    // The empty trend chart; the empty V-Q chart of the current face.
    void clearTrend();
    void clearVq();
    void clearBoth();
    // The range the panel follows changed: the trend's rate scale takes its colour.
    void recolourRateScale(int range);

    // Window menu items dwave and dvq: hide a shown window; otherwise show it. The trend
    // keeps its curves; the V-Q window shows its empty chart.
    void toggleTrendWindow();
    void toggleVqWindow();
    // Window menu item dqn: hide the Q-N window if shown, else show it as it is (empty
    // until the first chart is copied in).
    void toggleQnWindow();

    // The faces the Q-N measurement switches between: the captions of both windows and
    // their empty charts.
    void showNormalFace();
    void showQnFace(const QString& qnLabel);
    // The caption of the V-Q window while a Q-N measurement runs ("Q-N(1)  3/10").
    void setQnPassCaption(const QString& caption);
    // The finished Q-N chart to the Q-N window, which is shown.
    void copyQnChart();

    // For the main window's restore of the V-Q window: reloads it if it was discarded.
    bool prepareVqRestore();

    WaveWindow& wave() { return wave_; }
    VqWindow& vq() { return vq_; }
    QnWindow& qn() { return qn_; }
    ColorWindow& colorWindow() { return color_; }

  signals:
    // The operator erased the V-Q chart and its result table.
    void vqErased();

  private:
    QString caption(const char* title) const;

    QString portDigit_;
    WaveWindow wave_;
    VqWindow vq_;
    QnWindow qn_;
    ColorWindow color_;
    ChartPlotter plotter_;
};

}  // namespace kr5
