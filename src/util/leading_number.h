#pragma once
#include <QString>

// The leading decimal number of a text, read leniently the way typed answers and stored
// settings are read: blanks around it ignored, "12abc" is 12, "abc" is 0, "1e3" is 1000.
double leadingNumber(const QString &text);
