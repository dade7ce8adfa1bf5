// The front panel as the measurement logic sees it: range buttons, the REMOTE box, the
// range frames, the readouts and the two pointer meters. The panel widget implements it;
// tests use a fake.
//
// Selecting a button or ticking the box from code behaves as a click: the widget runs
// the same handler (the callbacks it was given) as for the operator's click.
#pragma once

#include "app/format.h"

#include <QString>

namespace kr5 {

enum class Readout { Vpeak, Vpps, Des, Dtv };
enum class Meter { Scal1, Scal2 };  // scal1: pulse rate, scal2: peak

class PanelView : public RangeTitles {
  public:
    ~PanelView() override = default;

    // Selects attenuator button peakb(i) (0..9) or rate button rateb(i) (0..3) and runs
    // its click handler.
    virtual void selectPeakb(int i) = 0;
    virtual void selectRateb(int i) = 0;

    // The REMOTE box; setting it runs its click handler when the state changes.
    virtual bool remoteChecked() const = 0;
    virtual void setRemoteChecked(bool checked) = 0;

    // The attenuator and rate frames: disabled in local mode and during a Q-N measurement.
    virtual void setRangeFramesEnabled(bool enabled) = 0;
    // The REMOTE box itself: disabled during a Q-N measurement.
    virtual void setRemoteEnabled(bool enabled) = 0;

    virtual void setReadout(Readout which, const QString& text) = 0;

    // Moves a meter's pointer to value (in the meter's own units).
    virtual void setMeter(Meter which, double value) = 0;
};

}  // namespace kr5
