// The chart windows as the rest of the program uses them: the per-reading update gplot,
// the clearing of the trend and V-Q charts, the rate scale's colour, the start of the
// acquisition loop, the Window menu's trend and V-Q items with their check marks, the
// captions the Q-N measurement sets, its pass hook and copy-in, and the windows
// themselves for the main window's minimise and restore.
#pragma once

#include "app/globals.h"
#include "charts/colorwindow.h"
#include "charts/colours.h"
#include "charts/geaph.h"
#include "charts/qnwindow.h"
#include "charts/vqsave.h"
#include "charts/vqwindow.h"
#include "charts/wavewindow.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/dialogs.h"

#include <functional>

namespace kr5 {

class Charts {
  public:
    // colours: filled by coldef at start-up. The windows are made hidden; nothing is drawn
    // until the first use.
    Charts(Globals& g, const ColourTable& colours, const Clock& clock, Dialogs& dialogs,
           Clipboard& clipboard);
    Charts(const Charts&) = delete;
    Charts& operator=(const Charts&) = delete;

    // One reading, normal or Q-N step (see Geaph::gplot).
    void gplot(double q0, double n, double v, qint32 att);
    // The attenuator range shown on the panel changed (setattind).
    void chmcol(int ratt);
    // The empty trend chart; the empty V-Q chart of the current face.
    void clrwave();
    void clrvq();

    // Start of the acquisition loop: trend and V-Q cleared, captioned "T-QNV(" and "V-Q("
    // + portstr + ")" and shown; the Q-N window captioned "Q-N(" + portstr + ")", hidden.
    void startLoop();

    // Window menu items dwave and dvq: hide a shown window; otherwise clear it and show it.
    void dwaveClick();
    void dvqClick();
    // Keep the menu items' check marks in step with the windows; called at once with the
    // present state, then at every show and hide.
    void setWaveCheckMark(std::function<void(bool)> setChecked);
    void setVqCheckMark(std::function<void(bool)> setChecked);

    // Captions set by the Q-N measurement's start and end.
    void setWaveCaption(const QString& caption) { wave_.setWindowTitle(caption); }
    void setVqCaption(const QString& caption) { geaph_.setVqCaption(caption); }
    void setQnCaption(const QString& caption) { qn_.setWindowTitle(caption); }

    // Called during a Q-N measurement when a pass is complete; qnpass() already counts it.
    void setQnPassEnd(std::function<void()> hook) { geaph_.qnPassEnd = std::move(hook); }
    qint32 qnpass() const { return geaph_.state().qnpass; }
    void setQnpass(qint32 passes) { geaph_.state().qnpass = passes; }
    // The finished Q-N chart to the Q-N window, which is shown.
    void qnCopyIn();

    // What the V-Q window's Save needs from the Input const window and the main window.
    VqSaveHooks& saveHooks() { return saveHooks_; }
    // For the main window's restore of the V-Q window: reloads it if it was discarded.
    bool prepareVqRestore();

    WaveWindow& wave() { return wave_; }
    VqWindow& vq() { return vq_; }
    QnWindow& qn() { return qn_; }
    ColorWindow& colorWindow() { return color_; }
    Geaph& geaph() { return geaph_; }

  private:
    void refresh();
    void sdataClick();
    void veraseClick();
    void vqUnloaded();

    Globals& g_;
    Dialogs& dialogs_;
    WaveWindow wave_;
    VqWindow vq_;
    QnWindow qn_;
    ColorWindow color_;
    Geaph geaph_;
    VqSaveHooks saveHooks_;
};

}  // namespace kr5
