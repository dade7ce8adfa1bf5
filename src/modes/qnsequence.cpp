#include "qnsequence.h"

namespace kr5 {

QnSequence::QnSequence(Globals& g, Requests& requests, EventPump& pump, QnView& view,
                       QnChart& chart)
    : g_(g), req_(requests), pump_(pump), view_(view), chart_(chart)
{
}

void QnSequence::mesqnClick()
{
    if (g_.qnmode) {
        g_.qnstop = true;  // the pass in progress is completed first
        return;
    }
    // The count needs the detector under remote control: switch it on, and only then
    // does "m1" go out.
    if (!view_.remoteChecked()) {
        view_.tickRemote();
        req_.remcmd = QStringLiteral("m1");
        req_.remreq = true;
        pump_.pumpOnce();
    }
    g_.qnmode = true;
    view_.setMenuCaptions(QStringLiteral("T-QNV Mes.(&Q)"), QStringLiteral("T-N(Q)V"),
                          QStringLiteral("Q-N"));
    view_.restartCharts(QStringLiteral("T-N(Q)V(") + g_.portstr + QLatin1Char(')'),
                        QStringLiteral("Q-N(") + g_.portstr + QLatin1Char(')'));
    view_.setControlsEnabled(false);
    req_.qnstartreq = true;
}

void QnSequence::qnend()
{
    g_.qnmode = false;
    view_.setMenuCaptions(QStringLiteral("QN Mes.(&Q)"), QStringLiteral("T-QNV"),
                          QStringLiteral("V-Q"));
    view_.restartCharts(QStringLiteral("T-QNV(") + g_.portstr + QLatin1Char(')'),
                        QStringLiteral("V-Q(") + g_.portstr + QLatin1Char(')'));
    view_.setControlsEnabled(true);
    if (g_.recon && writeEndMarker) {
        writeEndMarker();
    }
}

void QnSequence::qnstart()
{
    if (g_.recon && writeStartMarker) {
        writeStartMarker();
    }
}

void QnSequence::qnstend()
{
    if (g_.recon && writeEndMarker && writeStartMarker) {
        writeEndMarker();
        writeStartMarker();
    }
}

void QnSequence::passEnd()
{
    if (!g_.qnmode) {
        return;
    }
    if (g_.qnloops == -1) {
        if (chart_.qnpass() >= nonStopBlock) {
            chart_.copyIn();
            chart_.clrvq();
            chart_.setQnpass(0);
            qnstend();
        }
        return;
    }
    if (chart_.qnpass() >= g_.qnloops) {
        g_.qnstop = true;
        chart_.copyIn();
    }
}

}  // namespace kr5
