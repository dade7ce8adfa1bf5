// Finding the units on a simulated bench, in virtual time: which ports are scanned, which
// units and addresses are taken, and the questions asked when some are missing. How the
// link collects a probe's reply is in link_test.cpp.
#include "link/discovery.h"
#include "sim/bench.h"
#include "sim/simport.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kr5 {
namespace {

using sim::Scenario;
using test::FakeDialogs;

class RecordingProgress : public DiscoveryProgress {
  public:
    bool visible = false;
    int showCount = 0;
    std::vector<std::pair<int, int>> probes;  // port, index
    QStringList finds;
    void showProgress() override {
        visible = true;
        ++showCount;
    }
    void probing(int port, int index) override { probes.emplace_back(port, index); }
    void found(int port, UnitKind, int index, const QString& ident) override {
        finds << QStringLiteral("%1:%2:%3").arg(port).arg(index).arg(ident);
    }
    void hideProgress() override { visible = false; }
};

sim::UnitConfig unit(sim::UnitKind kind, int address, int port) {
    return {kind, address, port, sim::defaultIdent(kind, address)};
}

struct Discovery {
    explicit Discovery(Scenario s) : bench(s) {}

    bool run() { return findUnits(units, link, progress, dialogs); }

    int address(UnitKind kind) const { return units.unit(kind).address; }

    std::vector<sim::FrameRecord> framesOn(int port) const {
        std::vector<sim::FrameRecord> out;
        for (const auto& f : simPort.frameLog()) {
            if (f.port == port) {
                out.push_back(f);
            }
        }
        return out;
    }

    UnitsOnLine units;
    VirtualClock clock;
    VirtualPump pump{clock};
    Timing timing{clock, pump};
    sim::Bench bench;
    sim::SimPort simPort{bench, clock};
    Link link{units, simPort, clock, pump, timing};
    RecordingProgress progress;
    FakeDialogs dialogs;
};

Scenario withUnits(std::vector<sim::UnitConfig> units, std::set<int> emptyPorts = {}) {
    Scenario s = Scenario::defaultBench();
    s.units = std::move(units);
    s.emptyPorts = std::move(emptyPorts);
    return s;
}

TEST(Discovery, AllUnitsOnPortOneNeverTouchPortTwo) {
    Discovery d(Scenario::defaultBench());
    ASSERT_TRUE(d.run());
    EXPECT_TRUE(d.dialogs.shown.empty());
    EXPECT_TRUE(d.framesOn(2).empty());
    EXPECT_EQ(d.units.port, 1);
    EXPECT_EQ(std::tuple(d.address(UnitKind::Detector), d.address(UnitKind::AcUnit),
                         d.address(UnitKind::NoiseDiscriminator)),
              std::tuple(0, 1, 2));
    EXPECT_TRUE(d.units.acUnitPresent());
    EXPECT_TRUE(d.units.discriminatorPresent());
    // Each identification as the unit gave it.
    const std::pair<UnitKind, sim::UnitKind> kinds[] = {
        {UnitKind::Detector, sim::UnitKind::Detector},
        {UnitKind::AcUnit, sim::UnitKind::AcUnit},
        {UnitKind::NoiseDiscriminator, sim::UnitKind::Discriminator}};
    for (const auto& [kind, simKind] : kinds) {
        EXPECT_EQ(d.units.unit(kind).ident, sim::defaultIdent(simKind, d.address(kind)));
    }
    EXPECT_EQ(d.progress.finds,
              (QStringList{"1:0:" + d.units.unit(UnitKind::Detector).ident,
                           "1:1:" + d.units.unit(UnitKind::AcUnit).ident,
                           "1:2:" + d.units.unit(UnitKind::NoiseDiscriminator).ident}));
    EXPECT_EQ(d.progress.showCount, 1);
    EXPECT_FALSE(d.progress.visible);
    EXPECT_EQ(d.progress.probes.size(), 16u);
    EXPECT_FALSE(d.simPort.isOpen());  // closed after the scan; start-up reopens it
}

TEST(Discovery, TheWakeUpProbeGoesToAddressZeroBeforeTheScan) {
    Discovery d(
        withUnits({unit(sim::UnitKind::Detector, 5, 1), unit(sim::UnitKind::AcUnit, 9, 1)}));
    ASSERT_TRUE(d.run());
    const auto frames = d.framesOn(1);
    ASSERT_EQ(frames.size(), 17u);
    EXPECT_EQ(frames[0].address, 0);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(frames[static_cast<size_t>(i + 1)].address, i);
        EXPECT_EQ(frames[static_cast<size_t>(i + 1)].command, QByteArray("v"));
    }
    EXPECT_EQ(d.address(UnitKind::Detector), 5);
    EXPECT_EQ(d.address(UnitKind::AcUnit), 9);
    EXPECT_FALSE(d.units.discriminatorPresent());
}

TEST(Discovery, NoAcUnitScansPortTwoAndAsks) {
    for (const auto answer : {Dialogs::Answer::Ok, Dialogs::Answer::Cancel}) {
        Discovery d(withUnits({unit(sim::UnitKind::Detector, 0, 1)}, {2}));
        d.dialogs.answers.push_back(answer);
        EXPECT_EQ(d.run(), answer == Dialogs::Answer::Ok);
        EXPECT_EQ(d.framesOn(2).size(), 17u);
        ASSERT_EQ(d.dialogs.shown.size(), 1u);
        EXPECT_EQ(d.dialogs.shown[0].text,
                  QStringLiteral("Can not find ACU.\rmes. without ACU\uFF1F"));
        EXPECT_EQ(d.dialogs.shown[0].title, QStringLiteral("NO CONNECT ACU"));
        EXPECT_EQ(d.dialogs.shown[0].buttons, Dialogs::Buttons::OkCancel);
        EXPECT_EQ(d.units.port, 1);
        EXPECT_TRUE(d.units.present(UnitKind::Detector));
        EXPECT_FALSE(d.units.acUnitPresent());
    }
}

