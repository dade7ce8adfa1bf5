// How text meets the line: the address characters and the byte form of frames, the
// character view of what the units send back, and the fields read out of a reply.
// Every reader tolerates any input: a field that is missing or not a number reads as 0.
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

// A hexadecimal field: the leading hex digits of the field as an unsigned number.
quint32 hexField(QStringView reply, int pos, int len);

// A one-character decimal digit field: 0..9, or 0 when it is not a digit.
int digitField(QStringView reply, int pos);

// A decimal field read as a number the way a leading number is taken from text: optional
// blanks and sign, digits, a point and digits, an exponent; "12x" gives 12, "x" gives 0.
double decimalField(QStringView reply, int pos, int len);

// Decodes the AC unit's 9-character reply to "t" into acuval and returns it. Codes it
// does not know leave acuval as it was.
double acudec(QStringView reply, double& acuval);

// The pulse count of a Q-N gate: four hex digits at characters 4..7, 0..65535.
quint32 qncount(QStringView reply);

// Pulses per second from a gate count: count * 1000 / gatetime, rounded; 0 for a gate
// time that is not positive.
qint32 qnrate(quint32 count, qint32 gatetime);

// The unit type letters of an identify reply (characters 4-5) and its 13-character
// identification text (characters 4-16).
QString unitType(QStringView reply);
QString unitIdent(QStringView reply);

}  // namespace kr5
