#include "reading.h"

namespace kr5 {

QString Reading::collectAc() {
    if (!g_.acuok) {
        return kNoAcReply;
    }
    link_.receive(replyRead, timeoutNormal);
    return g_.rxbuf;
}

void Reading::mesread() {
    link_.krout(QStringLiteral("x"));
    sink_.plotPrevious();
    link_.receive(replyX, timeoutNormal);
    const QString detector = g_.rxbuf;
    if (g_.acuok) {
        link_.acuout(QStringLiteral("t"));
    }
    sink_.detectorReply(detector);
    const QString ac = collectAc();
    if (g_.znok) {
        link_.znout(QStringLiteral("g"));
    }
    sink_.acReply(ac);
    if (g_.znok) {
        link_.receive(replyRead, timeoutNormal);
        sink_.noiseReply(g_.rxbuf);
    }
    sink_.autoRange();
}

void Reading::qnread(qint32 count, qint32 att) {
    link_.krout(QStringLiteral("x"));
    pump_.pumpOnce();
    link_.receive(replyX, timeoutNormal);
    const QString detector = g_.rxbuf;
    if (g_.acuok) {
        link_.acuout(QStringLiteral("t"));
    }
    const QString ac = collectAc();
    if (g_.znok) {
        link_.znout(QStringLiteral("g"));
    }
    sink_.qnStep(detector, ac, count, att);
    pump_.pumpOnce();
    if (g_.znok) {
        link_.receive(replyRead, timeoutNormal);
        sink_.noiseReply(g_.rxbuf);
    }
}

}  // namespace kr5
