#include "frontpanel.h"

namespace kr5 {

FrontPanel::FrontPanel(Globals& g, Requests& requests, PanelView& view)
    : g_(g), req_(requests), view_(view) {}

void FrontPanel::peakbClick(int index) {
    req_.attreq = index;
}

void FrontPanel::ratebClick(int index) {
    req_.ratereq = index;
}

void FrontPanel::remoteClick(bool checked) {
    // In local mode the range buttons are of no use: the operator works the instrument.
    view_.setRangeFramesEnabled(checked);
    req_.remcmd = checked ? QStringLiteral("m1") : QStringLiteral("m0");
    req_.remreq = true;
}

void FrontPanel::autocolor() {
    kr5::autocolor(g_, view_);
}

void FrontPanel::label4Click() {
    g_.autoatt = !g_.autoatt;
    autocolor();
    if (setauto) {
        setauto();
    }
}

void FrontPanel::label7Click() {
    g_.autorate = !g_.autorate;
    autocolor();
    if (setauto) {
        setauto();
    }
}

void FrontPanel::setattind(int i) {
    if (i != attshown) {
        view_.selectPeakb(i);
        if (chmcol) {
            chmcol(i);
        }
    }
    attshown = i;
}

void FrontPanel::setrateind(int i) {
    if (i != rateshown) {
        view_.selectRateb(i);
    }
    rateshown = i;
}

void FrontPanel::attauto(double value, int index) {
    if (value > 10.0 && index != 9) {
        setattind(index + 1);
    }
    if (value < 1.0 && index != 0) {
        setattind(index - 1);
    }
}

void FrontPanel::rateauto(double value, qint32& ratenow) {
    if (value > 100.0 && ratenow != 3) {
        ++ratenow;
        setrateind(ratenow);
    }
    if (value < 10.0 && ratenow != 0) {
        --ratenow;
        setrateind(ratenow);
    }
}

}  // namespace kr5
