// The front panel's model: what a reading without the detector's or the AC unit's reply
// leaves shown, the ranges followed and sent back, and automatic ranging. The REMOTE box, the
// Q-N lock and the range titles are worked through the widget, and the readouts' texts and
// meters read on it, in panelwidget_test (the REMOTE request of a Q-N start in
// qnsequence_test); readings are built by the evaluator as the loop builds them.
#include "measure/panelmodel.h"
#include "measure/evaluation.h"

#include "support/benchunits.h"
#include "support/replies.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

using test::detectorReply;
using test::whole;

struct Panel : ::testing::Test {
    InputConstants constants;
    OperatingSettings settings;
    UnitsOnLine units;
    Requests requests;
    ReadingEvaluator evaluator{constants, units};
    PanelModel panel{requests, settings};
    std::vector<int> followed;  // the trend's rate scale colours asked for

    void SetUp() override {
        test::defaultBenchUnits(units);
        QObject::connect(&panel, &PanelModel::followedAttenuatorChanged,
                         [this](int range) { followed.push_back(range); });
    }

    void cycle(Reply detector, Reply ac = whole("A1t2123\r\n")) {
        panel.takeReading(evaluator.cycle({0, detector, ac, Reply{}}));
    }
    QString charge() const { return panel.readouts().charge; }
    QString rate() const { return panel.readouts().pulseRate; }
};

// A cycle without the detector's reply keeps the values shown, marks them old, and moves
// no range; the AC unit's values likewise.
TEST_F(Panel, AMissingReplyKeepsTheLastValuesMarkedOldAndMovesNoRange) {
    panel.setRemote(true);
    cycle(detectorReply(0x55, 0x55, 4, 1));
    const PanelReadouts before = panel.readouts();
    const Requests asked = requests;
    cycle(Reply{Reply::Status::Missing, {}}, Reply{Reply::Status::Missing, {}});
    const PanelReadouts& now = panel.readouts();
    EXPECT_EQ(QStringList({now.charge, now.pulseRate, now.es, now.testVoltage}),
              QStringList({before.charge, before.pulseRate, before.es, before.testVoltage}));
    EXPECT_TRUE(now.detectorStale && now.voltageStale);
    EXPECT_EQ(std::pair(requests.attenuator, requests.rate),
              std::pair(asked.attenuator, asked.rate));
    EXPECT_EQ(panel.attenuatorButton(), 4);
    // The detector back, the AC unit still away.
    cycle(detectorReply(0x66, 0x55, 4, 1), Reply{Reply::Status::Short, QStringLiteral("A1t")});
    EXPECT_FALSE(now.detectorStale);
    EXPECT_TRUE(now.voltageStale);
    EXPECT_NE(charge(), before.charge);
}

TEST_F(Panel, AutoRangingUsesStrictThresholdsOneStepPerCycleInRemoteOnly) {
    // REMOTE, the raw peak and rate code, the reported attenuator and rate ranges; then
    // the requested ranges.
    const int cycles[][6] = {
        {1, 0xAA, 4, 1, 4, 1},                         // exactly 10.0 V and 100: no change
        {1, 0xAB, 4, 1, 5, 2},                         // above: one range up each
        {1, 0x11, 4, 1, 4, 1},                         // exactly 1.0 and 10: no change
        {1, 0x10, 4, 1, 3, 0},                         // below: one range down
        {1, 0xFF, 9, 3, 9, 3},                         // at the ends of the ranges nothing moves
        {1, 0x00, 0, 0, 0, 0}, {0, 0xFF, 2, 1, 2, 1},  // in local mode automatic ranging rests
    };
    for (const auto& c : cycles) {
        SCOPED_TRACE(testing::Message() << "cycle " << (&c - cycles));
        panel.setRemote(c[0] != 0);
        cycle(detectorReply(c[1], c[1], c[2], c[3]));
        EXPECT_EQ(std::tuple(requests.attenuator, requests.rate, panel.attenuatorButton(),
                             panel.rateButton()),
                  std::tuple(c[4], c[5], c[4], c[5]));
    }
    settings.autoAttenuator = false;
    panel.setRemote(true);
    cycle(detectorReply(0xFF, 0xFF, 2, 1));
    EXPECT_EQ(requests.attenuator, 2);  // switched off: stays
    EXPECT_EQ(requests.rate, 2);        // the rate still steps
}

TEST_F(Panel, ALocalRangeChangeIsFollowedAndSentBackOnce) {
    settings.autoAttenuator = settings.autoRate = false;
    int buttonChanges = 0;
    QObject::connect(&panel, &PanelModel::buttonsChanged, [&] { ++buttonChanges; });
    for (int i = 0; i < 2; ++i) {  // the attenuator alone changed; the second time it is shown
        cycle(detectorReply(0x20, 0x20, 6, 0));
        EXPECT_EQ(panel.attenuatorButton(), 6);
        EXPECT_EQ(requests.attenuator, 6);
        EXPECT_EQ(followed, std::vector<int>{6});
        EXPECT_EQ(buttonChanges, 1);
    }
    // A reading taken before a range command went out reports ranges no longer asked for.
    Reading old = evaluator.cycle({0, detectorReply(0x20, 0x20, 3, 2), whole("A1t2123\r\n"), {}});
    old.rangesSuperseded = true;
    panel.takeReading(old);
    EXPECT_EQ(std::tuple(requests.attenuator, requests.rate, buttonChanges), std::tuple(6, 0, 1));
    // A click is not undone by the report of the old range on its way.
    panel.clickAttenuator(2);
    cycle(detectorReply(0x20, 0x20, 6, 0));
    EXPECT_EQ(std::pair(requests.attenuator, panel.attenuatorButton()), std::pair(2, 2));
}

TEST_F(Panel, AQnStepShowsItsChargeAndCountAndMovesNoRange) {
    panel.setRemote(true);
    cycle(detectorReply(0x55, 0x55, 1, 1));
    panel.showQnStep(4);
    EXPECT_EQ(panel.attenuatorButton(), 4);
    EXPECT_EQ(requests.attenuator, 4);  // told to the detector once normal cycles resume
    panel.takeReading(evaluator.qnStep(
        4, 42, {0, detectorReply(0x11, 0x99, 5, 3), whole("A1t2100\r\n"), Reply{}}));
    EXPECT_EQ(charge(), QStringLiteral("20.00"));  // at the step's range 1/20
    EXPECT_EQ(rate(), QStringLiteral("42.0"));     // the count
    EXPECT_EQ(requests.rate, 1);                   // the detector's rate digit is no report here
    EXPECT_EQ(followed, std::vector<int>{1});
    // A count without the detector's reply is shown all the same, the charge as old.
    panel.takeReading(evaluator.qnStep(6, 17, {0, Reply{}, whole("A1t2100\r\n"), Reply{}}));
    EXPECT_EQ(std::tuple(rate(), charge(), panel.readouts().detectorStale),
              std::tuple(QStringLiteral("17.0"), QStringLiteral("20.00"), true));
    // A step whose count did not come shows its rate as old.
    panel.takeReading(evaluator.qnStep(
        5, std::nullopt, {0, detectorReply(0x11, 0, 5, 0), whole("A1t2100\r\n"), Reply{}}));
    EXPECT_TRUE(panel.readouts().detectorStale);
    EXPECT_EQ(rate(), QStringLiteral("17.0"));
}

}  // namespace
}  // namespace kr5
