#include "modes/remoteserver.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>

namespace kr5 {

const char* const RemoteServer::kTooManyClients = "-200,\"Execution error; too many clients\"";

namespace {

QString peerOf(const QTcpSocket* socket) {
    return QStringLiteral("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort());
}

}  // namespace

QString ListenAddress::text() const {
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(address.toString())
                             : address.toString();
    return QStringLiteral("%1:%2").arg(host).arg(port);
}

std::optional<ListenAddress> parseListenAddress(const QString& text, QString* problem) {
    const auto refuse = [&](const QString& why) -> std::optional<ListenAddress> {
        if (problem) {
            *problem = QStringLiteral("'%1' is not [ADDRESS:]PORT: %2").arg(text, why);
        }
        return std::nullopt;
    };
    QString host;
    QString portText = text.trimmed();
    const qsizetype colon = portText.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) {
        host = portText.left(colon);
        portText = portText.mid(colon + 1);
        if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) {
            host = host.mid(1, host.size() - 2);
        } else if (host.contains(QLatin1Char(':'))) {
            return refuse(QStringLiteral("an IPv6 address goes in brackets, [::1]:5025"));
        }
    }
    bool number = false;
    const uint port = portText.toUInt(&number);
    if (!number || port > 65535) {
        return refuse(QStringLiteral("the port is a number from 0 to 65535"));
    }
    ListenAddress listen;
    listen.port = static_cast<quint16>(port);
    if (host.isEmpty() && colon < 0) {
        listen.address = QHostAddress(QHostAddress::LocalHost);
    } else if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
        listen.address = QHostAddress(QHostAddress::LocalHost);
    } else if (!listen.address.setAddress(host)) {
        return refuse(QStringLiteral("'%1' is not an IP address").arg(host));
    }
    return listen;
}

RemoteServer::RemoteServer(QObject* parent) : QObject(parent), server_(new QTcpServer(this)) {
    connect(server_, &QTcpServer::newConnection, this, &RemoteServer::acceptPending);
}

RemoteServer::~RemoteServer() {
    // No clientDisconnected from here: the owner listening to it may be half torn down.
    blockSignals(true);
    if (idleTimer_ != 0) {
        clock_->stopTimer(idleTimer_);
    }
    close();
}

void RemoteServer::watchIdle(Clock& clock, qint64 idleLimitMs) {
    if (idleTimer_ != 0) {
        clock_->stopTimer(idleTimer_);
    }
    clock_ = &clock;
    idleLimitMs_ = idleLimitMs;
    // Looked at ten times per limit: a silent client goes within a tenth more of it.
    const int intervalMs = int(std::clamp<qint64>(idleLimitMs / 10, 100, 60'000));
    idleTimer_ = clock.startTimer(intervalMs, [this] { closeIdle(); });
}

void RemoteServer::closeIdle() {
    while (const int id = longestIdle(idleLimitMs_)) {
        drop(id, tr("nothing sent for %1 s").arg(idleLimitMs_ / 1000));
    }
}

int RemoteServer::longestIdle(qint64 minIdleMs) const {
    if (clock_ == nullptr) {
        return 0;
    }
    int found = 0;
    qint64 heardAt = nowMs() - minIdleMs;
    for (auto it = clients_.begin(); it != clients_.end(); ++it) {
        if (it->heardAtMs <= heardAt) {
            heardAt = it->heardAtMs;
            found = it.key();
        }
    }
    return found;
}

bool RemoteServer::listen(const QHostAddress& address, quint16 port, QString* problem) {
    close();
    if (server_->listen(address, port)) {
        return true;
    }
    if (problem) {
        *problem = tr("Cannot listen on %1 port %2: %3")
                       .arg(address.toString())
                       .arg(port)
                       .arg(server_->errorString());
    }
    return false;
}

void RemoteServer::close() {
    server_->close();
    const QList<int> ids = clients_.keys();
    for (int id : ids) {
        drop(id, tr("server closed"));
    }
}

bool RemoteServer::isListening() const {
    return server_->isListening();
}

QHostAddress RemoteServer::address() const {
    return server_->serverAddress();
}

quint16 RemoteServer::port() const {
    return server_->isListening() ? server_->serverPort() : 0;
}

void RemoteServer::tellEveryClient(int code, const QByteArray& detail) {
    for (Client& client : clients_) {
        client.errors.push(code, detail);
    }
}

ScpiErrorQueue* RemoteServer::errors(int clientId) {
    auto it = clients_.find(clientId);
    return it == clients_.end() ? nullptr : &it->errors;
}

void RemoteServer::acceptPending() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        if (clients_.size() >= kMaxClients) {
            if (const int idle = longestIdle(kYieldAfterMs)) {
                drop(idle, tr("gave way to a new client after %1 s without a command")
                               .arg((nowMs() - clients_[idle].heardAtMs) / 1000));
            }
        }
        if (clients_.size() >= kMaxClients) {
            // Told why before the close, so that a script's author sees the cause rather
            // than a bare reset; disconnectFromHost sends the line first without waiting.
            const QString peer = peerOf(socket);
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            socket->write(QByteArray(kTooManyClients) + '\n');
            socket->disconnectFromHost();
            emit clientRefused(peer);
            continue;
        }
        const int id = nextId_++;
        Client& client = clients_[id];
        client.socket = socket;
        client.heardAtMs = nowMs();
        connect(socket, &QTcpSocket::readyRead, this, [this, id] { readFrom(id); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, id] { readFrom(id); });
        connect(socket, &QTcpSocket::disconnected, this, [this, id] { forget(id, QString()); });
        emit clientConnected(id, peerOf(socket));
        // Bytes may have come with the connection before readyRead was connected.
        if (socket->bytesAvailable() > 0) {
            readFrom(id);
        }
    }
}

