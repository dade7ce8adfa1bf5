// The Options logic: the initial selections, Set applying only the tab that shows, the
// requests and signals it leaves for the rest of the program, the check boxes following
// the settings, and the QN Conf. read-out. The window itself is tested in
// recordswindows_test.cpp.
#include "records/optionsform.h"

#include <gtest/gtest.h>

#include <vector>

namespace kr5 {
namespace {

class OptionsFormTest : public ::testing::Test {
  protected:
    OperatingSettings settings;
    Requests requests;
    OptionsForm form{settings, requests};
    int autoRangingSets = 0;
    int tvMultiplierSets = 0;

    OptionsFormTest() {
        QObject::connect(&form, &OptionsForm::autoRangingSet, [this] { ++autoRangingSets; });
        QObject::connect(&form, &OptionsForm::tvMultiplierSet, [this] { ++tvMultiplierSets; });
    }

    void set(OptionsForm::Tab tab) {
        form.selections.tab = tab;
        form.set();
    }
    void select(OptionsForm::Group group, int i) {
        form.selections.option[static_cast<size_t>(group)] = i;
    }
};

TEST_F(OptionsFormTest, SetAppliesOnlyTheTabThatShows) {
    select(OptionsForm::Option1, 3);  // 500ms on Sample time
    select(OptionsForm::Option2, 2);  // x4 on TV Multi
    select(OptionsForm::Option4, 0);  // 100ms gate and 10 passes on QN Conf.
    select(OptionsForm::Option5, 1);
    form.selections.check1 = false;
    form.selections.text1 = QStringLiteral("dry, 20 C");
    set(OptionsForm::TvMulti);
    EXPECT_EQ(settings.sampleMs, 0);
    EXPECT_EQ(settings.tvMultiplier, 4);
    EXPECT_TRUE(settings.autoAttenuator);
    EXPECT_TRUE(settings.qnCondition.isEmpty());
    EXPECT_EQ(std::pair(settings.gateTimeMs, settings.qnPasses),
              std::pair(1000, OperatingSettings::nonStop));
    EXPECT_EQ(tvMultiplierSets, 1);
    EXPECT_EQ(autoRangingSets, 0);
    EXPECT_FALSE(requests.speedChange);

    set(OptionsForm::SampleTime);
    EXPECT_EQ(settings.sampleMs, 500);
    EXPECT_EQ(tvMultiplierSets, 1);
    set(OptionsForm::AutoRange);  // takes both boxes; the panel's titles follow the signal
    EXPECT_FALSE(settings.autoAttenuator);
    EXPECT_TRUE(settings.autoRate);
    EXPECT_EQ(autoRangingSets, 1);
    set(OptionsForm::QnConf);  // the gate, the passes and the condition together
    EXPECT_EQ(settings.gateTimeMs, 100);
    EXPECT_EQ(settings.qnPasses, 10);
    EXPECT_EQ(settings.qnCondition, QStringLiteral("dry, 20 C"));
    EXPECT_EQ(std::pair(autoRangingSets, tvMultiplierSets), std::pair(1, 1));
    EXPECT_FALSE(requests.speedChange);
}

TEST_F(OptionsFormTest, EveryElementGivesItsValue) {
    const auto check = [this](OptionsForm::Group group, OptionsForm::Tab tab, const qint32& setting,
                              const std::vector<qint32>& values) {
        ASSERT_EQ(static_cast<int>(values.size()), OptionsForm::groupSize(group));
        for (size_t i = 0; i < values.size(); ++i) {
            select(group, static_cast<int>(i));
            set(tab);
            EXPECT_EQ(setting, values[i]) << "Option" << group + 1 << "(" << i << ")";
        }
    };
    check(OptionsForm::Option1, OptionsForm::SampleTime, settings.sampleMs, {0, 100, 200, 500});
    check(OptionsForm::Option2, OptionsForm::TvMulti, settings.tvMultiplier, {1, 2, 4, 5});
    check(OptionsForm::Option3, OptionsForm::ComSpeed, settings.speedIndex, {0, 1, 2});
    check(OptionsForm::Option4, OptionsForm::QnConf, settings.gateTimeMs, {100, 200, 500, 1000});
    check(OptionsForm::Option5, OptionsForm::QnConf, settings.qnPasses,
          {5, 10, 15, 20, 25, 30, OperatingSettings::nonStop});
}

// Com. Speed requests the speed at every Set, and a group without a selection (or with
// one beyond the group) keeps its setting.
TEST_F(OptionsFormTest, SpeedTabRequestsTheSpeedEvenWhenUnchanged) {
    set(OptionsForm::ComSpeed);
    EXPECT_EQ(settings.speedIndex, 0);
    EXPECT_TRUE(requests.speedChange);

    select(OptionsForm::Option3, 2);
    set(OptionsForm::ComSpeed);
    for (int outside : {OptionsForm::noSelection, 3}) {
        requests.speedChange = false;  // the loop carried it out
        select(OptionsForm::Option3, outside);
        set(OptionsForm::ComSpeed);
        EXPECT_EQ(settings.speedIndex, 2) << outside;
        EXPECT_TRUE(requests.speedChange) << outside;
    }
}

// The first opening and every later one (Form_Load) show the initial selections with
// the panel's automatic state; the read-out is not a selection.
TEST_F(OptionsFormTest, FormLoadGivesTheInitialSelectionsAndTheAutoState) {
    const auto expectInitial = [this] {
        EXPECT_EQ(form.selections.tab, OptionsForm::SampleTime);
        EXPECT_EQ(form.selections.option, (std::array<int, 5>{0, 0, 0, 3, 6}));
        EXPECT_TRUE(form.selections.text1.isEmpty());
        EXPECT_EQ(form.selections.check1, settings.autoAttenuator);
        EXPECT_EQ(form.selections.check2, settings.autoRate);
    };
    expectInitial();
    EXPECT_TRUE(settings.autoAttenuator && settings.autoRate);
    int changes = 0;
    QStringList readouts;
    QObject::connect(&form, &OptionsForm::checksChanged, [&] { ++changes; });
    QObject::connect(&form, &OptionsForm::readoutChanged,
                     [&](const QString& text) { readouts << text; });
    select(OptionsForm::Option1, 2);
    select(OptionsForm::Option5, 0);
    form.selections.tab = OptionsForm::QnConf;
    form.selections.text1 = QStringLiteral("wet");
    form.setTvReadout(QStringLiteral(" 1.0kV"));
    form.setTvReadout(QStringLiteral(" 1.0kV"));  // unchanged: no signal
    settings.autoAttenuator = false;
    form.loadDefaults();
    expectInitial();
    EXPECT_EQ(form.label4(), QStringLiteral(" 1.0kV"));
    EXPECT_EQ(readouts, QStringList{QStringLiteral(" 1.0kV")});

    settings.autoRate = false;  // showAutoRanging alone follows the panel and signals the window
    form.showAutoRanging();
    expectInitial();
    EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace kr5
