#include "loopwindows.h"

namespace kr5 {

void ProgramWindows::showZn4Panel(bool present, const QString&) {
    main_.setZn4Available(present);
}

void ProgramWindows::startCharts(const QString&) {
    charts_.startLoop();
}

void ProgramWindows::tickRemote() {
    panel_.setRemoteChecked(true);
}

void ProgramWindows::selectAttButton(int i) {
    panel_.selectPeakb(i);
}

}  // namespace kr5
