#include "voice/number_forms.h"
#include <cmath>

namespace NumberForms {

QString signPadded(double value)
{
    // Provisional: whole numbers only; the full form arrives with the spoken reports.
    const QString digits = QString::number(std::fabs(value), 'f', 0);
    return (value < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + digits;
}

} // namespace NumberForms

namespace NumberForms {
QString floored(double value) { return signPadded(std::floor(value)); }
QString hhnnss(double) { return {}; }
QString shortDate(double) { return {}; }
QString threeDecimals(double) { return {}; }
QString FormatDMS(double) { return {}; }
QString FormatDMSCarry(double) { return {}; }
} // namespace NumberForms
