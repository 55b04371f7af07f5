#pragma once
#include <QString>

// The precision the user chose for spoken values (setting "SpokenDigits"): every spoken value,
// level and readout goes through here, so the choice applies everywhere at once. Counts,
// channel numbers and percentages are whole numbers and never pass through here.
class SpokenNumbers {
public:
    static constexpr int MaxDigits = 15;

    // 0 keeps the usual forms; 1 to 15 is the count of significant digits.
    int digits() const { return digits_; }
    // Values outside 0 to 15 are refused (false) and leave the choice as it was.
    bool setDigits(int digits);

    // A value in the sign-padded form, rounded to the chosen digits first; with no choice it
    // is rounded to `usualDigits` (0 = as precise as the form allows).
    QString value(double v, int usualDigits = 0) const;
    // A level of the view or the data (Top, Bottom, Height, Maximum Y, Average Y value):
    // floored with no choice, rounded to the chosen digits otherwise.
    QString level(double v) const;
    // Where the cursor stands: short enough to hear at every step.
    QString readout(double v) const { return value(v, ReadoutDigits); }

    static constexpr int ReadoutDigits = 4;

private:
    int digits_ = 0;
};
