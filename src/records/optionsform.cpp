#include "optionsform.h"

namespace kr5 {

namespace {

// The value each element of a group stands for.
const std::array<std::array<qint32, 7>, OptionsForm::groupCount> groupValues = {{
    {0, 100, 200, 500},           // Option1: samplems, ms ("MIN" is no pause)
    {1, 2, 4, 5},                 // Option2: tvmulti
    {0, 1, 2},                    // Option3: comspeed index
    {100, 200, 500, 1000},        // Option4: gatetime, ms
    {5, 10, 15, 20, 25, 30, -1},  // Option5: qnloops, -1 Non Stop
}};

}  // namespace

int OptionsForm::groupSize(Group group) {
    constexpr std::array<int, groupCount> sizes = {4, 4, 3, 4, 7};
    return sizes[static_cast<size_t>(group)];
}

OptionsForm::OptionsForm(Globals& g) : g_(g) {
    formLoad();
}

void OptionsForm::formLoad() {
    selections = Selections{};
    selections.option = {0, 0, 0, 3, 6};
    setauto();
}

void OptionsForm::setauto() {
    selections.check1 = g_.autoatt;
    selections.check2 = g_.autorate;
    emit checksChanged();
}

void OptionsForm::take(Group group, qint32& global) const {
    const int i = selections.option[static_cast<size_t>(group)];
    if (i < 0 || i >= groupSize(group)) {
        return;
    }
    global = groupValues[static_cast<size_t>(group)][static_cast<size_t>(i)];
}

void OptionsForm::command2Click() {
    switch (selections.tab) {
        case SampleTime:
            take(Option1, g_.samplems);
            break;
        case AutoRange:
            g_.autoatt = selections.check1;
            g_.autorate = selections.check2;
            if (autocolor) {
                autocolor();
            }
            break;
        case TvMulti:
            take(Option2, g_.tvmulti);
            if (clearTvCharts) {
                clearTvCharts();
            }
            break;
        case ComSpeed:
            take(Option3, g_.comspeed);
            g_.speedreq = true;
            break;
        case QnConf:
            take(Option4, g_.gatetime);
            take(Option5, g_.qnloops);
            g_.qntv = label4_;
            g_.qncond = selections.text1;
            break;
        default:
            break;
    }
}

void OptionsForm::setTvReadout(const QString& text) {
    if (text != label4_) {
        label4_ = text;
        emit readoutChanged(text);
    }
}

}  // namespace kr5
