// The connection layer of the SCPI server for lab automation: a raw TCP socket that
// PyVISA's TCPIP::host::port::SOCKET resource talks to, one text line per command. It cuts
// each client's stream into lines and hands them to the owner's handler; what the lines
// mean is the owner's business. Everything runs on signals of the event loop, so a slow or
// hostile client never stalls the program's measuring.
#pragma once

#include "core/scpi.h"
#include "platform/clock.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QTcpServer;
class QTcpSocket;

namespace kr5 {

// Where the server listens.
struct ListenAddress {
    QHostAddress address;
    quint16 port = 0;  // 0: the system chooses
    bool loopback() const { return address.isLoopback(); }
    QString text() const;  // "127.0.0.1:5025", "[::1]:5025"
};

// "[ADDRESS:]PORT" as the command line and the configuration give it: "5025" listens on
// 127.0.0.1 only; any other address must be named ("0.0.0.0:5025", "[::]:5025",
// "192.168.1.20:5025"); "localhost" stands for 127.0.0.1. Empty, with the reason in
// *problem, for anything else.
std::optional<ListenAddress> parseListenAddress(const QString& text, QString* problem);

class RemoteServer : public QObject {
    Q_OBJECT

  public:
    // Runs one received line (its "\n" or "\r\n" cut) for a client; a non-empty result is
    // sent back with a "\n" after it. Blank lines are skipped.
    using Handler = std::function<QByteArray(int clientId, const QByteArray& line)>;

    // More clients than this are sent kTooManyClients and closed.
    static constexpr int kMaxClients = 8;
    // A client whose line grows past this many bytes is cut off.
    static constexpr int kMaxLineBytes = 4096;
    // A client that does not read its replies is handled no further until they drain; one
    // whose input waiting meanwhile grows past this many bytes is cut off, so that it
    // cannot make the program hoard memory.
    static constexpr int kMaxBacklogBytes = 64 * 1024;
    static const char* const kTooManyClients;

    explicit RemoteServer(QObject* parent = nullptr);
    ~RemoteServer() override;

    // Starts listening; port 0 lets the system choose. On failure returns false with the
    // reason in *problem (when given). Listening again first closes every client.
    bool listen(const QHostAddress& address, quint16 port, QString* problem);
    // Stops listening and closes every client.
    void close();
    bool isListening() const;
    QHostAddress address() const;
    // The port listened on, the chosen one when 0 was asked for; 0 when not listening.
    quint16 port() const;

    void setHandler(Handler handler) { handler_ = std::move(handler); }

    // Closes a client that has sent nothing for idleLimitMs, and lets the client idle
    // longest give way to a new one when the table is full and it has been idle for
    // kYieldAfterMs at least; without this, clients may stay silent for ever.
    void watchIdle(Clock& clock, qint64 idleLimitMs);
    static constexpr qint64 kDefaultIdleLimitMs = 5 * 60 * 1000;
    static constexpr qint64 kYieldAfterMs = 10 * 1000;

    // The client's own error queue, for SYSTem:ERRor? and *CLS; nullptr once the client
    // has gone. Ids are never reused.
    ScpiErrorQueue* errors(int clientId);
    int clientCount() const { return int(clients_.size()); }
    // An error every client finds in its queue (something went wrong that no command of
    // its own caused).
    void tellEveryClient(int code, const QByteArray& detail);
    bool hasClient(int clientId) const { return clients_.contains(clientId); }

  signals:
    void clientConnected(int clientId, const QString& peer);
    // why is empty when the client closed the connection itself.
    void clientDisconnected(int clientId, const QString& why);
    // A connection beyond kMaxClients was turned away.
    void clientRefused(const QString& peer);

  private:
    struct Client {
        QTcpSocket* socket = nullptr;
        QByteArray pending;  // the start of a line still without its end
        ScpiErrorQueue errors;
        qint64 heardAtMs = 0;  // when it last sent anything, or connected
    };

    void acceptPending();
    // The client idle longest, when one has been idle for at least minIdleMs; 0 else.
    int longestIdle(qint64 minIdleMs) const;
    void closeIdle();
    qint64 nowMs() const { return clock_ != nullptr ? clock_->nowMs() : 0; }
    // Handles the client's lines as long as its replies are read; reads more of its input
    // as they are.
    void readFrom(int clientId);
    // Handles the whole lines in the client's buffer, stopping while its replies are not
    // read; false when the client was dropped.
    bool handleLines(int clientId);
    void drop(int clientId, const QString& why);
    void forget(int clientId, const QString& why);

    QTcpServer* server_;
    QHash<int, Client> clients_;
    int nextId_ = 1;
    Handler handler_;
    Clock* clock_ = nullptr;
    qint64 idleLimitMs_ = 0;
    int idleTimer_ = 0;
};

}  // namespace kr5
