#include "loopwindows.h"

#include <QAction>

namespace kr5 {

void ProgramWindows::showZn4Panel(bool present, const QString& portstr) {
    w_.main.setZn4Available(present);
    if (present) {
        w_.zn4.showAtStart(portstr);
    } else {
        w_.zn4Window.hideWindow();
    }
}

void ProgramWindows::startCharts(const QString&) {
    w_.charts.startLoop();
}

void ProgramWindows::tickRemote() {
    w_.panel.setRemoteChecked(true);
}

void ProgramWindows::selectAttButton(int i) {
    w_.panel.selectPeakb(i);
}

void ProgramWindows::setMenuCaptions(const QString& mesqn, const QString& dwave,
                                     const QString& dvq) {
    w_.main.action(QStringLiteral("mesqn"))->setText(mesqn);
    w_.main.action(QStringLiteral("dwave"))->setText(dwave);
    w_.main.action(QStringLiteral("dvq"))->setText(dvq);
}

void ProgramWindows::restartCharts(const QString& waveCaption, const QString& vqCaption) {
    w_.charts.setWaveCaption(waveCaption);
    w_.charts.clrwave();
    w_.charts.setVqCaption(vqCaption);
    w_.charts.clrvq();
}

void ProgramWindows::setControlsEnabled(bool enabled) {
    w_.panel.setRangeFramesEnabled(enabled);
    w_.panel.setRemoteEnabled(enabled);
    w_.frec.setQnRunning(!enabled);
    w_.zn4.qnRunning(!enabled);
}

}  // namespace kr5
