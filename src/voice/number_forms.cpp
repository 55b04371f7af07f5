#include "voice/number_forms.h"
#include <QDate>
#include <QLocale>
#include <QTime>
#include <algorithm>
#include <cmath>

namespace NumberForms {

namespace {

// Whole seconds of the time of day of a day number. Before day 0 the fraction still counts
// forward from midnight, as the date-time convention has it (-1.25 is 06:00 of day -1).
qint64 secondsOfDay(double day)
{
    if (!std::isfinite(day))
        return 0;
    const double magnitude = std::fabs(day);
    qint64 seconds = std::llround((magnitude - std::floor(magnitude)) * 86400.0);
    return seconds % 86400;
}

// Degrees, minutes and seconds as "d:mm:ss.s". The seconds are rounded to tenths first, so that
// 59.96 s reads as the next minute and 59.96 min as the next degree: never "60" and never "-0.0".
QString dms(double degrees, qint64 minutes, double seconds)
{
    qint64 tenths = std::isfinite(seconds) ? std::llround(std::clamp(seconds, 0.0, 7200.0) * 10.0) : 0;
    minutes += tenths / 600;
    tenths %= 600;
    double wholeDegrees = std::fabs(std::trunc(degrees)) + double(minutes / 60);
    minutes %= 60;
    // The sign belongs to the degrees, also south or west of zero by less than a degree.
    const QString d = (degrees < 0 ? QStringLiteral("-") : QString()) + signPadded(wholeDegrees).trimmed();
    return d + u':' + QStringLiteral("%1").arg(minutes, 2, 10, QLatin1Char('0')) + u':'
           + QStringLiteral("%1").arg(tenths / 10, 2, 10, QLatin1Char('0')) + QLocale::system().decimalPoint()
           + QString::number(tenths % 10);
}

} // namespace

QString signPadded(double value)
{
    if (std::isnan(value))
        return QStringLiteral(" NaN");
    QString text = QString::number(std::fabs(value), 'g', 15).toUpper();
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    return (value < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + text;
}

double roundedToDigits(double value, int digits)
{
    if (digits < 1 || digits > 15 || !std::isfinite(value) || value == 0)
        return value;
    // Through the decimal text, so that the result prints as exactly DIGITS digits or fewer.
    return QString::number(value, 'g', digits).toDouble();
}

QString floored(double value)
{
    return signPadded(std::floor(value));
}

QString hhnnss(double day)
{
    return QTime(0, 0).addSecs(int(secondsOfDay(day))).toString(QStringLiteral("HH:mm:ss"));
}

QString shortDate(double day)
{
    // Far outside any calendar (or not a number): nothing to say rather than a made-up date.
    if (!(std::fabs(day) < 3e6))
        return QString();
    double whole = std::trunc(day);
    // A time that rounds up to midnight belongs to the next day.
    if (day >= 0 && std::llround((day - whole) * 86400.0) >= 86400)
        whole += 1;
    const QDate date = QDate(1899, 12, 30).addDays(qint64(whole));
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

QString threeDecimals(double value)
{
    QString text = QString::number(std::fabs(value), 'f', 3);
    const qsizetype point = text.indexOf(u'.');
    QString whole = text.left(point);
    QString decimals = text.mid(point + 1);
    while (decimals.endsWith(u'0'))
        decimals.chop(1);
    if (whole == QLatin1String("0"))
        whole.clear();
    const bool negative = value < 0 && !(whole.isEmpty() && decimals.isEmpty());
    return (negative ? QStringLiteral("-") : QString()) + whole + QLocale::system().decimalPoint() + decimals;
}

QString FormatDMS(double degrees)
{
    if (!std::isfinite(degrees))
        return signPadded(degrees).trimmed();
    const double d = std::trunc(degrees);
    const double f = std::fabs(degrees) - std::fabs(d);
    const qint64 m = qint64(std::floor(std::floor(f * 600000.5) / 10000.0));
    return dms(degrees, m, (f - double(m) / 60.0) * 3600.005);
}

QString FormatDMSCarry(double degrees)
{
    if (!std::isfinite(degrees))
        return signPadded(degrees).trimmed();
    const double d = std::trunc(degrees);
    const double f = std::fabs(degrees - d);
    const qint64 m = qint64(std::floor(std::floor(f * 60000.5) / 1000.0));
    return dms(degrees, m, (f - double(m) / 60.0) * 3600.05);
}

} // namespace NumberForms
