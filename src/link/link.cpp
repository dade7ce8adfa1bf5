#include "link.h"

#include "wire.h"

namespace kr5 {

Link::Link(Globals& g, SerialPort& port, Clock& clock, EventPump& pump, Timing& timing)
    : g_(g), port_(port), clock_(clock), pump_(pump), timing_(timing) {}

void Link::setadr() {
    for (int i = 0; i < static_cast<int>(g_.adrtbl.size()); ++i) {
        g_.adrtbl[static_cast<size_t>(i)] = QString(addressChar(i));
    }
    g_.acuadr.clear();
}

bool Link::openport(int port) {
    return port_.open(port, QString::fromLatin1(speedtbl[0].settings));
}

void Link::closeport() {
    port_.close();
}

void Link::send(const QString& address, const QString& cmd) {
    // A reply that came after its time-out would otherwise be read in front of the reply
    // to this command and shift every reading after it: drop it.
    port_.discardInput();
    port_.write(frame(address, cmd));
}

qint32 Link::receive(qint32 len, qint32 timeout) {
    const qint64 deadline = clock_.nowMs() + timeoutMs(timeout);
    QString buf;
    qint32 count = 0;
    while (buf.size() < len) {
        pump_.pumpOnce();
        ++count;
        const QByteArray got = port_.takeInput();
        if (!got.isEmpty()) {
            buf += decodeLine(got);
            continue;
        }
        if (clock_.nowMs() >= deadline) {
            break;
        }
        pump_.waitForEvent(deadline);
    }
    g_.rxbuf = buf;
    return count;
}

void Link::krcommand(const QString& cmd) {
    krout(cmd);
    receive(replyShort, timeoutNormal);
}

void Link::zncommand(const QString& cmd) {
    znout(cmd);
    receive(replyShort, timeoutNormal);
}

void Link::setspeed(int index) {
    const SpeedSetting& s = speedtbl[static_cast<size_t>(qBound(0, index, 2))];
    const QString cmd = QString::fromLatin1(s.command);
    krcommand(cmd);
    if (g_.acuok) {
        acuout(cmd);
        receive(replyShort, timeoutNormal);
    }
    if (g_.znok) {
        zncommand(cmd);
    }
    // The units switch after answering at the old speed; the port follows only then.
    timing_.wait(200);
    timing_.wait(200);
    port_.setSettings(QString::fromLatin1(s.settings));
    timing_.wait(200);
    krout(QStringLiteral("v"));
    receive(replyIdent, timeoutNormal);
}

void Link::shutdown() {
    krcommand(QStringLiteral("m0"));
    if (g_.znok) {
        zncommand(QStringLiteral("m0"));
    }
    setspeed(0);
    closeport();
}

}  // namespace kr5
