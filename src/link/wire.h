// How text meets the line: the address characters and the byte form of frames, the
// character view of what the units send back, and the identification fields discovery
// reads. The fields of measurement replies are read in reply.h.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace kr5 {

// The address character of index 0..15: the half-width katakana U+FF80 + n, which is the
// single byte 0xC0 + n on the line.
QChar addressChar(int index);

// Text to line bytes: the half-width katakana go out as their one-byte code (so the
// address characters become 0xC0..0xCF), ASCII as itself, anything else as '?'.
QByteArray encodeLine(QStringView text);

// Line bytes to characters, counting as the instruments' character set does: a byte of
// 0xA1..0xDF is one half-width katakana, a lead byte of a double-byte character takes
// the byte after it, and bytes that are no character read as U+FFFD.
QString decodeLine(const QByteArray& bytes);

// The command frame: address character, command, CR, LF.
QByteArray frame(QStringView address, QStringView command);

// Characters pos..pos+len-1 of a reply (counted from 1), cut short where the reply ends.
QStringView field(QStringView reply, int pos, int len);

// The unit type letters of an identify reply (characters 4-5) and its 13-character
// identification text (characters 4-16).
QString unitType(QStringView reply);
QString unitIdent(QStringView reply);

}  // namespace kr5
