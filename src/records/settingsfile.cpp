#include "settingsfile.h"

#include "core/format.h"
#include "numbertext.h"
#include "systemtext.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace kr5 {

namespace {

// The lines of the file without their CR LF (or lone LF) ends; a last line without an
// end counts, an empty piece after the last end does not.
QStringList fileLines(const QByteArray& bytes) {
    QStringList lines = fromSystemBytes(bytes).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty()) {
        lines.removeLast();
    }
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
    }
    return lines;
}

// The first field of a number line: blanks skipped, then up to a comma, or the inside of
// a quoted value.
QStringView firstField(QStringView line) {
    line = line.trimmed();
    if (line.startsWith(QLatin1Char('"'))) {
        line = line.mid(1);
        const auto close = line.indexOf(QLatin1Char('"'));
        return close < 0 ? line : line.left(close);
    }
    const auto comma = line.indexOf(QLatin1Char(','));
    return comma < 0 ? line : line.left(comma);
}

QString numberLine(double x) {
    return numberForm(x) + QLatin1Char(' ');
}

}  // namespace

QString SettingsFile::path(const QString& portDigit) const {
    const QString name = QStringLiteral("kr5au") + portDigit + QStringLiteral(".ini");
    return directory_.isEmpty() ? name : QDir(directory_).filePath(name);
}

bool SettingsFile::load(const QString& portDigit, InputConstants& v) const {
    QFile file(path(portDigit));
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QStringList lines = fileLines(file.readAll());
    file.close();
    if (lines.size() < 2) {
        return false;
    }
    // Line 1, the name, is never read back. Each value is stored only when its line is
    // there and fits, and the first that is not ends the reading.
    qsizetype next = 1;
    const auto line = [&lines, &next]() -> QStringView { return lines[next++]; };
    const auto more = [&lines, &next] { return next < lines.size(); };
    for (QString* text : {&v.number, &v.temperature, &v.humidity}) {
        if (!more()) {
            return false;
        }
        *text = line().toString();
    }
    for (double* number : {&v.ptRatio, &v.adjust, &v.setQ}) {
        const LeadingNumber n =
            more() ? leadingNumber(firstField(line())) : LeadingNumber{0, false};
        if (!n.fits) {
            return false;
        }
        *number = n.value;
    }
    for (qint32* count : {&v.startCount, &v.stopCount}) {
        const LeadingCount c = more() ? leadingCount(firstField(line())) : LeadingCount{0, false};
        if (!c.fits) {
            return false;
        }
        *count = c.value;
    }
    return true;
}

bool SettingsFile::save(const QString& portDigit, const InputConstants& v, QString* problem) const {
    const QStringList lines = {v.name,
                               v.number,
                               v.temperature,
                               v.humidity,
                               numberLine(v.ptRatio),
                               numberLine(v.adjust),
                               numberLine(v.setQ),
                               numberLine(v.startCount),
                               numberLine(v.stopCount)};
    QString text;
    for (const QString& line : lines) {
        text += line + QStringLiteral("\r\n");
    }
    // Written beside the old file and put in its place only when complete, so that a
    // full disk never leaves a half-written file behind.
    QSaveFile file(path(portDigit));
    const QByteArray bytes = toSystemBytes(text);
    const bool ok =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok && problem != nullptr) {
        *problem = file.errorString();
    }
    return ok;
}

}  // namespace kr5
