// The Options logic: Set applies only the tab that shows. The window is in
// recordswindows_test.cpp.
#include "records/optionsform.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kr5 {
namespace {

TEST(OptionsForm, SetAppliesOnlyTheTabThatShows) {
    OperatingSettings settings;
    Requests requests;
    OptionsForm form{settings, requests};
    int autoRangingSets = 0;
    int tvMultiplierSets = 0;
    QObject::connect(&form, &OptionsForm::autoRangingSet, [&] { ++autoRangingSets; });
    QObject::connect(&form, &OptionsForm::tvMultiplierSet, [&] { ++tvMultiplierSets; });
    const auto set = [&form](OptionsForm::Tab tab) {
        form.selections.tab = tab;
        form.set();
    };
    const auto select = [&form](OptionsForm::Group group, int i) {
        form.selections.option[static_cast<size_t>(group)] = i;
    };
    // Every setting Set may change, and the signals and request it leaves.
    const auto all = [&] {
        return std::tuple(settings.sampleMs, settings.tvMultiplier, settings.autoAttenuator,
                          settings.autoRate, settings.speedIndex, settings.gateTimeMs,
                          settings.qnPasses, settings.qnCondition, autoRangingSets,
                          tvMultiplierSets, requests.speedChange);
    };
    constexpr qint32 nonStop = OperatingSettings::nonStop;
    select(OptionsForm::SampleTimeOptions, 3);  // 500ms on Sample time
    select(OptionsForm::TvMultiOptions, 2);     // x4 on TV Multi
    select(OptionsForm::SpeedOptions, 1);       // 19200bps on Com. Speed
    select(OptionsForm::GateTimeOptions, 0);    // 100ms gate and 10 passes on QN Conf.
    select(OptionsForm::QnPassesOptions, 1);
    form.selections.autoAttenuator = false;
    form.selections.autoRate = false;
    form.selections.qnCondition = QStringLiteral("dry, 20 C");
    const QString none;
    set(OptionsForm::TvMulti);
    EXPECT_EQ(all(), std::tuple(0, 4, true, true, 0, 1000, nonStop, none, 0, 1, false));
    set(OptionsForm::SampleTime);
    EXPECT_EQ(all(), std::tuple(500, 4, true, true, 0, 1000, nonStop, none, 0, 1, false));
    set(OptionsForm::AutoRange);  // both boxes; the panel's titles follow the signal
    EXPECT_EQ(all(), std::tuple(500, 4, false, false, 0, 1000, nonStop, none, 1, 1, false));
    set(OptionsForm::QnConf);  // the gate, the passes and the condition together
    const QString dry = QStringLiteral("dry, 20 C");
    EXPECT_EQ(all(), std::tuple(500, 4, false, false, 0, 100, 10, dry, 1, 1, false));
    set(OptionsForm::ComSpeed);
    EXPECT_EQ(all(), std::tuple(500, 4, false, false, 1, 100, 10, dry, 1, 1, true));
    // Com. Speed requests the speed at every Set; a group without a selection, or with one
    // beyond the group, keeps its setting.
    for (int outside : {OptionsForm::noSelection, 3}) {
        requests.speedChange = false;  // the loop carried it out
        select(OptionsForm::SpeedOptions, outside);
        set(OptionsForm::ComSpeed);
        EXPECT_EQ(all(), std::tuple(500, 4, false, false, 1, 100, 10, dry, 1, 1, true)) << outside;
    }
}

}  // namespace
}  // namespace kr5
