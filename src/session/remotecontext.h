// What one received line builds up while its commands run: the replies of its queries
// and the client's error queue. Private to the remote commands.
#pragma once

#include "core/scpi.h"
#include "session/remotecommands.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kr5 {

struct RemoteCommands::Context {
    ScpiErrorQueue& errors;
    QList<QByteArray> replies;

    void answer(const QByteArray& reply) { replies << reply; }
    // Refused, with the reason on the queue.
    void refuse(int code, const QString& why) { errors.push(code, why.toUtf8()); }
    // A value the program does not have: not-a-number, and -230 with the reason.
    void answerUnknown(const QString& why) {
        answer(kNotANumber);
        refuse(scpierror::DataStale, why);
    }
};

// A number as a reply: plain decimal digits while they are short, exponent form otherwise.
inline QByteArray scpiNumber(double value) {
    return QByteArray::number(value, 'g', 7);
}

// A string as a reply, in double quotes with any inside doubled.
inline QByteArray scpiString(const QString& text) {
    QByteArray bytes = text.toUtf8();
    bytes.replace('"', "\"\"");
    bytes.replace('\n', ' ');
    bytes.replace('\r', ' ');
    return '"' + bytes + '"';
}

}  // namespace kr5
