// Finding the units on a simulated bench, in virtual time: which ports are scanned, which
// units and addresses are taken, and the questions asked when some are missing. How the
// link collects a probe's reply is in link_test.cpp.
#include "link/discovery.h"
#include "sim/bench.h"
#include "sim/simport.h"
#include "support/fakedialogs.h"

#include <gtest/gtest.h>

#include <array>

namespace kr5 {
namespace {

// The progress window's calls: "show", "hide" and each unit found as "port:index:ident";
// the addresses asked are only counted.
class RecordingProgress : public DiscoveryProgress {
  public:
    QStringList calls;
    int probes = 0;
    void showProgress() override { calls << QStringLiteral("show"); }
    void probing(int, int) override { ++probes; }
    void found(int port, UnitKind, int index, const QString& ident) override {
        calls << QStringLiteral("%1:%2:%3").arg(port).arg(index).arg(ident);
    }
    void hideProgress() override { calls << QStringLiteral("hide"); }
};

// The bench the simulator's scenario lines describe: the default one when they name no unit.
sim::Scenario benchOf(const char* lines) {
    sim::ScenarioBuilder builder;
    QString error;
    EXPECT_TRUE(builder.applyText(QString::fromLatin1(lines), &error)) << error.toStdString();
    return builder.scenario();
}

struct Discovery {
    explicit Discovery(const sim::Scenario& scenario) : bench(scenario) {}
    explicit Discovery(const char* lines) : Discovery(benchOf(lines)) {}

    bool run() { return findUnits(units, link, progress, dialogs); }

    std::array<int, 3> addresses() const {
        return {units.unit(UnitKind::Detector).address, units.unit(UnitKind::AcUnit).address,
                units.unit(UnitKind::NoiseDiscriminator).address};
    }
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
    test::FakeDialogs dialogs;
};

TEST(Discovery, AllUnitsOnPortOneAreTakenAfterAWakeUpProbeWithoutTouchingPortTwo) {
    Discovery d("");
    ASSERT_TRUE(d.run());
    EXPECT_TRUE(d.dialogs.shown.empty());
    EXPECT_EQ(d.units.port, 1);
    EXPECT_EQ(d.addresses(), (std::array{0, 1, 2}));
    EXPECT_EQ(d.units.unit(UnitKind::Detector).ident, QStringLiteral("KR-5 SIM 0001"));
    EXPECT_EQ(d.units.unit(UnitKind::NoiseDiscriminator).ident, QStringLiteral("ZN-4 SIM 0003"));
    EXPECT_EQ(d.progress.calls, (QStringList{"show", "1:0:KR-5 SIM 0001", "1:1:AU-1 SIM 0002",
                                             "1:2:ZN-4 SIM 0003", "hide"}));
    EXPECT_EQ(d.progress.probes, 16);
    // Address 0 is asked once before the scan proper, and its answer dropped.
    const auto frames = d.framesOn(1);
    ASSERT_EQ(frames.size(), 17u);
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].address, i == 0 ? 0 : static_cast<int>(i) - 1);
        EXPECT_EQ(frames[i].command, QByteArray("v"));
    }
    EXPECT_TRUE(d.framesOn(2).empty());
    EXPECT_FALSE(d.simPort.isOpen());  // closed after the scan; start-up reopens it
}

TEST(Discovery, TheOperatorMayStopWhenTheAcUnitIsMissing) {
    Discovery d("unit KR 0 1\nport 2");
    d.dialogs.answers.push_back(Dialogs::Answer::Cancel);
    EXPECT_FALSE(d.run());
    EXPECT_EQ(d.dialogs.shown.size(), 1u);
}

// Every scan starts from units left by an earlier one, which must all be forgotten. The
// operator goes on without the AC unit when asked.
TEST(Discovery, TheDetectorsPortDecidesWhichUnitsAreTaken) {
    const struct {
        const char* bench;
        int port;
        std::array<int, 3> addresses;      // detector, AC unit, noise discriminator
        std::pair<size_t, size_t> frames;  // on port 1 and port 2
        bool askedForAcUnit;
    } cases[] = {
        {"unit KR 0 1\nport 2", 1, {0, -1, -1}, {17, 17}, true},
        {"unit KR 3 2\nunit AU 4 2\nport 1", 2, {3, 4, -1}, {17, 17}, false},
        {"unit KR 0 2\nunit AU 1 2", 2, {0, 1, -1}, {0, 17}, false},  // no line on port 1
        // All traffic goes to the detector's port, where the others could never answer.
        {"unit KR 0 1\nunit AU 1 2\nunit ZN 2 2", 1, {0, -1, -1}, {17, 17}, true},
        {"unit KR 0 1\nunit ZN 2 1\nunit KR 6 2", 2, {6, -1, -1}, {17, 17}, true},
        // The last unit of a kind wins; with both found on port 1, port 2 is left alone.
        {"unit KR 2 1\nunit KR 7 1\nunit AU 4 1\nport 2", 1, {7, 4, -1}, {17, 0}, false},
    };
    for (const auto& c : cases) {
        Discovery d(c.bench);
        d.units.port = 3 - c.port;
        d.units.unit(UnitKind::AcUnit) = FoundUnit{9, QStringLiteral("AU-1 OLD 0009")};
        d.units.unit(UnitKind::NoiseDiscriminator) = FoundUnit{3, QStringLiteral("ZN-4 OLD 0003")};
        EXPECT_TRUE(d.run()) << c.bench;
        EXPECT_EQ(d.units.port, c.port) << c.bench;
        EXPECT_EQ(d.addresses(), c.addresses) << c.bench;
        EXPECT_EQ(std::pair(d.framesOn(1).size(), d.framesOn(2).size()), c.frames) << c.bench;
        ASSERT_EQ(d.dialogs.shown.size(), c.askedForAcUnit ? 1u : 0u) << c.bench;
        for (const auto& shown : d.dialogs.shown) {
            EXPECT_EQ(shown.text, QStringLiteral("Can not find ACU.\rmes. without ACU\uFF1F"));
            EXPECT_EQ(shown.title, QStringLiteral("NO CONNECT ACU"));
            EXPECT_EQ(shown.buttons, Dialogs::Buttons::OkCancel);
        }
        // The progress window showed whatever answered, on either port.
        EXPECT_EQ(static_cast<size_t>(d.progress.calls.size()), d.bench.scenario().units.size() + 2)
            << c.bench;
    }
}

TEST(Discovery, NoDetectorAnywhereStopsWithOneMessage) {
    sim::Scenario nothing = benchOf("port 1\nport 2");
    nothing.units.clear();
    Discovery d(nothing);
    d.units.unit(UnitKind::Detector) = FoundUnit{4, QStringLiteral("KR-5 OLD 0005")};
    EXPECT_FALSE(d.run());
    ASSERT_EQ(d.dialogs.shown.size(), 1u);
    EXPECT_EQ(d.dialogs.shown[0].text, QStringLiteral("Can not find KR-5.\rStop mes."));
    EXPECT_TRUE(d.dialogs.shown[0].title.isEmpty());  // the program's own title
    EXPECT_EQ(d.dialogs.shown[0].buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(d.units.port, 0);
    EXPECT_FALSE(d.units.present(UnitKind::Detector));
}

}  // namespace
}  // namespace kr5
