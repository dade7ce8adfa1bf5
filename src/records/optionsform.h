// The Options window's logic (form Options, caption "Option"): the selections of its
// five tabs, Set (Command2) applying the tab that is showing, showAutoRanging, and the QN Conf.
// read-out Label4, which follows every reading even while the window is not loaded.
#pragma once

#include "core/operatingsettings.h"
#include "measure/requests.h"

#include <QObject>
#include <QString>
#include <array>

namespace kr5 {

class OptionsForm : public QObject {
    Q_OBJECT

  public:
    // The tabs of OPtab, numbered from 0.
    enum Tab { SampleTime, AutoRange, TvMulti, ComSpeed, QnConf, tabCount };
    // The option button groups Option1 to Option5, by their place in selections.option.
    enum Group {
        SampleTimeOptions,
        TvMultiOptions,
        SpeedOptions,
        GateTimeOptions,
        QnPassesOptions,
        groupCount
    };

    static constexpr int noSelection = -1;

    // What a loaded window shows; the window writes every change of the operator here.
    struct Selections {
        int tab = SampleTime;
        std::array<int, groupCount> option{};  // the selected element, or noSelection
        bool autoAttenuator = false;           // INPUT ATT automatic
        bool autoRate = false;                 // RATE METER RANGE automatic
        QString qnCondition;                   // the Q-N condition
    };

    // The number of elements of each group.
    static int groupSize(Group group);

    OptionsForm(OperatingSettings& settings, Requests& requests);

    Selections selections;

    // Form_Load: the initial selections (MIN, x1, 9600bps, 1s, Non Stop, the first tab,
    // no condition), then showAutoRanging.
    void loadDefaults();

    // The check boxes show the automatic ranging of the settings.
    void showAutoRanging();

    // Set: applies the tab that is showing, and only that one. A group with no
    // selection leaves its setting as it is; Com. Speed requests the speed change even
    // when the speed is unchanged.
    void set();

    // The sample time set directly, as Set on the Sample Time tab with that element
    // selected would (the remote control's way). False, with nothing changed, for a time
    // the tab does not offer.
    bool setSampleTime(qint32 ms) { return setOption(SampleTimeOptions, ms); }
    // The same for any group whose elements stand for the settings' values: sample time,
    // gate time, Q-N passes (-1 Non Stop).
    bool setOption(Group group, qint32 value);

    // Label4: the test voltage as the panel shows it, after every reading.
    void setTvReadout(const QString& text);
    const QString& tvReadout() const { return tvReadout_; }

  signals:
    // Set on Auto Range: the panel's range titles show the new automatic state.
    void autoRangingSet();
    // Set on TV Multi: the V-Q and trend charts are cleared, their voltage scales change.
    void tvMultiplierSet();
    // showAutoRanging changed the check boxes.
    void checksChanged();
    // The selections changed other than by the window's own buttons.
    void selectionsChanged();
    void readoutChanged(const QString& text);
    // The operating settings (or the requests) were changed by Set or setSampleTime.
    void settingsSet();

  private:
    // The value of the selected element of group, or keeps current.
    void take(Group group, qint32& setting) const;

    OperatingSettings& settings_;
    Requests& requests_;
    QString tvReadout_;
};

}  // namespace kr5
