// The SCPI server's connection layer on real loopback sockets: each client is answered and
// dropped on its own.
#include "modes/remoteserver.h"
#include "platform/virtualclock.h"
#include "support/waituntil.h"

#include <gtest/gtest.h>
#include <QTcpSocket>

#include <memory>
#include <vector>

namespace kr5 {
namespace {

struct RemoteServerTest : ::testing::Test {
    void SetUp() override {
        server.setHandler([this](int id, const QByteArray& line) -> QByteArray {
            lines.push_back(line);
            if (line == "BAD") {
                server.errors(id)->push(scpierror::UndefinedHeader);
                return {};
            }
            if (line == "CURVE?") {
                return QByteArray(100 * 1024, 'c');
            }
            if (line == "SYST:ERR?") {
                return server.errors(id)->next();
            }
            return QByteArray::number(id) + ':' + line;
        });
        QObject::connect(&server, &RemoteServer::clientDisconnected,
                         [this](int id, const QString& why) {
                             gone.push_back({id, why});
                         });
        QString problem;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0, &problem)) << problem.toStdString();
        ASSERT_NE(server.port(), 0);
    }

    std::unique_ptr<QTcpSocket> connectClient(int expectedCount) {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(server.address(), server.port());
        EXPECT_TRUE(wait.until(5000, [&] { return server.clientCount() == expectedCount; }));
        return socket;
    }

    QByteArray ask(QTcpSocket& socket, const QByteArray& text) {
        socket.write(text);
        if (!wait.until(5000, [&] { return socket.canReadLine(); })) {
            return "(no reply)";
        }
        return socket.readLine();
    }

    bool closedByServer(QTcpSocket& socket) {
        return wait.until(5000,
                          [&] { return socket.state() == QAbstractSocket::UnconnectedState; });
    }

    test::RealTimeWait wait;
    VirtualClock clock;  // for the idle rule; outlives the server, which holds its timer
    RemoteServer server;
    std::vector<QByteArray> lines;
    std::vector<std::pair<int, QString>> gone;
};

