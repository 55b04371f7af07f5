#include "voice/spoken_numbers.h"
#include "voice/number_forms.h"

bool SpokenNumbers::setDigits(int digits)
{
    if (digits < 0 || digits > MaxDigits)
        return false;
    digits_ = digits;
    return true;
}

QString SpokenNumbers::value(double v, int usualDigits) const
{
    return NumberForms::signPadded(NumberForms::roundedToDigits(v, digits_ > 0 ? digits_ : usualDigits));
}

QString SpokenNumbers::level(double v) const
{
    return digits_ > 0 ? value(v) : NumberForms::floored(v);
}
