// The evaluation of readings and the panel logic, against a fake panel: number patterns,
// the show-only-on-change rule, automatic ranging and the REMOTE and title handlers.
#include "measure/evaluation.h"
#include "support/fakepanelview.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

// An "x" reply: hex peak, hex rate, attenuator digit, rate digit.
QString xReply(int peak, int rate, int att, int rateRange) {
    return QString::asprintf("A0x%02X%02X%d%d\r\n", peak, rate, att, rateRange);
}

using Plot = std::vector<double>;  // q0, n, v, att as handed to gplot

struct Rig : ::testing::Test {
    Globals g;
    test::FakePanelView view;
    Requests req;
    FrontPanel panel{g, req, view};
    Evaluation eval{g, view, panel};
    std::vector<Plot> plots;
    std::vector<QString> rows;
    std::vector<int> chmcols;

    void SetUp() override {
        view.onPeakbClick = [this](int i) { panel.peakbClick(i); };
        view.onRatebClick = [this](int i) { panel.ratebClick(i); };
        view.onRemoteClick = [this](bool on) { panel.remoteClick(on); };
        eval.gplot = [this](double q0, double n, double v, int att) {
            plots.push_back({q0, n, v, double(att)});
        };
        eval.dataRow = [this](int att, double q, int r, double pps, double tv) {
            rows.push_back(
                QStringLiteral("%1,%2,%3,%4,%5").arg(att).arg(q).arg(r).arg(pps).arg(tv));
        };
        panel.chmcol = [this](int i) { chmcols.push_back(i); };
    }

    // One normal cycle's evaluation with the given replies.
    void cycle(const QString& x, const QString& t = QStringLiteral("0xx1000")) {
        eval.plotPrevious();
        eval.detectorReply(x);
        eval.acReply(t);
        eval.autoRange();
    }
};

TEST_F(Rig, TheFirstCycleHandsZerosToTheChartsThenThePreviousCyclesValues) {
    cycle(xReply(0x80, 0x40, 3, 1), QStringLiteral("A1t2123\r\n"));
    EXPECT_EQ(plots, (std::vector<Plot>{{0, 0, 0, 0}}));
    // Without Adjust, with the TV multiplier.
    g.kadj = 2.0;
    g.tvmulti = 4;
    cycle(xReply(0, 0, 0, 0));
    EXPECT_EQ(plots[1],
              (Plot{10 * (0x80 / 170.0 * 10.0), 5 * (0x40 / 170.0 * 100.0), 12.3 * 4, 3}));
}

TEST_F(Rig, ReadoutsChangeOnlyWhenTheRawReadingChanges) {
    cycle(xReply(0, 0, 0, 0));
    EXPECT_EQ(view.readouts.count(Readout::Vpeak) + view.readouts.count(Readout::Vpps), 0u);
    EXPECT_TRUE(view.meters.empty());
    cycle(xReply(0x11, 0x11, 0, 0));
    EXPECT_EQ(view.readout(Readout::Vpeak), QStringLiteral("1.00"));
    EXPECT_EQ(view.readout(Readout::Vpps), QStringLiteral("10.0"));
    // Same raw peak at another range: the shown charge stays as it was.
    cycle(xReply(0x11, 0x11, 1, 0));
    EXPECT_EQ(view.readout(Readout::Vpeak), QStringLiteral("1.00"));
    cycle(xReply(0, 0, 1, 0));
    EXPECT_EQ(view.readout(Readout::Vpeak), QStringLiteral(".00"));
    EXPECT_EQ(view.readout(Readout::Vpps), QStringLiteral(".0"));
    // Full scale at the top ranges; the meters get the raw readings.
    view.meters.clear();
    cycle(xReply(0xFF, 0xFF, 9, 3));
    EXPECT_EQ(view.readout(Readout::Vpeak), QStringLiteral("15000.00"));
    EXPECT_EQ(view.readout(Readout::Vpps), QStringLiteral("7500.0"));
    EXPECT_EQ(view.meters[Meter::Scal2], std::vector<double>{15.0});
    EXPECT_EQ(view.meters[Meter::Scal1], std::vector<double>{150.0});
}

TEST_F(Rig, TheVoltageGoesToThePanelTheOptionsReadoutAndTheQnMarker) {
    QString shown;
    eval.showTv = [&](const QString& t) { shown = t; };
    cycle(xReply(0, 0, 0, 0), QStringLiteral("A1t3050\r\n"));  // Es 105.0 V, PT 100
    EXPECT_EQ(view.readout(Readout::Des), QStringLiteral("105.0"));
    EXPECT_EQ(view.readout(Readout::Dtv), QStringLiteral(" 10.5kV"));
    EXPECT_EQ(shown, QStringLiteral(" 10.5kV"));
    EXPECT_EQ(g.qntv, shown);
    g.acuok = false;  // without an AC unit the voltage reads zero
    cycle(xReply(0x20, 0x20, 0, 0));
    EXPECT_EQ(view.readout(Readout::Des), QStringLiteral("00.0"));
    EXPECT_EQ(view.readout(Readout::Dtv), QStringLiteral(" 0V"));
    EXPECT_EQ(g.qntv, QStringLiteral(" 0V"));
}

