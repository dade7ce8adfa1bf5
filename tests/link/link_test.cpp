// The link over a fake line in virtual time: receive, the late-reply guard, the speed
// change and the release of the line at shutdown.
#include "link/link.h"
#include "link/wire.h"
#include "support/fakeserialport.h"

#include <gtest/gtest.h>

namespace kr5 {
namespace {

using test::FakeSerialPort;

struct LinkFixture : ::testing::Test {
    Globals g;
    VirtualClock clock;
    VirtualPump pump{clock};
    Timing timing{g, clock, pump};
    FakeSerialPort port{clock};
    Link link{g, port, clock, pump, timing};

    void SetUp() override {
        link.setadr();
        g.kradr = g.adrtbl[0];
        ASSERT_TRUE(link.openport(1));
    }

    // Every frame is acknowledged with three characters after 5 ms.
    void acknowledgeEverything() {
        port.responder = [this](const QByteArray&) { port.deliverIn(5, "ACK"); };
    }

    std::vector<QString> framesFrom(size_t first) const {
        const auto all = port.writtenCommands();
        return {all.begin() + static_cast<long>(first), all.end()};
    }
};

TEST_F(LinkFixture, OpenportUsesNineThousandSixHundredAndReportsFailure) {
    EXPECT_EQ(port.settingsLog().back(), QStringLiteral("9600,N,8,1"));
    port.availablePorts = {1};
    EXPECT_FALSE(link.openport(2));
    EXPECT_FALSE(port.isOpen());
}

TEST_F(LinkFixture, SetadrFillsTheTableAndClearsTheAcUnit) {
    g.acuadr = QStringLiteral("x");
    link.setadr();
    EXPECT_EQ(g.adrtbl[0], QString(QChar(0xFF80)));
    EXPECT_EQ(g.adrtbl[15], QString(QChar(0xFF8F)));
    EXPECT_TRUE(g.acuadr.isEmpty());
}

TEST_F(LinkFixture, ReceiveOnASilentLineTimesOutEmpty) {
    g.rxbuf = QStringLiteral("old");
    link.krout(QStringLiteral("x"));
    link.receive(replyX, 200);
    EXPECT_TRUE(g.rxbuf.isEmpty());
    EXPECT_EQ(clock.nowMs(), 100);  // a time-out of 200 allows 100 ms

    const qint64 t0 = clock.nowMs();
    link.receive(replyRead, 2 * 1000);  // the gate's time-out: gatetime ms
    EXPECT_EQ(clock.nowMs() - t0, 1000);
}

TEST_F(LinkFixture, ReceiveJoinsAReplyInPiecesAndStopsWhenComplete) {
    port.responder = [this](const QByteArray&) {
        port.deliverIn(10, "@@@12");
        port.deliverIn(30, "3456*");
        port.deliverIn(150, "LATE");
    };
    link.krout(QStringLiteral("x"));
    link.receive(replyX, 200);
    EXPECT_EQ(g.rxbuf, QStringLiteral("@@@123456*"));  // 10 of 11: waits on to the time-out
    EXPECT_EQ(clock.nowMs(), 100);

    port.responder = [this](const QByteArray&) {
        port.deliverIn(10, "@@@12");
        port.deliverIn(30, "3456*?!");
    };
    const qint64 t0 = clock.nowMs();
    link.krout(QStringLiteral("x"));
    link.receive(replyX, 200);
    EXPECT_EQ(g.rxbuf, QStringLiteral("@@@123456*?!"));  // whole, with the extra character
    EXPECT_EQ(clock.nowMs() - t0, 30);
}

TEST_F(LinkFixture, ALateReplyIsNotReadInFrontOfTheNextOne) {
    // The first reply comes 150 ms late, after its 100 ms time-out; the second on time.
    int n = 0;
    port.responder = [this, &n](const QByteArray&) {
        const bool first = n++ == 0;
        port.deliverIn(first ? 150 : 8, first ? "@@@AAAAAA" : "@@@BBBBBB");
    };
    link.acuout(QStringLiteral("t"));
    link.receive(replyRead, 200);
    EXPECT_TRUE(g.rxbuf.isEmpty());
    clock.advanceMs(100);  // the late reply lands in the port's buffer
    link.acuout(QStringLiteral("t"));
    link.receive(replyRead, 200);
    EXPECT_EQ(g.rxbuf, QStringLiteral("@@@BBBBBB"));
}

TEST_F(LinkFixture, FramesGoToTheUnitsAddresses) {
    g.kradr = g.adrtbl[2];
    g.acuadr = g.adrtbl[5];
    g.znadr = g.adrtbl[15];
    link.krout(QStringLiteral("x"));
    link.acuout(QStringLiteral("t"));
    link.znout(QStringLiteral("g"));
    link.sendTo(7, QStringLiteral("v"));
    ASSERT_EQ(port.written().size(), 4u);
    EXPECT_EQ(port.written()[0].bytes, QByteArray("\xC2x\r\n"));
    EXPECT_EQ(port.written()[1].bytes, QByteArray("\xC5t\r\n"));
    EXPECT_EQ(port.written()[2].bytes, QByteArray("\xCFg\r\n"));
    EXPECT_EQ(port.written()[3].bytes, QByteArray("\xC7v\r\n"));
}

TEST_F(LinkFixture, SetspeedWithTheDetectorAloneChangesUnitThenPort) {
    timing.startTimers();
    acknowledgeEverything();
    link.setspeed(1);
    ASSERT_EQ(port.written().size(), 2u);
    EXPECT_EQ(port.writtenCommands()[0], QStringLiteral("b4"));
    EXPECT_EQ(port.written()[0].settings, QStringLiteral("9600,N,8,1"));
    EXPECT_EQ(port.writtenCommands()[1], QStringLiteral("v"));
    EXPECT_EQ(port.written()[1].settings, QStringLiteral("19200,N,8,1"));
    // Two waits of 200 ms before the port follows, one after, then the identify.
    EXPECT_GE(port.written()[1].atMs - port.written()[0].atMs, 500);
    EXPECT_EQ(port.settingsLog().back(), QStringLiteral("19200,N,8,1"));
}

TEST_F(LinkFixture, SetspeedWithThreeUnitsTellsEachBeforeThePort) {
    timing.startTimers();
    acknowledgeEverything();
    g.acuok = g.znok = true;
    g.acuadr = g.adrtbl[1];
    g.znadr = g.adrtbl[2];
    link.setspeed(2);
    const auto& w = port.written();
    ASSERT_EQ(w.size(), 4u);
    const QByteArray expected[] = {
        "\xC0"
        "b5\r\n",
        "\xC1"
        "b5\r\n",
        "\xC2"
        "b5\r\n",
        "\xC0v\r\n"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(w[i].bytes, expected[i]) << i;
        EXPECT_EQ(w[i].settings, QLatin1String(i < 3 ? "9600,N,8,1" : "38400,N,8,1")) << i;
    }
}

TEST_F(LinkFixture, ShutdownReleasesTheLine) {
    timing.startTimers();
    acknowledgeEverything();
    g.znok = true;
    g.znadr = g.adrtbl[2];
    port.setSettings(QStringLiteral("38400,N,8,1"));
    link.shutdown();
    const std::vector<QString> expected{"m0", "m0", "b3", "b3", "v"};
    EXPECT_EQ(port.writtenCommands(), expected);
    EXPECT_EQ(static_cast<unsigned char>(port.written()[1].bytes[0]), 0xC2);
    EXPECT_EQ(port.settingsLog().back(), QStringLiteral("9600,N,8,1"));
    EXPECT_FALSE(port.isOpen());
}

TEST_F(LinkFixture, AClosedPortDropsWritesAndReceivesTimeOut) {
    link.closeport();
    link.krout(QStringLiteral("x"));
    EXPECT_TRUE(port.written().empty());
    link.receive(replyX, 200);
    EXPECT_TRUE(g.rxbuf.isEmpty());
}

}  // namespace
}  // namespace kr5
