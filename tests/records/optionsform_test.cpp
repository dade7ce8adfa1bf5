// The Options logic: the initial selections, Set applying only the tab that shows, the
// check boxes following the globals, and the QN Conf. read-out.
#include "records/optionsform.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

class OptionsFormTest : public ::testing::Test {
  protected:
    Globals g;
    OptionsForm form{g};
    int autocolors = 0;
    int chartClears = 0;

    OptionsFormTest() {
        form.autocolor = [this] { ++autocolors; };
        form.clearTvCharts = [this] { ++chartClears; };
    }

    void set(OptionsForm::Tab tab) {
        form.selections.tab = tab;
        form.command2Click();
    }
    void select(OptionsForm::Group group, int i) {
        form.selections.option[static_cast<size_t>(group)] = i;
    }
};

TEST_F(OptionsFormTest, InitialSelectionsMatchTheDefaults) {
    EXPECT_EQ(form.selections.tab, OptionsForm::SampleTime);
    EXPECT_EQ(form.selections.option, (std::array<int, 5>{0, 0, 0, 3, 6}));
    EXPECT_TRUE(form.selections.check1);
    EXPECT_TRUE(form.selections.check2);

    // Pressing Set on every tab with the initial selections leaves the defaults.
    const Globals defaults;
    for (int tab = 0; tab < OptionsForm::tabCount; ++tab) {
        set(static_cast<OptionsForm::Tab>(tab));
    }
    EXPECT_EQ(g.samplems, defaults.samplems);
    EXPECT_EQ(g.tvmulti, 1);
    EXPECT_EQ(g.comspeed, 0);
    EXPECT_EQ(g.gatetime, 1000);
    EXPECT_EQ(g.qnloops, -1);
}

TEST_F(OptionsFormTest, SetAppliesOnlyTheTabThatShows) {
    select(OptionsForm::Option1, 3);  // 500ms on Sample time
    select(OptionsForm::Option2, 2);  // x4 on TV Multi
    form.selections.check1 = false;
    set(OptionsForm::TvMulti);
    EXPECT_EQ(g.samplems, 0);
    EXPECT_EQ(g.tvmulti, 4);
    EXPECT_TRUE(g.autoatt);
    EXPECT_EQ(chartClears, 1);
    EXPECT_EQ(autocolors, 0);
    EXPECT_FALSE(g.speedreq);

    set(OptionsForm::SampleTime);
    EXPECT_EQ(g.samplems, 500);
}

TEST_F(OptionsFormTest, EveryElementGivesItsValue) {
    const std::array<qint32, 4> samples = {0, 100, 200, 500};
    const std::array<qint32, 4> multis = {1, 2, 4, 5};
    const std::array<qint32, 4> gates = {100, 200, 500, 1000};
    const std::array<qint32, 7> loops = {5, 10, 15, 20, 25, 30, -1};
    for (int i = 0; i < 4; ++i) {
        select(OptionsForm::Option1, i);
        set(OptionsForm::SampleTime);
        EXPECT_EQ(g.samplems, samples[static_cast<size_t>(i)]);
        select(OptionsForm::Option2, i);
        set(OptionsForm::TvMulti);
        EXPECT_EQ(g.tvmulti, multis[static_cast<size_t>(i)]);
        select(OptionsForm::Option4, i);
        set(OptionsForm::QnConf);
        EXPECT_EQ(g.gatetime, gates[static_cast<size_t>(i)]);
    }
    for (int i = 0; i < 7; ++i) {
        select(OptionsForm::Option5, i);
        set(OptionsForm::QnConf);
        EXPECT_EQ(g.qnloops, loops[static_cast<size_t>(i)]);
    }
}

TEST_F(OptionsFormTest, SpeedTabRequestsTheSpeedEvenWhenUnchanged) {
    set(OptionsForm::ComSpeed);
    EXPECT_EQ(g.comspeed, 0);
    EXPECT_TRUE(g.speedreq);

    g.speedreq = false;  // the loop carried it out
    select(OptionsForm::Option3, 2);
    set(OptionsForm::ComSpeed);
    EXPECT_EQ(g.comspeed, 2);
    EXPECT_TRUE(g.speedreq);
}

TEST_F(OptionsFormTest, AutoRangeTakesBothBoxesAndRecoloursTheTitles) {
    form.selections.check1 = false;
    set(OptionsForm::AutoRange);
    EXPECT_FALSE(g.autoatt);
    EXPECT_TRUE(g.autorate);
    EXPECT_EQ(autocolors, 1);
}

TEST_F(OptionsFormTest, QnConfTakesTheConditionAndTheReadoutOfThatMoment) {
    form.setTvReadout(QStringLiteral(" 12.5kV"));
    form.selections.text1 = QStringLiteral("dry, 20 C");
    set(OptionsForm::QnConf);
    form.setTvReadout(QStringLiteral(" 13.0kV"));
    EXPECT_EQ(g.qntv, QStringLiteral(" 12.5kV"));
    EXPECT_EQ(g.qncond, QStringLiteral("dry, 20 C"));
}

TEST_F(OptionsFormTest, AGroupWithoutSelectionKeepsItsGlobal) {
    g.samplems = 200;
    g.comspeed = 1;
    select(OptionsForm::Option1, OptionsForm::noSelection);
    select(OptionsForm::Option3, OptionsForm::noSelection);
    set(OptionsForm::SampleTime);
    set(OptionsForm::ComSpeed);
    EXPECT_EQ(g.samplems, 200);
    EXPECT_EQ(g.comspeed, 1);
    EXPECT_TRUE(g.speedreq);
}

TEST_F(OptionsFormTest, FormLoadResetsTheSelectionsAndTakesTheAutoState) {
    select(OptionsForm::Option1, 2);
    select(OptionsForm::Option5, 0);
    form.selections.tab = OptionsForm::QnConf;
    form.selections.text1 = QStringLiteral("wet");
    form.setTvReadout(QStringLiteral(" 1.0kV"));
    g.autoatt = false;
    form.formLoad();
    EXPECT_EQ(form.selections.option, (std::array<int, 5>{0, 0, 0, 3, 6}));
    EXPECT_EQ(form.selections.tab, OptionsForm::SampleTime);
    EXPECT_TRUE(form.selections.text1.isEmpty());
    EXPECT_FALSE(form.selections.check1);
    EXPECT_EQ(form.label4(), QStringLiteral(" 1.0kV")) << "the read-out is not a selection";
}

TEST_F(OptionsFormTest, SetautoFollowsThePanelAndSignalsTheWindow) {
    int changes = 0;
    QObject::connect(&form, &OptionsForm::checksChanged, [&] { ++changes; });
    g.autorate = false;
    form.setauto();
    EXPECT_TRUE(form.selections.check1);
    EXPECT_FALSE(form.selections.check2);
    EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace kr5
