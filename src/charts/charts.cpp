#include "charts.h"

namespace kr5 {

Charts::Charts(Globals& g, const ColourTable& colours, const Clock& clock, Dialogs& dialogs,
               Clipboard& clipboard)
    : g_(g),
      dialogs_(dialogs),
      wave_(clipboard),
      vq_(clipboard),
      qn_(clipboard, dialogs),
      color_(g, colours),
      geaph_(g, colours, clock, wave_.surface(), vq_.surface(), vq_) {
    wave_.onErase = [this] { clrwave(); };
    wave_.onColor = [this] { color_.showLegend(); };
    vq_.onErase = [this] { veraseClick(); };
    vq_.onSave = [this] { sdataClick(); };
    vq_.onUnload = [this] { vqUnloaded(); };
}

void Charts::refresh() {
    wave_.refresh();
    vq_.refresh();
}

void Charts::gplot(double q0, double n, double v, qint32 att) {
    geaph_.gplot(q0, n, v, att);
    refresh();
}

void Charts::chmcol(int ratt) {
    geaph_.chmcol(ratt);
    wave_.refresh();
}

void Charts::clrwave() {
    geaph_.clrwave();
    wave_.refresh();
}

void Charts::clrvq() {
    geaph_.clrvq();
    vq_.refresh();
}

void Charts::startLoop() {
    clrwave();
    wave_.setWindowTitle(QStringLiteral("T-QNV(") + g_.portstr + QLatin1Char(')'));
    wave_.show();
    clrvq();
    geaph_.setVqCaption(QStringLiteral("V-Q(") + g_.portstr + QLatin1Char(')'));
    vq_.show();
    qn_.setWindowTitle(QStringLiteral("Q-N(") + g_.portstr + QLatin1Char(')'));
}

void Charts::dwaveClick() {
    if (wave_.isVisible()) {
        wave_.wcloseClick();
        return;
    }
    clrwave();
    wave_.show();
}

void Charts::dvqClick() {
    if (vq_.isVisible()) {
        vq_.vqclsClick();
        return;
    }
    clrvq();
    vq_.show();
}

void Charts::setWaveCheckMark(std::function<void(bool)> setChecked) {
    wave_.shown.onShownChanged = std::move(setChecked);
    if (wave_.shown.onShownChanged) {
        wave_.shown.onShownChanged(wave_.isVisible());
    }
}

void Charts::setVqCheckMark(std::function<void(bool)> setChecked) {
    vq_.shown.onShownChanged = std::move(setChecked);
    if (vq_.shown.onShownChanged) {
        vq_.shown.onShownChanged(vq_.isVisible());
    }
}

void Charts::qnCopyIn() {
    geaph_.loadVq();
    qn_.copyIn(vq_.surface().image());
}

bool Charts::prepareVqRestore() {
    geaph_.loadVq();
    vq_.refresh();
    return true;
}

void Charts::sdataClick() {
    sdata(g_, dialogs_, geaph_.inception(), saveHooks_);
}

void Charts::veraseClick() {
    geaph_.verase();
    vq_.refresh();
}

void Charts::vqUnloaded() {
    geaph_.vqUnloaded();
}

}  // namespace kr5
