#include "settingsfile.h"

#include "core/format.h"
#include "numbertext.h"
#include "platform/wholefile.h"
#include "systemtext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cmath>
#include <optional>

namespace kr5 {

namespace {

// The next line of the file without its CR LF (or lone LF) end, or nothing when the file
// has ended or the line is longer than a line may be. A last line without an end counts,
// an empty piece after the last end does not. Only a bounded part of the line is read.
std::optional<QString> nextLine(QFile& file) {
    if (file.atEnd()) {
        return std::nullopt;
    }
    // Room for the longest line and its CR LF; the length is checked without them.
    QByteArray line = file.readLine(SettingsFile::maxLineBytes + 3);
    if (line.endsWith('\n')) {
        line.chop(1);
    } else if (!file.atEnd()) {
        return std::nullopt;
    }
    if (line.endsWith('\r')) {
        line.chop(1);
    }
    if (line.size() > SettingsFile::maxLineBytes) {
        return std::nullopt;
    }
    return fromSystemBytes(line);
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

// Adds a message to those the load gives back.
void refuse(QString* ignored, const QString& message) {
    if (ignored != nullptr) {
        *ignored += (ignored->isEmpty() ? QString() : QStringLiteral("\n")) + message;
    }
}

QString numberLine(double x) {
    return numberForm(x) + QLatin1Char(' ');
}

}  // namespace

QString SettingsFile::path(const QString& portDigit) const {
    const QString name = QStringLiteral("kr5au") + portDigit + QStringLiteral(".ini");
    return directory_.isEmpty() ? name : QDir(directory_).filePath(name);
}

bool SettingsFile::fitsOnALine(const QString& text) {
    return toSystemBytes(text).size() <= maxLineBytes && !text.contains(QLatin1Char('\n'));
}

bool SettingsFile::load(const QString& portDigit, InputConstants& v, QString* ignored) const {
    const QString filePath = path(portDigit);
    const QFileInfo info(filePath);
    if (!info.exists()) {
        return false;
    }
    if (!info.isFile()) {
        if (ignored != nullptr) {
            *ignored =
                QCoreApplication::translate("SettingsFile",
                                            "The settings file %1 is not a regular file and was "
                                            "not read. The default input constants are used.")
                    .arg(QDir::toNativeSeparators(info.absoluteFilePath()));
        }
        return false;
    }
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    // Line 1, the name, is never read back. Each value is stored only when its line is
    // there and fits, and the first that is not ends the reading.
    if (!nextLine(file)) {
        return false;
    }
    for (QString* text : {&v.number, &v.temperature, &v.humidity}) {
        const std::optional<QString> line = nextLine(file);
        if (!line) {
            return false;
        }
        *text = *line;
    }
    // PT ratio and Adjust scale every reading: 0 (what a line of no number reads as) would
    // make every voltage or charge 0, so the default stays and the operator is told where
    // it came from.
    const struct {
        double* value;
        const char* name;
        bool mustNotBeZero;
    } numbers[] = {
        {&v.ptRatio, "PT ratio", true}, {&v.adjust, "Adjust", true}, {&v.setQ, "Set Q", false}};
    int lineNumber = 4;
    for (const auto& number : numbers) {
        const std::optional<QString> line = nextLine(file);
        ++lineNumber;
        const LeadingNumber n = line ? leadingNumber(firstField(*line)) : LeadingNumber{0, false};
        if (!n.fits) {
            return false;
        }
        if (number.mustNotBeZero && (n.value == 0.0 || !std::isfinite(n.value))) {
            refuse(ignored,
                   QCoreApplication::translate(
                       "SettingsFile",
                       "The settings file %1, line %2: %3 %4 would make every reading "
                       "meaningless. The default %5 is used.")
                       .arg(QDir::toNativeSeparators(QFileInfo(filePath).absoluteFilePath()))
                       .arg(lineNumber)
                       .arg(QLatin1String(number.name), plainNumber(n.value),
                            plainNumber(*number.value)));
            continue;
        }
        *number.value = n.value;
    }
    for (qint32* count : {&v.startCount, &v.stopCount}) {
        const std::optional<QString> line = nextLine(file);
        const LeadingCount c = line ? leadingCount(firstField(*line)) : LeadingCount{0, false};
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
    return writeWholeFile(path(portDigit), toSystemBytes(text), problem);
}

}  // namespace kr5