TEST(Discovery, DetectorOnlyOnPortTwo) {
    Discovery d(
        withUnits({unit(sim::UnitKind::Detector, 3, 2), unit(sim::UnitKind::AcUnit, 4, 2)}, {1}));
    ASSERT_TRUE(d.run());
    EXPECT_EQ(d.units.port, 2);
    EXPECT_EQ(d.address(UnitKind::Detector), 3);
    EXPECT_EQ(d.address(UnitKind::AcUnit), 4);
    EXPECT_TRUE(d.dialogs.shown.empty());
}

TEST(Discovery, NoUnitAnywhereShowsOnlyTheDetectorMessage) {
    Discovery d(withUnits({}, {1, 2}));
    EXPECT_FALSE(d.run());
    ASSERT_EQ(d.dialogs.shown.size(), 1u);
    EXPECT_EQ(d.dialogs.shown[0].text, QStringLiteral("Can not find KR-5.\rStop mes."));
    EXPECT_TRUE(d.dialogs.shown[0].title.isEmpty());  // the program's own title
    EXPECT_EQ(d.dialogs.shown[0].buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(d.units.port, 0);
    EXPECT_FALSE(d.units.present(UnitKind::Detector));
}

TEST(Discovery, APortThatCannotBeOpenedIsSkipped) {
    Discovery d(
        withUnits({unit(sim::UnitKind::Detector, 0, 2), unit(sim::UnitKind::AcUnit, 1, 2)}));
    ASSERT_TRUE(d.run());  // port 1 has no line at all
    EXPECT_EQ(d.units.port, 2);
    EXPECT_TRUE(d.framesOn(1).empty());
}

TEST(Discovery, UnitsOnlyOnTheOtherPortAreNotAccepted) {
    // The detector is on port 1, the AC unit and the noise discriminator only on port 2:
    // all traffic goes to port 1, where they could never answer.
    Discovery d(withUnits({unit(sim::UnitKind::Detector, 0, 1), unit(sim::UnitKind::AcUnit, 1, 2),
                           unit(sim::UnitKind::Discriminator, 2, 2)}));
    d.dialogs.answers.push_back(Dialogs::Answer::Ok);
    ASSERT_TRUE(d.run());
    EXPECT_EQ(d.units.port, 1);
    EXPECT_FALSE(d.units.acUnitPresent());
    EXPECT_FALSE(d.units.discriminatorPresent());
    ASSERT_EQ(d.dialogs.shown.size(), 1u);
    EXPECT_EQ(d.dialogs.shown[0].title, QStringLiteral("NO CONNECT ACU"));
    // The progress window still showed what answered on port 2.
    EXPECT_EQ(d.progress.finds.size(), 3);
}

TEST(Discovery, ADetectorOnBothPortsIsTakenFromPortTwo) {
    // Port 1 lacks the AC unit, so port 2 is scanned too; its detector wins, and with it
    // the units of port 2 only.
    Discovery d(
        withUnits({unit(sim::UnitKind::Detector, 0, 1), unit(sim::UnitKind::Discriminator, 2, 1),
                   unit(sim::UnitKind::Detector, 6, 2)}));
    d.dialogs.answers.push_back(Dialogs::Answer::Ok);
    ASSERT_TRUE(d.run());
    EXPECT_EQ(d.units.port, 2);
    EXPECT_EQ(d.address(UnitKind::Detector), 6);
    EXPECT_FALSE(d.units.discriminatorPresent());
}

TEST(Discovery, ANewScanForgetsTheUnitsOfTheLastOne) {
    Discovery d(withUnits({unit(sim::UnitKind::Detector, 4, 1)}, {2}));
    d.units.port = 2;
    d.units.unit(UnitKind::AcUnit) = FoundUnit{9, QStringLiteral("AU-1 OLD 0009")};
    d.units.unit(UnitKind::NoiseDiscriminator) = FoundUnit{3, QStringLiteral("ZN-4 OLD 0003")};
    d.dialogs.answers.push_back(Dialogs::Answer::Ok);
    ASSERT_TRUE(d.run());
    EXPECT_EQ(d.units.port, 1);
    EXPECT_EQ(d.address(UnitKind::Detector), 4);
    EXPECT_FALSE(d.units.acUnitPresent());
    EXPECT_TRUE(d.units.unit(UnitKind::AcUnit).ident.isEmpty());
    EXPECT_FALSE(d.units.discriminatorPresent());
}

TEST(Discovery, TheLastUnitOfAKindWins) {
    Discovery d(withUnits({unit(sim::UnitKind::Detector, 2, 1), unit(sim::UnitKind::Detector, 7, 1),
                           unit(sim::UnitKind::AcUnit, 4, 1)}));
    ASSERT_TRUE(d.run());
    EXPECT_EQ(d.address(UnitKind::Detector), 7);
}

}  // namespace
}  // namespace kr5
