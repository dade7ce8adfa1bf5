// Writing a file whole or not at all: beside the old one, flushed and checked, and only
// then put in its place, so that a full disk never replaces a file with an empty or
// half-written one, and never reports such a write as done. A symbolic link in the
// file's own place is not followed.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>

namespace kr5 {

enum class WhereNoTemporary {
    Refuse,       // a folder that allows no file beside the old one gets no file
    WriteInPlace  // the file is written in place there (the old one may be lost on failure)
};

// True, with the reason in problem (when given), when a symbolic link stands in the file's
// place: writing through it could create or change a file anywhere.
bool refuseLink(const QString& path, QString* problem);

// write fills the device; false from it, a write error or a failed flush leaves the old
// file (or none) as it was, with the reason in problem (when given).
bool writeWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write,
                    QString* problem, WhereNoTemporary fallback = WhereNoTemporary::Refuse);
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* problem,
                    WhereNoTemporary fallback = WhereNoTemporary::Refuse);

}  // namespace kr5
