#pragma once
#include <QString>

// Every number and time the program speaks goes through these forms.
namespace NumberForms {

// Decimal with "." as point, at most 15 significant digits, no zero before the point,
// exponent form for very large or small magnitudes; a leading blank when not negative.
// 9 -> " 9", 0.5 -> " .5", -2.5 -> "-2.5", 1e20 -> " 1E+20".
QString signPadded(double value);

// The value rounded to DIGITS significant digits (1 to 15); any other DIGITS leaves it as it is.
// Rounds half away from zero on the decimal digits: (0.508808, 3) -> 0.509, (1234567, 3) -> 1230000.
double roundedToDigits(double value, int digits);

// The largest whole number not above the value, sign-padded: -2.5 -> "-3", 45 -> " 45".
QString floored(double value);

// Time of day of a day number as "HH:nn:ss"; whole days are dropped (25 hours -> "01:00:00").
QString hhnnss(double day);

// Date of a day number in the system locale's short date format.
QString shortDate(double day);

// Up to three decimals without trailing zeros, the locale's decimal separator always kept,
// no leading zero: 12 -> "12.", 0.25 -> ".25" (with "." as separator).
QString threeDecimals(double value);

// Degrees as "d:mm:ss.s", the sign on the degrees only: 40.12 -> "40:07:12.0", -0.5 -> "-0:30:00.0".
// Seconds that round to 60 count as the next minute, 60 minutes as the next degree.
// FormatDMS speaks latitudes, FormatDMSCarry longitudes; they differ only in their rounding margins.
QString FormatDMS(double degrees);
QString FormatDMSCarry(double degrees);

} // namespace NumberForms
