// Helpers shared by the records tests: file contents as bytes and as lines.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <ostream>

// Failure messages show texts as text.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"' << bytes.toStdString() << '"';
}

namespace kr5::recordstest {

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines of a file written with CR LF ends; a file with any other line end gives one
// line saying so, which no expected content matches.
inline QList<QByteArray> crlfLines(const QString& path) {
    QByteArray bytes = readBytes(path);
    if (bytes.isEmpty()) {
        return {};
    }
    if (!bytes.endsWith("\r\n") || bytes.count('\n') != bytes.count("\r\n")) {
        return {"<a line without CR LF>"};
    }
    bytes.chop(2);
    QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        lines[i].chop(1);  // its CR
    }
    return lines;
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
    }
}

}  // namespace kr5::recordstest
