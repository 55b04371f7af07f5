#pragma once
#include <QString>

// Every number and time the program speaks goes through these forms.
namespace NumberForms {

// Decimal with "." as point, at most 15 significant digits, no zero before the point,
// exponent form for very large or small magnitudes; a leading blank when not negative.
// 9 -> " 9", 0.5 -> " .5", -2.5 -> "-2.5", 1e20 -> " 1E+20".
QString signPadded(double value);

// The largest whole number not above the value, sign-padded: -2.5 -> "-3", 45 -> " 45".
QString floored(double value);

// Time of day of a day number as "HH:nn:ss"; whole days are dropped (25 hours -> "01:00:00").
QString hhnnss(double day);

// Date of a day number in the system locale's short date format.
QString shortDate(double day);

// Up to three decimals without trailing zeros, the locale's decimal separator always kept,
// no leading zero: 12 -> "12.", 0.25 -> ".25" (with "." as separator).
QString threeDecimals(double value);

// Degrees as "d:mm:ss.s"; the seconds are not carried (may read 60.0).
QString FormatDMS(double degrees);
// Degrees as "d:mm:ss.s" with 60 seconds carried into the minutes.
QString FormatDMSCarry(double degrees);

} // namespace NumberForms
