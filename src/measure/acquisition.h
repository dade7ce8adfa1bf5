// The acquisition loop: paced normal cycles that read the units and then carry out the
// operator's requests at fixed points, Q-N counting passes while a Q-N measurement runs,
// and the release of the line when the operator ends the program. Event handlers never
// talk to the line; they record Requests, which only this loop reads and carries out.
#pragma once

#include "app/globals.h"
#include "app/timing.h"
#include "link/link.h"
#include "measure/reading.h"
#include "measure/requests.h"
#include "platform/eventpump.h"

#include <QString>
#include <functional>

namespace kr5 {

// What the loop asks of the windows.
class LoopWindows {
  public:
    virtual ~LoopWindows() = default;
    // Shows the noise discriminator panel with its caption, or hides it when absent.
    virtual void showZn4Panel(bool present, const QString& portstr) = 0;
    // Clears the trend and V-Q charts, captions and shows them; captions the Q-N window.
    virtual void startCharts(const QString& portstr) = 0;
    // Ticks the panel's REMOTE box; its handler records the remote request.
    virtual void tickRemote() = 0;
    // Selects attenuator button i; its handler records i as the attenuator request.
    virtual void selectAttButton(int i) = 0;
};

class Acquisition {
  public:
    Acquisition(Globals& g, Requests& requests, Link& link, Timing& timing, EventPump& pump,
                Reading& reading, LoopWindows& windows);

    QString krcmd;     // range command being sent to the detector
    int attsent = 0;   // attenuator range last sent
    int ratesent = 0;  // rate range last sent
    QString znsetcmd;  // setting command being sent to the noise discriminator

    // The Q-N measurement's start and end routines.
    std::function<void()> qnstart;
    std::function<void()> qnend;

    // Runs the loop until endreq, then releases the line. Returns when the program may end.
    void mesloop();

    // The pieces of mesloop, for the tests.
    void loopStart();
    void normalCycle();
    void qnscan();

  private:
    void remsend();
    void rangesend();
    void znremsend();
    void znsend();
    void acknowledge();
    void sendRequests();
    void startPendingQn();
    void sendZnSetting(char letter, int value, int& sent);

    Globals& g_;
    Requests& req_;
    Link& link_;
    Timing& timing_;
    EventPump& pump_;
    Reading& reading_;
    LoopWindows& windows_;
};

}  // namespace kr5
