// Finding the units on a simulated bench in virtual time, and how a failed search says why.
// How the link collects a probe's reply is in link_test.cpp.
#include "link/discovery.h"
#include "support/fakedialogs.h"
#include "support/fakelink.h"
#include "support/simlink.h"

#include <gtest/gtest.h>

#include <array>

namespace kr5 {
namespace {

// The progress window's calls: "show", "hide" and each unit found as "port:index:ident";
// the addresses asked are only counted.
struct RecordingProgress : DiscoveryProgress {
    QStringList calls;
    int probes = 0;
    void showProgress() override { calls << QStringLiteral("show"); }
    void probing(int, int) override { ++probes; }
    void found(int port, UnitKind, int index, const QString& ident) override {
        calls << QStringLiteral("%1:%2:%3").arg(port).arg(index).arg(ident);
    }
    void hideProgress() override { calls << QStringLiteral("hide"); }
};

// The units' search on a simulated bench or on a fake port that the test scripts.
template <class Parts>
struct Search : Parts {
    using Parts::Parts;
    // The search, settled with the operator as the program does once it ends.
    UnitSearch run() {
        UnitSearch search = findUnits(this->units, this->link, progress);
        settleSearch(search, dialogs, [&search](const UnitSearch& settled) { search = settled; });
        return search;
    }

    RecordingProgress progress;
    test::FakeDialogs dialogs;
};
using FakeLine = Search<test::FakeLinkParts>;

struct Discovery : Search<test::SimLinkParts> {
    explicit Discovery(const char* lines) : Search(test::scenarioOf(QLatin1String(lines))) {}

