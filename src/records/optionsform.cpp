#include "optionsform.h"

namespace kr5 {

namespace {

// The value each element of a group stands for.
const std::array<std::array<qint32, 7>, OptionsForm::groupCount> groupValues = {{
    {0, 100, 200, 500},           // Option1: sample time, ms ("MIN" is no pause)
    {1, 2, 4, 5},                 // Option2: TV Multi
    {0, 1, 2},                    // Option3: comspeed index
    {100, 200, 500, 1000},        // Option4: gatetime, ms
    {5, 10, 15, 20, 25, 30, -1},  // Option5: Q-N passes, -1 Non Stop
}};

}  // namespace

int OptionsForm::groupSize(Group group) {
    constexpr std::array<int, groupCount> sizes = {4, 4, 3, 4, 7};
    return sizes[static_cast<size_t>(group)];
}

OptionsForm::OptionsForm(OperatingSettings& settings, Requests& requests)
    : settings_(settings), requests_(requests) {
    loadDefaults();
}

void OptionsForm::loadDefaults() {
    selections = Selections{};
    selections.option = {0, 0, 0, 3, 6};
    showAutoRanging();
}

void OptionsForm::showAutoRanging() {
    selections.autoAttenuator = settings_.autoAttenuator;
    selections.autoRate = settings_.autoRate;
    emit checksChanged();
}

void OptionsForm::take(Group group, qint32& setting) const {
    const int i = selections.option[static_cast<size_t>(group)];
    if (i < 0 || i >= groupSize(group)) {
        return;
    }
    setting = groupValues[static_cast<size_t>(group)][static_cast<size_t>(i)];
}

void OptionsForm::set() {
    switch (selections.tab) {
        case SampleTime:
            take(SampleTimeOptions, settings_.sampleMs);
            break;
        case AutoRange:
            settings_.autoAttenuator = selections.autoAttenuator;
            settings_.autoRate = selections.autoRate;
            emit autoRangingSet();
            break;
        case TvMulti:
            take(TvMultiOptions, settings_.tvMultiplier);
            emit tvMultiplierSet();
            break;
        case ComSpeed:
            take(SpeedOptions, settings_.speedIndex);
            requests_.speedChange = true;
            break;
        case QnConf:
            take(GateTimeOptions, settings_.gateTimeMs);
            take(QnPassesOptions, settings_.qnPasses);
            settings_.qnCondition = selections.qnCondition;
            break;
        default:
            break;
    }
    emit settingsSet();
}

bool OptionsForm::setOption(Group group, qint32 value) {
    qint32* setting = group == SampleTimeOptions ? &settings_.sampleMs
                      : group == GateTimeOptions ? &settings_.gateTimeMs
                      : group == QnPassesOptions ? &settings_.qnPasses
                                                 : nullptr;
    const auto& values = groupValues[static_cast<size_t>(group)];
    for (int i = 0; setting != nullptr && i < groupSize(group); ++i) {
        if (values[static_cast<size_t>(i)] == value) {
            selections.option[static_cast<size_t>(group)] = i;
            *setting = value;
            emit selectionsChanged();
            emit settingsSet();
            return true;
        }
    }
    return false;
}

void OptionsForm::setTvReadout(const QString& text) {
    if (text != tvReadout_) {
        tvReadout_ = text;
        emit readoutChanged(text);
    }
}

}  // namespace kr5
