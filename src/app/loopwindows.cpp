#include "loopwindows.h"

#include <QAction>

namespace kr5 {

void ProgramWindows::showDiscriminatorPanel(bool present) {
    w_.main.setDiscriminatorAvailable(present);
    if (present) {
        w_.discriminator.showAtStart(w_.units.portDigit());
    } else {
        w_.discriminator.close();
    }
}

void ProgramWindows::portLost(const PortProblem& problem) {
    portGone_ = true;
    w_.main.showPortStatus(
        QStringLiteral("Port %1 (%2) lost, reconnecting").arg(w_.units.port).arg(problem.device));
}

void ProgramWindows::portBack() {
    portGone_ = false;
    w_.main.showPortStatus(QString());
}

void ProgramWindows::setMenuCaptions(const QString& qnMeasurement, const QString& trend,
                                     const QString& vq) {
    const MainMenu& menu = w_.main.menu();
    menu.qnMeasurement->setText(qnMeasurement);
    menu.trend->setText(trend);
    menu.vq->setText(vq);
}

void ProgramWindows::startBlock(const QString& label) {
    w_.charts.plotter().setFace(chart::Face::Qn, label);
    w_.charts.clearVq();
}

void ProgramWindows::setLocked(bool locked) {
    w_.recordControls.setQnRunning(locked);
}

void ProgramWindows::showStep(const QString& caption, int pass, const Reading& step) {
    w_.charts.setQnPassCaption(caption);
    w_.charts.plotter().plotQnBar(pass, step);
    w_.charts.vq().refresh();
}

}  // namespace kr5
