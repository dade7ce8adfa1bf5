// Number texts shared by the panel, the files, the charts and the captions. Every text
// uses '.' as the decimal point whatever the locale, and none of them depends on the
// system or Qt default locale.
//
// Common rules:
// - A value is first taken to 15 significant decimal digits; this removes the noise of
//   binary doubles (0.1 + 0.2 is .3) and is "the decimal value" below.
// - Rounding to a fixed count of places (the display patterns) rounds that decimal value,
//   halves to the even neighbour: 5.25 to one place gives 5.2, 0.15 gives .2, 9.95 gives
//   10.0 and 2.675 to two places gives 2.68.
// - NaN and infinities never reach a digit loop: they are written "NaN", "Inf" and "-Inf"
//   (with the leading blank of the sign position where the form has one).
#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

namespace kr5 {

// A number with a "k" or "M" prefix for scales and readouts: x of 1 000 000 or more is
// divided by 1 000 000 and gets "M", x of 1000 or more is divided by 1000 and gets "k".
// The number text (a blank or "-", then the plain decimal digits with no zero before the
// point of a fraction and never an exponent) is cut to its first five characters before
// the prefix is added, so the cut may leave a trailing point: 2500 gives " 2.5k", 123456
// gives " 123.k", 999.99 gives " 999.", -2500 gives "-2500" (negative values never get a
// prefix). The cut truncates, it does not round.
QString prefixedNumber(double x);

// A number through a display pattern: "#" a digit shown only when significant, "0" a
// digit always shown, and each character after the point one fixed, rounded place. The
// integer part is always shown in full, however many "#" the pattern has. A pattern
// without a point gives a whole number, and "####" gives an empty text when the value
// rounds to 0. A negative value gets a leading "-" unless it rounds to zero. Patterns in
// use: "######.00" (charge), "####.0" (pulse rate), "00.0" (Es), ".0" (data rows) and
// "####" (cycle time): 0.5 gives ".50", ".5", "00.5", ".5" and "".
QString formatPattern(double x, QStringView pattern);

// The number form of values in files and captions: a blank for values >= 0 or "-", at
// most 15 significant digits without trailing zeros, no point for whole values and no
// zero before the point of a fraction (" 100", "-2", " .25", "-.5"). Magnitudes (after
// the rounding to 15 digits) of 1E+15 and above, or below 1E-04, are written in exponent
// form with at least two exponent digits: " 1E+15", " 9.99E-05", "-2.5E+20". These are
// the bounds of a 15-digit general format: every whole number below 1E+15 fits in 15
// digits and is written exactly, and the smallest plain fraction is " .0001".
QString numberForm(double x);

// The decimal places a charge in pC is shown with: three significant digits are as many as
// a reading carries (the detector's peak code has fewer than three, FF being 255), and whole
// picocoulombs from 100 pC up: 2 below 10 pC, 1 below 100 pC, 0 from there.
int chargePlaces(double pc);
// A charge to those places, as plainNumber writes it: 7.29411 gives "7.29", 37.26 gives
// "37.3", 1141.18 gives "1141".
QString chargeText(double pc);

// A test level in kV as test plans write it: one place at least, three at most ("12.0",
// "11.25").
QString testLevelText(double kv);

// The plain number text of the inception and extinction result table: as the number
// form, with no leading blank and with the ordinary zero before the point of a fraction:
// 1200 gives "1200", 1234.5 gives "1234.5", 0.5 gives "0.5", -3 gives "-3", 1E+15 gives
// "1E+15".
QString plainNumber(double x);

}  // namespace kr5
