// The in-process port under the program's own link, in virtual time: the link waits
// through a VirtualPump, and the simulated line wakes it when bytes arrive.
#include "app/globals.h"
#include "app/timing.h"
#include "link/link.h"
#include "link/wire.h"
#include "simline.h"

#include <gtest/gtest.h>

namespace kr5::sim::test {
namespace {

TEST(SimPortUnderLink, ExchangesAndASpeedChangeRunInVirtualTime) {
    kr5::VirtualClock clock;
    kr5::VirtualPump pump(clock);
    Bench bench(quietBench());
    SimPort port(bench, clock);
    kr5::Globals g;
    kr5::Timing timing(g, clock, pump);
    kr5::Link link(g, port, clock, pump, timing);
    link.setadr();
    ASSERT_TRUE(link.openport(1));
    g.kradr = g.adrtbl[0];
    g.acuadr = g.adrtbl[1];
    g.znadr = g.adrtbl[2];
    g.acuok = g.znok = true;

    // The reply is complete 15 byte times and the turnaround after the frame was written.
    const qint64 startUs = clock.nowUs();
    link.krout(QStringLiteral("x"));
    link.receive(kr5::replyX, kr5::timeoutNormal);
    EXPECT_EQ(g.rxbuf.size(), kr5::replyX);
    EXPECT_NEAR(static_cast<double>(clock.nowUs() - startUs), 15 * 1e7 / 9600 + 2000.0, 1.0);

    link.setspeed(2);
    EXPECT_EQ(g.rxbuf.size(), kr5::replyIdent);  // the identify after the change
    EXPECT_EQ(port.baud(), 38400);
    link.acuout(QStringLiteral("t"));
    link.receive(kr5::replyRead, kr5::timeoutNormal);
    EXPECT_EQ(g.rxbuf.size(), kr5::replyRead);

    QStringList tail;
    for (const FrameRecord& f : port.frameLog()) {
        tail << formatFrame(f).section(QLatin1Char(' '), 1);
    }
    EXPECT_EQ(tail, (QStringList{"port1 9600 C0 x", "port1 9600 C0 b5", "port1 9600 C1 b5",
                                 "port1 9600 C2 b5", "port1 38400 C0 v", "port1 38400 C1 t"}));
}

}  // namespace
}  // namespace kr5::sim::test
