// Text in the files the program writes and reads (the measurement file, the settings
// file) is held in the system's encoding: on Windows the ANSI code page, on Linux and
// macOS UTF-8, which is what Qt's "System" converter gives on each.
#pragma once

#include <QByteArray>
#include <QString>

namespace kr5 {

// The text in the system's encoding; characters it cannot hold are replaced.
QByteArray toSystemBytes(const QString& text);

// Bytes in the system's encoding as text; invalid sequences become replacement
// characters, so any bytes at all can be read.
QString fromSystemBytes(const QByteArray& bytes);

}  // namespace kr5
