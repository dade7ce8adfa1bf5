// The settings file of the input constants: "kr5au" + port digit + ".ini", nine lines
// without keys, one per port so that each port keeps the constants of its own detector.
#pragma once

#include "core/inputconstants.h"

#include <QString>

namespace kr5 {

class SettingsFile {
  public:
    // directory: where the file lies; empty means the working directory, where the
    // program keeps it (the name alone, resolved when the file is used).
    explicit SettingsFile(QString directory = {}) : directory_(std::move(directory)) {}

    // "kr5au" + portDigit + ".ini", inside the directory when one was given.
    QString path(const QString& portDigit) const;

    // The longest line the file may have, in bytes without its end. Reading never takes
    // more than this of a line, so a huge or endless file costs no more than a normal one.
    static constexpr qint64 maxLineBytes = 1024;
    // Whether text fits on a line of the file.
    static bool fitsOnALine(const QString& text);

    // Reads lines 2 to 9 into v, in order. Line 1 (the name) is skipped. Lines
    // 2 to 4 are texts, each taken whole; lines 5 to 7 numbers and 8 and 9 counts, each
    // the first field of its line (up to a comma, or a quoted value) read by the
    // leading-number rules. Reading stops at the first line that is missing, longer than
    // maxLineBytes or whose number does not fit (a count outside the 32-bit range): the
    // values read before it are in v, the others keep theirs. Nothing after line 9 is read.
    // Returns true when all eight were read. A PT ratio or Adjust of 0 (or no number) is
    // not taken: v keeps its value and ignored (when given) receives a message naming the
    // file and the line.
    // A path that is there but is no regular file (a FIFO, a device, a folder) is not
    // opened at all, since reading it could wait for ever or never end: v is left as it
    // is and ignored (when given) receives a message naming it.
    bool load(const QString& portDigit, InputConstants& v, QString* ignored = nullptr) const;

    // Replaces the file with the nine lines name, number, temperature, humidity, PT
    // ratio, Adjust, Set Q, Start and Stop count; texts as they are, numbers in the file number
    // form followed by a blank (" 100 "), each line ending in CR LF. On failure the old file is
    // left as it was and problem (when given) receives the reason.
    bool save(const QString& portDigit, const InputConstants& v, QString* problem = nullptr) const;

  private:
    QString directory_;
};

}  // namespace kr5
