// A front panel for tests: remembers what it shows, and runs the handlers a real panel
// runs when a button is selected or the REMOTE box is ticked.
#pragma once

#include "measure/panelview.h"

#include <QString>
#include <functional>
#include <map>
#include <vector>

namespace kr5::test {

class FakePanelView : public PanelView {
  public:
    std::function<void(int)> onPeakbClick;
    std::function<void(int)> onRatebClick;
    std::function<void(bool)> onRemoteClick;

    int peakb = 0;
    int rateb = 0;
    bool remote = false;
    bool framesEnabled = true;
    bool remoteEnabled = true;
    std::map<Readout, QString> readouts;
    std::map<Meter, std::vector<double>> meters;
    quint32 attTitleColour = 0;
    quint32 rateTitleColour = 0;
    int peakbSelections = 0;

    void selectPeakb(int i) override {
        peakb = i;
        ++peakbSelections;
        if (onPeakbClick) {
            onPeakbClick(i);
        }
    }
    void selectRateb(int i) override {
        rateb = i;
        if (onRatebClick) {
            onRatebClick(i);
        }
    }
    bool remoteChecked() const override { return remote; }
    void setRemoteChecked(bool checked) override {
        if (checked != remote) {
            remote = checked;
            if (onRemoteClick) {
                onRemoteClick(checked);
            }
        }
    }
    void setRangeFramesEnabled(bool enabled) override { framesEnabled = enabled; }
    void setRemoteEnabled(bool enabled) override { remoteEnabled = enabled; }
    void setReadout(Readout which, const QString& text) override { readouts[which] = text; }
    void setMeter(Meter which, double value) override { meters[which].push_back(value); }
    void setRangeTitleColours(quint32 att, quint32 rate) override {
        attTitleColour = att;
        rateTitleColour = rate;
    }

    QString readout(Readout which) const {
        const auto it = readouts.find(which);
        return it == readouts.end() ? QString() : it->second;
    }
};

}  // namespace kr5::test
