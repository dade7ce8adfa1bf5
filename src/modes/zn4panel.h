// The logic of the noise discriminator panel ZN4: the handlers of its attenuator,
// FUNCTION and REMOTE controls, which only write requests that the acquisition loop sends
// at the end of a normal cycle; the read-back of the unit's settings from its "g" reply,
// which moves the buttons as clicks would; and the Window menu item zn4w with its tick.
#pragma once

#include "app/globals.h"

#include <QString>
#include <functional>

namespace kr5 {

// The panel as the logic sees it. The window implements it; tests use a fake.
//
// Selecting a button from code behaves as a click: the view runs the same handler as
// for the operator's click, once.
class Zn4View {
  public:
    virtual ~Zn4View() = default;

    // Selects peakb(element): elements 10..19 are column A at steps 0..9, elements 0..9
    // column B. Runs its click handler.
    virtual void selectPeakb(int element) = 0;
    // Selects rateb(i), the FUNCTION button i (0 ALL ON, 1 N OFF, 2 PD ON, 3 ANT OFF).
    // Runs its click handler.
    virtual void selectRateb(int i) = 0;
    // The three frames of buttons (Frame1 and both Frame2): off in local operation.
    virtual void setFramesEnabled(bool enabled) = 0;
    // The whole window: off during a Q-N measurement.
    virtual void setWindowEnabled(bool enabled) = 0;
    virtual void setCaption(const QString& caption) = 0;
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
};

class Zn4Panel {
  public:
    static constexpr int steps = 10;     // attenuator steps 1/1 .. 1/1000 per channel
    static constexpr int functions = 4;  // ALL ON, N OFF, PD ON, ANT OFF
    static constexpr int columnA = 10;   // peakb element of channel A at step 0

    Zn4Panel(Globals& g, Zn4View& view);

    // The settings last shown from the unit: channel A step, channel B step, function.
    int lastat1 = 0;
    int lastat2 = 0;
    int lastrt = 0;

    // Puts the tick of the main window's Window > ZN-4 item on or off.
    std::function<void(bool)> setMenuTick;

    // The unit's settings as its "g" reply reports them. A setting that differs from the
    // one last shown selects its button, whose handler writes it into the requests, so it
    // is sent back once to the unit, which already holds it. Values outside the buttons
    // are ignored.
    void nbtsetat1(int indexat);  // channel A
    void nbtsetat2(int indexat);  // channel B
    void nbtsetrt(int indexrt);   // function

    // Handlers of the window's controls.
    void peakbClick(int index);
    void ratebClick(int index);
    void remoteClick(bool checked);
    void nclsClick();  // Close(&X), and closing by the title bar: hidden, never unloaded

    // Window > ZN-4: the first click after start-up only ticks the item (the window is
    // already shown), the next one hides the window.
    void zn4wClick();
    void clzn();
    bool menuTicked() const { return menuTicked_; }

    // Start of the acquisition loop with the unit present: captioned "ZN-4(" + portstr +
    // ")" and shown, the menu item not ticked.
    void showAtStart(const QString& portstr);

    // A Q-N measurement disables the whole window while it runs.
    void qnRunning(bool running);

  private:
    void tick(bool ticked);

    Globals& g_;
    Zn4View& view_;
    bool menuTicked_ = false;
};

}  // namespace kr5
