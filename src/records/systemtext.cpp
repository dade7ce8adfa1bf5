#include "systemtext.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace kr5 {

QByteArray toSystemBytes(const QString& text) {
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(text);
}

QString fromSystemBytes(const QByteArray& bytes) {
    QStringDecoder decoder(QStringConverter::System);
    return decoder.decode(bytes);
}

}  // namespace kr5
