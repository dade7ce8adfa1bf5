#include "zn4panel.h"

namespace kr5 {

namespace {

bool within(int value, int count) {
    return value >= 0 && value < count;
}

}  // namespace

void Zn4Panel::show(const Zn4State& s) {
    if (s.channelA != channelA_ || s.channelB != channelB_ || s.function != function_) {
        channelA_ = s.channelA;
        channelB_ = s.channelB;
        function_ = s.function;
        emit settingsChanged();
    }
    if (s.remote != remote_ || s.qnRunning != qnRunning_) {
        remote_ = s.remote;
        qnRunning_ = s.qnRunning;
        emit controlsChanged();
    }
}

void Zn4Panel::clickChannelA(int step) {
    if (within(step, steps)) {
        channelA_ = requests_.channelA = step;
        emit settingsChanged();
    }
}

void Zn4Panel::clickChannelB(int step) {
    if (within(step, steps)) {
        channelB_ = requests_.channelB = step;
        emit settingsChanged();
    }
}

void Zn4Panel::clickFunction(int function) {
    if (within(function, functions)) {
        function_ = requests_.discriminatorFunction = function;
        emit settingsChanged();
    }
}

void Zn4Panel::clickRemote(bool on) {
    // In local operation the unit's own knobs rule, so the buttons cannot be used; the
    // panel still follows what the unit reports.
    remote_ = on;
    requests_.discriminatorRemote = on;
    emit controlsChanged();
}

void Zn4Panel::follow(int reported, int& lastReported, int& shown, int& request, int count) {
    if (!within(reported, count)) {
        return;
    }
    if (reported != lastReported) {
        shown = request = reported;
        emit settingsChanged();
    }
    lastReported = reported;
}

void Zn4Panel::takeReading(const Reading& reading) {
    if (!reading.noise) {
        return;
    }
    const NoiseFields& unit = *reading.noise;
    follow(unit.channelA, reportedA_, channelA_, requests_.channelA, steps);
    follow(unit.channelB, reportedB_, channelB_, requests_.channelB, steps);
    follow(unit.function, reportedFunction_, function_, requests_.discriminatorFunction, functions);
}

void Zn4Panel::close() {
    tick(false);
    emit hidden();
}

void Zn4Panel::menuClick() {
    if (menuTicked_) {
        emit hidden();
        tick(false);
        return;
    }
    tick(true);
    emit shown();
}

void Zn4Panel::showAtStart(const QString& portDigit) {
    emit captionChanged(QStringLiteral("ZN-4(") + portDigit + QLatin1Char(')'));
    emit shown();
    tick(false);
}

void Zn4Panel::setQnRunning(bool running) {
    qnRunning_ = running;
    emit controlsChanged();
}

void Zn4Panel::tick(bool ticked) {
    menuTicked_ = ticked;
    emit menuTickChanged(ticked);
}

}  // namespace kr5