TEST_F(Rig, DataRowsOnlyWhileRecordingAndAGarbledRateDigitKeepsTheLastValidRange) {
    cycle(xReply(0x55, 0x22, 2, 1), QStringLiteral("A1t2120\r\n"));
    EXPECT_TRUE(rows.empty());
    g.recon = true;
    cycle(xReply(0x55, 0x22, 2, 1), QStringLiteral("A1t2120\r\n"));
    EXPECT_EQ(rows, (std::vector<QString>{QStringLiteral("2,25,1,100,1200")}));

    cycle(xReply(0x11, 0x22, 0, 2));
    cycle(xReply(0x11, 0x33, 0, 7));  // 7 has no rate range
    EXPECT_EQ(eval.ratenow, 2);
    EXPECT_EQ(view.readout(Readout::Vpps), QStringLiteral("300.0"));
    EXPECT_TRUE(rows.back().startsWith(QLatin1String("0,1,2,300,")));
    cycle(QStringLiteral("garbage"));  // a digit that is no digit reads as range 0
    EXPECT_EQ(eval.ratenow, 0);
}

TEST_F(Rig, AQnStepShowsItsCountAndLeavesTheRateMeterAndTheRanges) {
    g.recon = true;
    eval.qnStep(xReply(0x11, 0x99, 5, 3), QStringLiteral("A1t2100\r\n"), 42, 4);
    EXPECT_EQ(view.readout(Readout::Vpps), QStringLiteral("42.0"));
    EXPECT_EQ(view.readout(Readout::Vpeak), QStringLiteral("20.00"));  // range 4 of the step
    EXPECT_EQ(view.meters.count(Meter::Scal1), 0u);
    EXPECT_EQ(plots, (std::vector<Plot>{{20.0, 42.0, 10.0, 4}}));
    EXPECT_EQ(rows.back(), QStringLiteral("4,20,0,42,1000"));
    EXPECT_EQ(eval.attnow, 0);
    EXPECT_EQ(view.peakbSelections, 0);
}

TEST_F(Rig, TheNoiseDiscriminatorsSettingsGoToItsPanel) {
    std::vector<int> got;
    eval.showNoiseSettings = [&](int a, int b, int f) { got = {a, b, f}; };
    eval.noiseReply(QStringLiteral("A2g3217\r\n"));
    EXPECT_EQ(got, (std::vector<int>{3, 7, 2}));
}

TEST_F(Rig, AutoRangingUsesStrictThresholdsOneStepPerCycleInRemoteOnly) {
    // Cycle after cycle: REMOTE, the raw peak and rate, the reported attenuator and rate
    // ranges; then the requested ranges, ratenow taking the rate range at once.
    const int cycles[][6] = {
        {1, 0xAA, 4, 1, 4, 1},                         // exactly 10.0 V and 100 P.P.S.: no change
        {1, 0xAB, 4, 1, 5, 2},                         // above: one range up each
        {1, 0x11, 4, 1, 4, 1},                         // exactly 1.0 and 10: no change
        {1, 0x10, 4, 1, 3, 0},                         // below: one range down
        {1, 0xFF, 9, 3, 9, 3},                         // at the ends of the ranges nothing moves
        {1, 0x00, 0, 0, 0, 0}, {0, 0xFF, 2, 1, 2, 1},  // in local mode automatic ranging rests
    };
    for (const auto& c : cycles) {
        SCOPED_TRACE(testing::Message() << "cycle " << (&c - cycles));
        view.setRemoteChecked(c[0] != 0);
        cycle(xReply(c[1], c[1], c[2], c[3]));
        EXPECT_EQ(req.attreq, c[4]);
        EXPECT_EQ(req.ratereq, c[5]);
        EXPECT_EQ(eval.ratenow, c[5]);
    }
    // The rate step plots the previous rate with the new multiplier.
    EXPECT_DOUBLE_EQ(plots[2][1], 10 * (0xAB / 170.0 * 100.0));
}

TEST_F(Rig, ALocalRangeChangeIsFollowedAndSentBackOnce) {
    for (int i = 0; i < 2; ++i) {  // the second time it is shown already
        cycle(xReply(0x20, 0x20, 6, 0));
        EXPECT_EQ(view.peakb, 6);
        EXPECT_EQ(req.attreq, 6);
        EXPECT_EQ(view.peakbSelections, 1);
        EXPECT_EQ(chmcols, (std::vector<int>{6}));
    }
}

TEST_F(Rig, RemoteBoxAndRangeTitles) {
    view.setRemoteChecked(true);
    EXPECT_TRUE(view.framesEnabled);
    EXPECT_EQ(req.remcmd, QStringLiteral("m1"));
    req.remreq = false;
    view.setRemoteChecked(false);
    EXPECT_FALSE(view.framesEnabled);
    EXPECT_EQ(req.remcmd, QStringLiteral("m0"));
    EXPECT_TRUE(req.remreq);

    int setautoCalls = 0;
    panel.setauto = [&] { ++setautoCalls; };
    panel.autocolor();
    const quint32 on = view.attTitleColour;
    panel.label4Click();
    EXPECT_FALSE(g.autoatt);
    EXPECT_NE(view.attTitleColour, on);
    EXPECT_EQ(view.rateTitleColour, on);
    panel.label4Click();
    EXPECT_TRUE(g.autoatt);
    EXPECT_EQ(view.attTitleColour, on);
    panel.label7Click();
    EXPECT_FALSE(g.autorate);
    EXPECT_NE(view.rateTitleColour, on);
    EXPECT_EQ(setautoCalls, 3);
}

}  // namespace
}  // namespace kr5