    std::array<int, 3> addresses() const {
        return {units.unit(UnitKind::Detector).address, units.unit(UnitKind::AcUnit).address,
                units.unit(UnitKind::NoiseDiscriminator).address};
    }
    std::vector<sim::FrameRecord> framesOn(int portNumber) const {
        std::vector<sim::FrameRecord> out;
        for (const auto& f : port.frameLog()) {
            if (f.port == portNumber) {
                out.push_back(f);
            }
        }
        return out;
    }
};

// Also when the detector's answer to the wake-up probe comes in pieces whose tail is still on
// its way when the probe's wait ends: it must not be read as part of the next answer.
TEST(Discovery, AllUnitsOnPortOneAreTakenAfterAWakeUpProbeWithoutTouchingPortTwo) {
    for (const char* bench :
         {"", "fault KR pieces pieces=2 gap=40 addr=0", "fault KR pieces pieces=3 gap=15 addr=0"}) {
        SCOPED_TRACE(bench);
        Discovery d(bench);
        ASSERT_TRUE(d.run().found());
        EXPECT_TRUE(d.dialogs.shown.empty());
        EXPECT_EQ(d.units.port, 1);
        EXPECT_EQ(d.addresses(), (std::array{0, 1, 2}));
        EXPECT_EQ(QStringList({d.units.unit(UnitKind::Detector).ident,
                               d.units.unit(UnitKind::NoiseDiscriminator).ident}),
                  QStringList({"KR-5 SIM 0001", "ZN-4 SIM 0003"}));
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
        EXPECT_FALSE(d.port.isOpen());  // closed after the scan; start-up reopens it
    }
}

// Bytes that never stop after the wake-up probe (a device that is not one of the units,
// sending at another speed) hold the scan for a bounded time only.
TEST(Discovery, ALineThatNeverFallsQuietDelaysTheScanOnlySoLong) {
    FakeLine line;
    auto& port = line.port;
    port.availablePorts = {1};
    port.responder = [&port](const QByteArray&) {
        if (port.written().size() == 1) {
            for (qint64 ms = 0; ms < 5000; ms += 10) {
                port.deliverIn(ms, QByteArray("\x55"));
            }
        }
    };
    line.run();
    EXPECT_EQ(line.progress.probes, 16);
    ASSERT_GE(port.written().size(), 2u);
    const qint64 heldMs = port.written()[1].atMs - port.written()[0].atMs;
    EXPECT_GE(heldMs, Link::kQuietLimitMs);
    EXPECT_LE(heldMs, Link::timeoutMs(100) + Link::kQuietLimitMs);
}

TEST(Discovery, TheOperatorMayStopWhenTheAcUnitIsMissing) {
    Discovery d("unit KR 0 1\nport 2");
    d.dialogs.answers.push_back(Dialogs::Answer::Cancel);
    EXPECT_EQ(d.run().outcome, UnitSearch::Outcome::NoAcUnitStop);
    ASSERT_EQ(d.dialogs.shown.size(), 1u);
    EXPECT_EQ(d.dialogs.shown[0].title, QStringLiteral("NO CONNECT ACU"));
}

// Every scan starts from units left by an earlier one, which must all be forgotten. The
// operator goes on without the AC unit when asked.
TEST(Discovery, TheDetectorsPortDecidesWhichUnitsAreTaken) {
    // The bench, the port taken, the addresses of the detector, AC unit and noise
    // discriminator, the frames on port 1 and port 2, and whether the AC unit was asked for.
    const std::tuple<const char*, int, std::array<int, 3>, std::pair<size_t, size_t>, bool>
        cases[] = {
            {"unit KR 0 1\nport 2", 1, {0, -1, -1}, {17, 17}, true},
            {"unit KR 3 2\nunit AU 4 2\nport 1", 2, {3, 4, -1}, {17, 17}, false},
            {"unit KR 0 2\nunit AU 1 2", 2, {0, 1, -1}, {0, 17}, false},  // no line on port 1
            // All traffic goes to the detector's port, where the others could never answer.
            {"unit KR 0 1\nunit AU 1 2\nunit ZN 2 2", 1, {0, -1, -1}, {17, 17}, true},
            {"unit KR 0 1\nunit ZN 2 1\nunit KR 6 2", 2, {6, -1, -1}, {17, 17}, true},
            // The last unit of a kind wins; with both found on port 1, port 2 is left alone.
            {"unit KR 2 1\nunit KR 7 1\nunit AU 4 1\nport 2", 1, {7, 4, -1}, {17, 0}, false},
        };
    for (const auto& [bench, port, addresses, frames, askedForAcUnit] : cases) {
        SCOPED_TRACE(bench);
        Discovery d(bench);
        d.units.port = 3 - port;
        d.units.unit(UnitKind::AcUnit) = FoundUnit{9, QStringLiteral("AU-1 OLD 0009")};
        d.units.unit(UnitKind::NoiseDiscriminator) = FoundUnit{3, QStringLiteral("ZN-4 OLD 0003")};
        EXPECT_TRUE(d.run().found());
        EXPECT_EQ(d.units.port, port);
        EXPECT_EQ(d.addresses(), addresses);
        EXPECT_EQ(std::pair(d.framesOn(1).size(), d.framesOn(2).size()), frames);
        ASSERT_EQ(d.dialogs.shown.size(), askedForAcUnit ? 1u : 0u);
        for (const auto& shown : d.dialogs.shown) {
            EXPECT_EQ(shown.buttons, Dialogs::Buttons::OkCancel);  // the operator may go on
        }
        // The progress window showed whatever answered, on either port.
        EXPECT_EQ(static_cast<size_t>(d.progress.calls.size()),
                  d.bench.scenario().units.size() + 2);
    }
}

// Ports that cannot be opened for the reasons a desktop meets: each reason in the
// operator's words, with the group to join when permission is denied.
TEST(Discovery, AFailedSearchNamesEachPortWithItsReason) {
    using Kind = PortProblem::Kind;
    const std::pair<PortProblem, const char*> cases[] = {
        {{Kind::PermissionDenied, "/dev/ttyUSB0", "dialout"},
         "Port 1 (/dev/ttyUSB0): permission denied; the device belongs to group dialout, which "
         "this user may have to join."},
        {{Kind::InUse, "/dev/ttyUSB0", ""}, "Port 1 (/dev/ttyUSB0): in use by another program."},
        {{Kind::Other, "/dev/ttyS0", "Inappropriate ioctl for device"},
         "Port 1 (/dev/ttyS0): cannot be opened: Inappropriate ioctl for device."},
    };
    for (const auto& [problem, says] : cases) {
        FakeLine line;
        line.port.availablePorts.clear();
        line.port.openProblems[1] = problem;
        line.port.openProblems[2] = {Kind::Missing, QStringLiteral("/dev/ttyS1"), QString()};
        const UnitSearch search = line.run();
        EXPECT_EQ(search.outcome, UnitSearch::Outcome::NoPort);
        EXPECT_EQ(search.portProblem, problem.kind) << "port 1's reason decides the exit code";
        EXPECT_EQ(search.reason, QString::fromLatin1(says) +
                                     QStringLiteral("\nPort 2 (/dev/ttyS1): no such device."));
        ASSERT_EQ(line.dialogs.shown.size(), 1u);
        EXPECT_EQ(line.dialogs.shown[0].detail, search.reason);
    }
    // Without a detector the one message names each port asked, its device and what went
    // wrong there; units left by an earlier scan are forgotten.
    Discovery d("unit AU 1 1\nunit ZN 2 1");
    d.units.unit(UnitKind::Detector) = FoundUnit{4, QStringLiteral("KR-5 OLD 0005")};
    const UnitSearch search = d.run();
    EXPECT_EQ(search.outcome, UnitSearch::Outcome::NoDetector);
    EXPECT_EQ(search.reason, QStringLiteral("Port 1 (sim:port1): no KR-5 answered, only other "
                                            "units.\nPort 2 (sim:port2): no such device."));
    ASSERT_EQ(d.dialogs.shown.size(), 1u);
    EXPECT_EQ(d.dialogs.shown[0].detail, search.reason);
    EXPECT_EQ(d.units.port, 0);
    EXPECT_FALSE(d.units.present(UnitKind::Detector));
}

}  // namespace
}  // namespace kr5