void RemoteServer::readFrom(int clientId) {
    // A handler never runs an event loop of its own, so a client's lines are handled one
    // after the other, each to its end, before its next bytes are looked at.
    if (!clients_.contains(clientId)) {
        return;
    }
    for (;;) {
        if (!handleLines(clientId)) {
            return;
        }
        Client& client = clients_[clientId];
        QTcpSocket* socket = client.socket;
        if (socket->bytesAvailable() == 0) {
            return;
        }
        if (socket->bytesToWrite() > kMaxBacklogBytes) {
            // The client is not reading its replies: its further lines wait until they
            // drain (bytesWritten calls back here), and a client that keeps sending all the
            // same is cut off before it makes the program hoard its input.
            if (socket->bytesAvailable() + client.pending.size() > kMaxBacklogBytes) {
                drop(clientId, tr("more than %1 bytes sent and not handled").arg(kMaxBacklogBytes));
            }
            return;
        }
        // Small chunks, so that the backlog is looked at again after a few lines.
        client.pending += socket->read(kMaxLineBytes);
        client.heardAtMs = nowMs();
    }
}

bool RemoteServer::handleLines(int clientId) {
    qsizetype start = 0;
    for (;;) {
        auto it = clients_.find(clientId);
        if (it == clients_.end()) {
            return false;
        }
        Client& client = *it;
        if (client.socket->bytesToWrite() > kMaxBacklogBytes) {
            client.pending.remove(0, start);
            return true;
        }
        const qsizetype end = client.pending.indexOf('\n', start);
        if (end < 0) {
            client.pending.remove(0, start);
            // One byte of grace: the '\r' of a full-length line whose '\n' is still to come.
            const qsizetype size = client.pending.size();
            const bool endsInCr = size > 0 && client.pending.endsWith('\r');
            if (size > kMaxLineBytes + (endsInCr ? 1 : 0)) {
                drop(clientId, tr("line longer than %1 bytes").arg(kMaxLineBytes));
                return false;
            }
            return true;
        }
        QByteArray line = client.pending.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (line.size() > kMaxLineBytes) {
            drop(clientId, tr("line longer than %1 bytes").arg(kMaxLineBytes));
            return false;
        }
        if (line.isEmpty() || !handler_) {
            continue;
        }
        QPointer<QTcpSocket> socket = client.socket;
        const QByteArray reply = handler_(clientId, line);
        // The handler may have closed the server or this client.
        if (!socket || !clients_.contains(clientId)) {
            return false;
        }
        if (!reply.isEmpty()) {
            socket->write(reply + '\n');
        }
    }
}

void RemoteServer::drop(int clientId, const QString& why) {
    auto it = clients_.find(clientId);
    if (it == clients_.end()) {
        return;
    }
    QTcpSocket* socket = it->socket;
    // Unhooked first: abort() reports the disconnect at once, and the client is to be
    // forgotten with this reason, not as one that left by itself.
    socket->disconnect(this);
    socket->abort();
    forget(clientId, why);
}

void RemoteServer::forget(int clientId, const QString& why) {
    auto it = clients_.find(clientId);
    if (it == clients_.end()) {
        return;
    }
    QTcpSocket* socket = it->socket;
    clients_.erase(it);
    socket->disconnect(this);
    socket->deleteLater();
    emit clientDisconnected(clientId, why);
}

}  // namespace kr5
