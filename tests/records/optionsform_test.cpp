// The Options logic: the initial selections, Set applying only the tab that shows, the
// check boxes following the globals, and the QN Conf. read-out.
#include "records/optionsform.h"

#include <gtest/gtest.h>

#include <vector>

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

TEST_F(OptionsFormTest, SetAppliesOnlyTheTabThatShows) {
    select(OptionsForm::Option1, 3);  // 500ms on Sample time
    select(OptionsForm::Option2, 2);  // x4 on TV Multi
    form.selections.check1 = false;
    form.selections.text1 = QStringLiteral("dry, 20 C");
    form.setTvReadout(QStringLiteral(" 12.5kV"));
    set(OptionsForm::TvMulti);
    EXPECT_EQ(g.samplems, 0);
    EXPECT_EQ(g.tvmulti, 4);
    EXPECT_TRUE(g.autoatt);
    EXPECT_TRUE(g.qncond.isEmpty());
    EXPECT_EQ(chartClears, 1);
    EXPECT_EQ(autocolors, 0);
    EXPECT_FALSE(g.speedreq);

    set(OptionsForm::SampleTime);
    EXPECT_EQ(g.samplems, 500);
    set(OptionsForm::AutoRange);  // takes both boxes and recolours the titles
    EXPECT_FALSE(g.autoatt);
    EXPECT_TRUE(g.autorate);
    EXPECT_EQ(autocolors, 1);
    set(OptionsForm::QnConf);  // takes the condition and the read-out of that moment
    form.setTvReadout(QStringLiteral(" 13.0kV"));
    EXPECT_EQ(g.qntv, QStringLiteral(" 12.5kV"));
    EXPECT_EQ(g.qncond, QStringLiteral("dry, 20 C"));
}

TEST_F(OptionsFormTest, EveryElementGivesItsValue) {
    const auto check = [this](OptionsForm::Group group, OptionsForm::Tab tab, const qint32& global,
                              const std::vector<qint32>& values) {
        for (size_t i = 0; i < values.size(); ++i) {
            select(group, static_cast<int>(i));
            set(tab);
            EXPECT_EQ(global, values[i]) << "Option" << group + 1 << "(" << i << ")";
        }
    };
    check(OptionsForm::Option1, OptionsForm::SampleTime, g.samplems, {0, 100, 200, 500});
    check(OptionsForm::Option2, OptionsForm::TvMulti, g.tvmulti, {1, 2, 4, 5});
    check(OptionsForm::Option3, OptionsForm::ComSpeed, g.comspeed, {0, 1, 2});
    check(OptionsForm::Option4, OptionsForm::QnConf, g.gatetime, {100, 200, 500, 1000});
    check(OptionsForm::Option5, OptionsForm::QnConf, g.qnloops, {5, 10, 15, 20, 25, 30, -1});
}

// Com. Speed requests the speed at every Set, and a group without a selection keeps its
// global.
TEST_F(OptionsFormTest, SpeedTabRequestsTheSpeedEvenWhenUnchanged) {
    set(OptionsForm::ComSpeed);
    EXPECT_EQ(g.comspeed, 0);
    EXPECT_TRUE(g.speedreq);

    select(OptionsForm::Option3, 2);
    set(OptionsForm::ComSpeed);
    g.speedreq = false;  // the loop carried it out
    select(OptionsForm::Option3, OptionsForm::noSelection);
    set(OptionsForm::ComSpeed);
    EXPECT_EQ(g.comspeed, 2);
    EXPECT_TRUE(g.speedreq);
}

// The first opening and every later one (Form_Load) show the initial selections with
// the panel's automatic state; the read-out is not a selection.
TEST_F(OptionsFormTest, FormLoadGivesTheInitialSelectionsAndTheAutoState) {
    const auto expectInitial = [this] {
        EXPECT_EQ(form.selections.tab, OptionsForm::SampleTime);
        EXPECT_EQ(form.selections.option, (std::array<int, 5>{0, 0, 0, 3, 6}));
        EXPECT_TRUE(form.selections.text1.isEmpty());
        EXPECT_EQ(form.selections.check1, g.autoatt);
        EXPECT_EQ(form.selections.check2, g.autorate);
    };
    expectInitial();
    EXPECT_TRUE(g.autoatt && g.autorate);
    int changes = 0;
    QObject::connect(&form, &OptionsForm::checksChanged, [&] { ++changes; });
    select(OptionsForm::Option1, 2);
    select(OptionsForm::Option5, 0);
    form.selections.tab = OptionsForm::QnConf;
    form.selections.text1 = QStringLiteral("wet");
    form.setTvReadout(QStringLiteral(" 1.0kV"));
    g.autoatt = false;
    form.formLoad();
    expectInitial();
    EXPECT_EQ(form.label4(), QStringLiteral(" 1.0kV"));

    g.autorate = false;  // setauto alone follows the panel and signals the window
    form.setauto();
    expectInitial();
    EXPECT_EQ(changes, 2);
}

}  // namespace
}  // namespace kr5
