// Finding the units on a simulated bench, in virtual time.
#include "link/discovery.h"
#include "sim/bench.h"
#include "sim/simport.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

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

    bool run() { return findunits(g, link, progress, dialogs); }

    std::vector<sim::FrameRecord> framesOn(int port) const {
        std::vector<sim::FrameRecord> out;
        for (const auto& f : simPort.frameLog()) {
            if (f.port == port) {
                out.push_back(f);
            }
        }
        return out;
    }

    Globals g;
    VirtualClock clock;
    VirtualPump pump{clock};
    Timing timing{g, clock, pump};
    sim::Bench bench;
    sim::SimPort simPort{bench, clock};
    Link link{g, simPort, clock, pump, timing};
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
    EXPECT_EQ(d.g.comport, 1);
    EXPECT_EQ(d.g.kradr, d.g.adrtbl[0]);
    EXPECT_EQ(d.g.acuadr, d.g.adrtbl[1]);
    EXPECT_EQ(d.g.znadr, d.g.adrtbl[2]);
    EXPECT_TRUE(d.g.acuok);
    EXPECT_TRUE(d.g.znok);
    EXPECT_TRUE(d.g.krid.startsWith(QLatin1String("KR")));
    EXPECT_EQ(d.g.krid.size(), 13);
    EXPECT_TRUE(d.g.acuid.startsWith(QLatin1String("AU")));
    EXPECT_TRUE(d.g.znid.startsWith(QLatin1String("ZN")));
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
    EXPECT_EQ(d.g.kradr, d.g.adrtbl[5]);
    EXPECT_FALSE(d.g.znok);
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
        EXPECT_EQ(d.g.comport, 1);
        EXPECT_FALSE(d.g.acuok);
    }
}

TEST(Discovery, DetectorOnlyOnPortTwo) {
    Discovery d(
        withUnits({unit(sim::UnitKind::Detector, 3, 2), unit(sim::UnitKind::AcUnit, 4, 2)}, {1}));
    ASSERT_TRUE(d.run());
    EXPECT_EQ(d.g.comport, 2);
    EXPECT_EQ(d.g.kradr, d.g.adrtbl[3]);
    EXPECT_TRUE(d.g.acuok);
    EXPECT_TRUE(d.dialogs.shown.empty());
}

TEST(Discovery, NoUnitAnywhereShowsOnlyTheDetectorMessage) {
    Discovery d(withUnits({}, {1, 2}));
    EXPECT_FALSE(d.run());
    ASSERT_EQ(d.dialogs.shown.size(), 1u);
    EXPECT_EQ(d.dialogs.shown[0].text, QStringLiteral("Can not find KR-5.\rStop mes."));
    EXPECT_TRUE(d.dialogs.shown[0].title.isEmpty());  // the program's own title
    EXPECT_EQ(d.dialogs.shown[0].buttons, Dialogs::Buttons::Ok);
}

TEST(Discovery, APortThatCannotBeOpenedIsSkipped) {
    Discovery d(
        withUnits({unit(sim::UnitKind::Detector, 0, 2), unit(sim::UnitKind::AcUnit, 1, 2)}));
    ASSERT_TRUE(d.run());  // port 1 has no line at all
    EXPECT_EQ(d.g.comport, 2);
    EXPECT_TRUE(d.framesOn(1).empty());
}

TEST(Discovery, UnitsOnlyOnTheOtherPortAreNotAccepted) {
    // The detector is on port 1, the AC unit and the noise discriminator only on port 2:
    // all traffic goes to port 1, where they could never answer.
    Discovery d(withUnits({unit(sim::UnitKind::Detector, 0, 1), unit(sim::UnitKind::AcUnit, 1, 2),
                           unit(sim::UnitKind::Discriminator, 2, 2)}));
    d.dialogs.answers.push_back(Dialogs::Answer::Ok);
    ASSERT_TRUE(d.run());
    EXPECT_EQ(d.g.comport, 1);
    EXPECT_FALSE(d.g.acuok);
    EXPECT_TRUE(d.g.acuadr.isEmpty());
    EXPECT_FALSE(d.g.znok);
    EXPECT_TRUE(d.g.znadr.isEmpty());
    ASSERT_EQ(d.dialogs.shown.size(), 1u);
    EXPECT_EQ(d.dialogs.shown[0].title, QStringLiteral("NO CONNECT ACU"));
    // The progress window still showed what answered on port 2.
    EXPECT_EQ(d.progress.finds.size(), 3);
}

TEST(Discovery, TheLastUnitOfAKindWins) {
    Discovery d(withUnits({unit(sim::UnitKind::Detector, 2, 1), unit(sim::UnitKind::Detector, 7, 1),
                           unit(sim::UnitKind::AcUnit, 4, 1)}));
    ASSERT_TRUE(d.run());
    EXPECT_EQ(d.g.kradr, d.g.adrtbl[7]);
}

}  // namespace
}  // namespace kr5
