// What the acquisition loop and the Q-N measurement ask of the windows, carried out on the
// program's windows: the panel, the charts, the recording controls and the noise
// discriminator panel.
#pragma once

#include "app/mainwindow.h"
#include "charts/charts.h"
#include "measure/acquisition.h"
#include "measure/panelview.h"
#include "modes/qnsequence.h"
#include "modes/zn4panel.h"
#include "records/recordcontrols.h"

namespace kr5 {

class ProgramWindows : public LoopWindows, public QnView, public QnChart {
  public:
    struct Parts {
        MainWindow& main;
        PanelView& panel;
        Charts& charts;
        RecordControls& frec;
        Zn4Panel& zn4;
        Zn4View& zn4Window;
    };

    explicit ProgramWindows(const Parts& parts) : w_(parts) {}

    // The acquisition loop.
    void showZn4Panel(bool present, const QString& portstr) override;
    void startCharts(const QString& portstr) override;
    void tickRemote() override;
    void selectAttButton(int i) override;

    // The Q-N measurement.
    void setMenuCaptions(const QString& mesqn, const QString& dwave, const QString& dvq) override;
    void restartCharts(const QString& waveCaption, const QString& vqCaption) override;
    void setControlsEnabled(bool enabled) override;
    bool remoteChecked() const override { return w_.panel.remoteChecked(); }

    // The Q-N chart and its pass counter.
    qint32 qnpass() const override { return w_.charts.qnpass(); }
    void setQnpass(qint32 passes) override { w_.charts.setQnpass(passes); }
    void copyIn() override { w_.charts.qnCopyIn(); }
    void clrvq() override { w_.charts.clrvq(); }

  private:
    Parts w_;
};

}  // namespace kr5
