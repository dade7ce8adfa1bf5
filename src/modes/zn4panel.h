// The noise discriminator panel ZN4 as a model: the attenuator steps of channels A and B
// and the function that the panel shows, its REMOTE box, whether its controls can be
// used, and the Window menu item zn4w with its tick. The window only shows this model and
// hands the operator's clicks to it.
//
// Clicks only record requests, which the acquisition loop sends at the end of a normal
// cycle. The panel follows what the unit reports in its "g" reply; a setting the unit
// reports differently from what the panel shows is also requested, so it is sent back
// once to the unit, which already holds it.
#pragma once

#include "measure/reading.h"
#include "measure/requests.h"

#include <QObject>
#include <QString>

namespace kr5 {

// The unit's side of the panel as a value: what the windows' copy is kept from.
struct Zn4State {
    int channelA = 0;
    int channelB = 0;
    int function = 0;
    bool remote = true;
    bool qnRunning = false;
};

class Zn4Panel : public QObject, public ReadingListener {
    Q_OBJECT

  public:
    static constexpr int steps = 10;     // attenuator steps 1/1 .. 1/1000 per channel
    static constexpr int functions = 4;  // ALL ON, N OFF, PD ON, ANT OFF
    // The function's name as the panel's button shows it.
    static QString functionName(int function) {
        static const char* const names[functions] = {"ALL ON", "N OFF", "PD ON", "ANT OFF"};
        return function >= 0 && function < functions ? QLatin1String(names[function]) : QString();
    }

    explicit Zn4Panel(Requests& requests) : requests_(requests) {}

    // What the panel shows.
    int channelA() const { return channelA_; }
    int channelB() const { return channelB_; }
    int function() const { return function_; }
    bool remote() const { return remote_; }
    // The buttons work only in remote operation; the whole window not during a Q-N
    // measurement.
    bool buttonsEnabled() const { return remote_; }
    bool windowEnabled() const { return !qnRunning_; }
    bool menuTicked() const { return menuTicked_; }

    // The unit's side as a value, and the windows' copy brought up to one (the window's
    // own state, shown or hidden and the menu's tick, stays as it is).
    Zn4State state() const { return {channelA_, channelB_, function_, remote_, qnRunning_}; }
    void show(const Zn4State& state);

    // The operator's clicks.
    void clickChannelA(int step);
    void clickChannelB(int step);
    void clickFunction(int function);
    void clickRemote(bool on);
    void close();  // Close(&X), and closing by the title bar: hidden, never unloaded

    // Window > ZN-4: the first click after start-up only ticks the item (the window is
    // already shown), the next one hides the window.
    void menuClick();

    // Start of the acquisition loop with the unit present: captioned "ZN-4(" + the
    // port's digit + ")" and shown, the menu item not ticked.
    void showAtStart(const QString& portDigit);

    // A Q-N measurement disables the whole window while it runs.
    void setQnRunning(bool running);

    // The unit's settings as its reply reports them; values outside the buttons and a
    // reading without the unit's reply change nothing.
    void takeReading(const Reading& reading) override;

  signals:
    void settingsChanged();  // the lit buttons
    void controlsChanged();  // REMOTE and the enabled states
    void menuTickChanged(bool ticked);
    void captionChanged(const QString& caption);
    void shown();
    void hidden();

  private:
    void follow(int reported, int& lastReported, int& shown, int& request, int count);
    void tick(bool ticked);

    Requests& requests_;
    int channelA_ = 0;
    int channelB_ = 0;
    int function_ = 0;
    // What the unit reported last: a click is not undone by a report of the old setting
    // that was on its way when the operator clicked.
    int reportedA_ = 0;
    int reportedB_ = 0;
    int reportedFunction_ = 0;
    bool remote_ = true;
    bool qnRunning_ = false;
    bool menuTicked_ = false;
};

}  // namespace kr5
