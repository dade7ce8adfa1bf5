#include "zn4panel.h"

namespace kr5 {

namespace {

bool isStep(int value) {
    return value >= 0 && value < Zn4Panel::steps;
}

bool isFunction(int value) {
    return value >= 0 && value < Zn4Panel::functions;
}

}  // namespace

Zn4Panel::Zn4Panel(Globals& g, Zn4View& view) : g_(g), view_(view) {}

void Zn4Panel::nbtsetat1(int indexat) {
    if (!isStep(indexat)) {
        return;
    }
    if (indexat != lastat1) {
        view_.selectPeakb(indexat + columnA);
    }
    lastat1 = indexat;
}

void Zn4Panel::nbtsetat2(int indexat) {
    if (!isStep(indexat)) {
        return;
    }
    if (indexat != lastat2) {
        view_.selectPeakb(indexat);
    }
    lastat2 = indexat;
}

void Zn4Panel::nbtsetrt(int indexrt) {
    if (!isFunction(indexrt)) {
        return;
    }
    if (indexrt != lastrt) {
        view_.selectRateb(indexrt);
    }
    lastrt = indexrt;
}

void Zn4Panel::peakbClick(int index) {
    if (index >= columnA && index < columnA + steps) {
        g_.znatt2 = index - columnA;  // channel A, sent as "a"
    } else if (isStep(index)) {
        g_.znatt1 = index;  // channel B, sent as "c"
    }
}

void Zn4Panel::ratebClick(int index) {
    if (isFunction(index)) {
        g_.znfunc = index;
    }
}

void Zn4Panel::remoteClick(bool checked) {
    // In local operation the unit's own knobs rule, so the buttons cannot be used; the
    // panel still follows what the unit reports.
    g_.zncmd = checked ? QStringLiteral("m1") : QStringLiteral("m0");
    view_.setFramesEnabled(checked);
    g_.znremreq = true;
}

void Zn4Panel::nclsClick() {
    tick(false);
    view_.hideWindow();
}

void Zn4Panel::zn4wClick() {
    if (menuTicked_) {
        clzn();
        return;
    }
    tick(true);
    view_.showWindow();
}

void Zn4Panel::clzn() {
    view_.hideWindow();
    tick(false);
}

void Zn4Panel::showAtStart(const QString& portstr) {
    view_.setCaption(QStringLiteral("ZN-4(") + portstr + QLatin1Char(')'));
    view_.showWindow();
    tick(false);
}

void Zn4Panel::qnRunning(bool running) {
    view_.setWindowEnabled(!running);
}

void Zn4Panel::tick(bool ticked) {
    menuTicked_ = ticked;
    if (setMenuTick) {
        setMenuTick(ticked);
    }
}

}  // namespace kr5
