// The logic of the front panel: the handlers of its controls, the routines that move the
// range buttons to a given range, automatic ranging, and the switching of automatic
// ranging by clicking the range titles. Clicks only record requests in the acquisition
// loop; the loop sends them.
#pragma once

#include "app/globals.h"
#include "measure/panelview.h"
#include "measure/requests.h"

#include <functional>

namespace kr5 {

class FrontPanel {
  public:
    FrontPanel(Globals& g, Requests& requests, PanelView& view);

    int attshown = 0;   // attenuator range last selected by setattind
    int rateshown = 0;  // rate range last selected by setrateind

    // Tells the trend window the attenuator range now shown (its curve colour).
    std::function<void(int)> chmcol;
    // Brings the Options window's automatic-ranging boxes into line, when it exists.
    std::function<void()> setauto;

    // Handlers of the panel's controls.
    void peakbClick(int index);
    void ratebClick(int index);
    void remoteClick(bool checked);
    void label4Click();  // "INPUT ATT": automatic attenuator ranging on or off
    void label7Click();  // "RATE METER RANGE": automatic rate ranging on or off

    // Moves the range buttons; a change selects the button as a click would.
    void setattind(int i);
    void setrateind(int i);

    // One automatic ranging step on a raw reading: the peak kept between 1.0 and 10.0 V,
    // the rate between 10 and 100. rateauto stores the new range in ratenow at once.
    void attauto(double value, int index);
    void rateauto(double value, qint32& ratenow);

    // Recolours the range titles from autoatt and autorate.
    void autocolor();

  private:
    Globals& g_;
    Requests& req_;
    PanelView& view_;
};

}  // namespace kr5
