// Numbers typed into the Input const window and read from its settings file. The text
// is read from its start as far as it forms a number, with '.' as the decimal point
// whatever the locale: " 12abc" is 12, "abc" is 0, "-.5e2x" is -50.
#pragma once

#include <QStringView>
#include <QtGlobal>

namespace kr5 {

// fits is false when the number is beyond the range of a double (such as "1e400");
// value is 0 then. A number too small for a double reads as 0 and fits.
struct LeadingNumber {
    double value = 0.0;
    bool fits = true;
};

// Leading blanks and tabs are skipped; then an optional sign, digits with at most one
// '.', and an optional exponent "E" or "e" with its own sign and digits. A blank ends
// the number. A text that does not start with a number gives 0.
LeadingNumber leadingNumber(QStringView text);

// A count (Start Count, Stop Count): the leading number rounded to the nearest whole
// number, halves to even. fits is false, and value 0, when the result lies outside the
// 32-bit range; it never wraps.
struct LeadingCount {
    qint32 value = 0;
    bool fits = true;
};

LeadingCount leadingCount(QStringView text);

}  // namespace kr5
