#include "charts.h"

namespace kr5 {

Charts::Charts(const InputConstants& constants, const OperatingSettings& settings,
               const ColourTable& colours, Clipboard& clipboard, Dialogs& dialogs)
    : wave_(clipboard, dialogs),
      vq_(clipboard, dialogs),
      qn_(clipboard, dialogs),
      color_(constants, colours),
      plotter_(constants, settings, colours, wave_.surface(), vq_.surface(), vq_) {
    connect(&wave_, &WaveWindow::eraseRequested, this, &Charts::clearTrend);
    connect(&wave_, &WaveWindow::legendRequested, &color_, &ColorWindow::showLegend);
    connect(&vq_, &VqWindow::eraseRequested, this, [this] {
        plotter_.eraseVq();
        vq_.refresh();
        emit vqErased();
    });
    connect(&vq_, &VqWindow::unloaded, this, [this] { plotter_.vqUnloaded(); });
}

QString Charts::caption(const char* title) const {
    return QLatin1String(title) + QLatin1Char('(') + portDigit_ + QLatin1Char(')');
}

void Charts::refresh() {
    wave_.refresh();
    vq_.refresh();
}

void Charts::clearTrend() {
    plotter_.clearTrend();
    wave_.refresh();
}

void Charts::clearVq() {
    plotter_.clearVq();
    vq_.refresh();
}

void Charts::clearBoth() {
    clearVq();
    clearTrend();
}

void Charts::recolourRateScale(int range) {
    plotter_.recolourRateScale(range);
    wave_.refresh();
}

void Charts::startLoop() {
    clearTrend();
    wave_.setWindowTitle(caption("T-QNV"));
    wave_.show();
    clearVq();
    plotter_.setVqCaption(caption("V-Q"));
    vq_.show();
    qn_.setWindowTitle(caption("Q-N"));
}

void Charts::toggleTrendWindow() {
    if (wave_.isVisible()) {
        wave_.hide();
        return;
    }
    // The curves drawn while the window was hidden stay.
    wave_.show();
}

void Charts::toggleVqWindow() {
    if (vq_.isVisible()) {
        vq_.hide();
        return;
    }
    clearVq();
    vq_.show();
}

void Charts::toggleQnWindow() {
    qn_.setVisible(!qn_.isVisible());
}

void Charts::showNormalFace() {
    plotter_.setFace(chart::Face::Normal);
    wave_.setWindowTitle(caption("T-QNV"));
    clearTrend();
    plotter_.setVqCaption(caption("V-Q"));
    clearVq();
}

void Charts::showQnFace(const QString& qnLabel) {
    plotter_.setFace(chart::Face::Qn, qnLabel);
    wave_.setWindowTitle(caption("T-N(Q)V"));
    clearTrend();
    plotter_.setVqCaption(caption("Q-N"));
    clearVq();
}

void Charts::setQnPassCaption(const QString& text) {
    plotter_.setVqCaption(text);
}

void Charts::copyQnChart() {
    plotter_.loadVq();
    qn_.copyIn(vq_.surface().image(), vq_.surface().drawing());
}

bool Charts::prepareVqRestore() {
    plotter_.loadVq();
    vq_.refresh();
    return true;
}

}  // namespace kr5