// With every place taken, the client silent longest gives way to a new one once it has been
// silent for 10 s, and not before; a client silent for the idle limit is closed.
TEST_F(RemoteServerTest, SilentClientsGiveWayAndGoAtTheIdleLimit) {
    server.watchIdle(clock, 60'000);
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 1; i <= RemoteServer::kMaxClients; ++i) {
        clients.push_back(connectClient(i));
        clock.advanceMs(1000);
    }
    QTcpSocket early;  // the first has been silent 8 s
    early.connectToHost(server.address(), server.port());
    EXPECT_TRUE(closedByServer(early));
    clock.advanceMs(2000);
    auto newcomer = std::make_unique<QTcpSocket>();
    newcomer->connectToHost(server.address(), server.port());
    EXPECT_TRUE(closedByServer(*clients[0]));
    ASSERT_TRUE(
        wait.until(5000, [&] { return server.clientCount() == RemoteServer::kMaxClients; }));
    ASSERT_FALSE(gone.empty());
    EXPECT_EQ(gone.back().first, 1);
    EXPECT_TRUE(gone.back().second.startsWith(QStringLiteral("gave way to a new client")));
    clock.advanceMs(50'000);
    EXPECT_EQ(ask(*clients[1], "PING\n"), "2:PING\n");
    clock.advanceMs(30'000);
    EXPECT_TRUE(closedByServer(*newcomer));
    EXPECT_EQ(server.clientCount(), 1);
    EXPECT_EQ(gone.back().second, QStringLiteral("nothing sent for 60 s"));
}

TEST_F(RemoteServerTest, RepliesGoToTheAskingClientWithItsOwnErrorQueue) {
    auto a = connectClient(1);
    auto b = connectClient(2);
    EXPECT_EQ(ask(*a, "*IDN?\r\n"), "1:*IDN?\n");
    EXPECT_EQ(ask(*b, "MEAS:CHAR?\n"), "2:MEAS:CHAR?\n");
    // A's error stays in A's queue.
    a->write("BAD\n");
    EXPECT_EQ(ask(*b, "SYST:ERR?\n"), "0,\"No error\"\n");
    EXPECT_EQ(ask(*a, "SYST:ERR?\n"), "-113,\"Undefined header\"\n");
    EXPECT_EQ(ask(*a, "\n\r\nSYST:ERR?\n"), "0,\"No error\"\n");  // blank lines skipped
    // What no command caused reaches every client's queue.
    server.tellEveryClient(scpierror::Execution, "disk full");
    for (QTcpSocket* client : {a.get(), b.get()}) {
        EXPECT_EQ(ask(*client, "SYST:ERR?\n"), "-200,\"Execution error; disk full\"\n");
    }
}

TEST_F(RemoteServerTest, HalfLinesAreJoinedAndNulBytesKept) {
    auto a = connectClient(1);
    auto b = connectClient(2);
    a->write(QByteArray("A\0B", 3));
    ASSERT_TRUE(a->waitForBytesWritten(5000));
    // B's round trip runs after the server has read A's first half, all on one thread.
    EXPECT_EQ(ask(*b, "SYNC\n"), "2:SYNC\n");
    EXPECT_EQ(lines, std::vector<QByteArray>{"SYNC"});
    EXPECT_EQ(ask(*a, "C\r\nD\n"), QByteArray("1:A\0BC\n", 7));
    EXPECT_TRUE(wait.until(5000, [&] { return a->canReadLine(); }));
    EXPECT_EQ(a->readLine(), "1:D\n");
}

TEST_F(RemoteServerTest, AnOverlongLineDropsOnlyThatClient) {
    auto a = connectClient(1);
    auto b = connectClient(2);
    const QByteArray longest(RemoteServer::kMaxLineBytes, 'L');
    EXPECT_EQ(ask(*b, longest + "\r\n"), "2:" + longest + '\n');
    a->write(QByteArray(5000, 'A') + '\n');
    ASSERT_TRUE(closedByServer(*a));
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_EQ(gone[0].first, 1);
    EXPECT_FALSE(gone[0].second.isEmpty());
    EXPECT_EQ(server.errors(1), nullptr);
    EXPECT_EQ(ask(*b, "STILL\n"), "2:STILL\n");
    // A line that never ends is cut off as soon as it is too long.
    auto c = connectClient(2);
    c->write(QByteArray(RemoteServer::kMaxLineBytes + 2, 'C'));
    EXPECT_TRUE(closedByServer(*c));
}

TEST_F(RemoteServerTest, ALongReplyPassesButAClientThatNeverReadsIsCutOff) {
    auto reader = connectClient(1);
    auto flooder = connectClient(2);
    const QByteArray curve = ask(*reader, "CURVE?\nCURVE?\n");
    EXPECT_EQ(curve.size(), 100 * 1024 + 1);
    for (int i = 0; i < 100; ++i) {
        flooder->write("CURVE?\n" + QByteArray(RemoteServer::kMaxLineBytes, ' ') + '\n');
    }
    EXPECT_TRUE(wait.until(20000, [&] { return !server.hasClient(2); }));
    EXPECT_TRUE(wait.until(5000, [&] { return reader->canReadLine(); }));
    EXPECT_EQ(reader->readLine(), curve);
    EXPECT_EQ(ask(*reader, "X\n"), "1:X\n");
}

TEST_F(RemoteServerTest, AClientLeavingMidLineIsForgotten) {
    auto a = connectClient(1);
    auto b = connectClient(2);
    a->write("*IDN");
    a->disconnectFromHost();
    ASSERT_TRUE(wait.until(5000, [&] { return !gone.empty(); }));
    EXPECT_EQ(gone[0], std::make_pair(1, QString()));
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(server.hasClient(1));
    EXPECT_EQ(ask(*b, "*IDN?\n"), "2:*IDN?\n");
}

TEST(ListenAddress, ABarePortIsLoopbackAndOtherAddressesMustBeNamed) {
    // The address text, how it is shown, and whether it is loopback.
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"5025", "127.0.0.1:5025", true},
        {"0", "127.0.0.1:0", true},
        {"localhost:5025", "127.0.0.1:5025", true},
        {"0.0.0.0:5025", "0.0.0.0:5025", false},
        {"192.168.1.20:5025", "192.168.1.20:5025", false},
        {"[::1]:5025", "[::1]:5025", true},
        {"[::]:5025", "[::]:5025", false},
    };
    for (const auto& [text, shown, loopback] : cases) {
        QString problem;
        const std::optional<ListenAddress> parsed = parseListenAddress(text, &problem);
        ASSERT_TRUE(parsed) << text << ": " << problem.toStdString();
        EXPECT_EQ(parsed->text(), QLatin1String(shown));
        EXPECT_EQ(parsed->loopback(), loopback) << text;
    }
    // Refused, with the text named.
    for (const char* text : {"::1:5025", ":5025", "5025x", "65536", "-1", "lab-pc:5025", ""}) {
        QString problem;
        EXPECT_FALSE(parseListenAddress(text, &problem)) << text;
        EXPECT_TRUE(problem.contains(QLatin1String(text))) << text;
    }
}

}  // namespace
}  // namespace kr5
