// What the acquisition loop and the Q-N measurement ask of the windows, carried out on
// the program's windows: the main window's menu, the charts, the recording controls and
// the noise discriminator panel.
#pragma once

#include "app/mainwindow.h"
#include "charts/charts.h"
#include "measure/acquisition.h"
#include "modes/qnsequence.h"
#include "modes/zn4panel.h"
#include "records/recordcontrols.h"

namespace kr5 {

class ProgramWindows : public LoopWindows, public QnWindows {
  public:
    struct Parts {
        MainWindow& main;
        Charts& charts;
        RecordControls& recordControls;
        Zn4Panel& discriminator;
        const UnitsOnLine& units;
    };

    explicit ProgramWindows(const Parts& parts) : w_(parts) {}

    // The acquisition loop.
    void showDiscriminatorPanel(bool present) override;
    void startCharts() override { w_.charts.startLoop(); }
    void portLost(const PortProblem& problem) override;
    void portBack() override;
    bool portGone() const { return portGone_; }

    // The Q-N measurement.
    void setMenuCaptions(const QString& qnMeasurement, const QString& trend,
                         const QString& vq) override;
    void showQnFace(const QString& label) override { w_.charts.showQnFace(label); }
    void showNormalFace() override { w_.charts.showNormalFace(); }
    void startBlock(const QString& label) override;
    void setLocked(bool locked) override;
    void showStep(const QString& caption, int pass, const Reading& step) override;
    void copyChart() override { w_.charts.copyQnChart(); }

  private:
    Parts w_;
    bool portGone_ = false;
};

}  // namespace kr5
