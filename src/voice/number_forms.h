#pragma once
#include <QString>

// Every number and time the program speaks goes through these forms.
namespace NumberForms {

// Decimal with "." as point, at most 15 significant digits, no zero before the point,
// exponent form for very large or small magnitudes; a leading blank when not negative.
// 9 -> " 9", 0.5 -> " .5", -2.5 -> "-2.5", 1e20 -> " 1E+20".
QString signPadded(double value);

} // namespace NumberForms
