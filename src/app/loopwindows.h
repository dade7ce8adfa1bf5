// What the acquisition loop asks of the windows, carried out on the program's windows.
#pragma once

#include "app/mainwindow.h"
#include "charts/charts.h"
#include "measure/acquisition.h"
#include "measure/panelview.h"

namespace kr5 {

class ProgramWindows : public LoopWindows {
  public:
    ProgramWindows(MainWindow& main, PanelView& panel, Charts& charts)
        : main_(main), panel_(panel), charts_(charts) {}

    void showZn4Panel(bool present, const QString& portstr) override;
    void startCharts(const QString& portstr) override;
    void tickRemote() override;
    void selectAttButton(int i) override;

  private:
    MainWindow& main_;
    PanelView& panel_;
    Charts& charts_;
};

}  // namespace kr5
