#include "voice/number_forms.h"
#include <QDate>
#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>

using namespace NumberForms;

namespace {
QString dp() { return QLocale::system().decimalPoint(); }
double dayOf(QDate d) { return double(QDate(1899, 12, 30).daysTo(d)); }
}

TEST(NumberForms, SignPaddedRoundedAndFlooredValues)
{
    EXPECT_EQ(signPadded(-0.0), " 0");
    EXPECT_EQ(signPadded(-0.25), "-.25");
    EXPECT_EQ(signPadded(1.10), " 1.1");
    EXPECT_EQ(signPadded(1234567.125), " 1234567.125");
    // 15 significant digits, the last one rounded.
    EXPECT_EQ(signPadded(123456789012345.6), " 123456789012346");
    EXPECT_EQ(signPadded(0.1 + 0.2), " .3");
    EXPECT_EQ(signPadded(1e20), " 1E+20");
    EXPECT_EQ(signPadded(-1.5e-7), "-1.5E-07");

    // Rounded to 1 to 15 significant digits.
    EXPECT_EQ(signPadded(roundedToDigits(0.508808520572834, 3)), " .509");
    EXPECT_EQ(signPadded(roundedToDigits(1234567, 3)), " 1230000");
    EXPECT_EQ(signPadded(roundedToDigits(-0.0000123456, 1)), "-1E-05");
    EXPECT_EQ(roundedToDigits(0.123456789012345678, 15), 0.123456789012346);
    // Outside 1 to 15 the value is untouched.
    EXPECT_EQ(roundedToDigits(0.508808520572834, 0), 0.508808520572834);
    EXPECT_EQ(roundedToDigits(0.508808520572834, 16), 0.508808520572834);

    // Floored: rounded down before writing.
    EXPECT_EQ(floored(-2.5), "-3");
    EXPECT_EQ(floored(100.7), " 100");
    EXPECT_EQ(floored(-0.5), "-1");
    EXPECT_EQ(floored(0.999), " 0");
}

TEST(NumberForms, TimeOfDayAndDate)
{
    EXPECT_EQ(hhnnss(45000.5625), "13:30:00");
    EXPECT_EQ(hhnnss(25.0 / 24.0), "01:00:00");
    EXPECT_EQ(hhnnss((1 + 2 / 60.0 + 3 / 3600.0) / 24.0), "01:02:03");
    EXPECT_EQ(hhnnss(1 - 0.1 / 86400), "00:00:00");
    EXPECT_EQ(hhnnss(-1.25), "06:00:00");
    EXPECT_EQ(hhnnss(std::nan("")), "00:00:00");

    // The date in the system's short form.
    const QDate date(2024, 3, 1);
    const QString expected = QLocale::system().toString(date, QLocale::ShortFormat);
    EXPECT_EQ(shortDate(dayOf(date)), expected);
    EXPECT_EQ(shortDate(dayOf(date) + 0.75), expected);
    EXPECT_EQ(shortDate(dayOf(date) - 0.1 / 86400), expected);
    EXPECT_EQ(shortDate(1e300), "");
}

TEST(NumberForms, ThreeDecimalsAndDegreesKeepTheSeparator)
{
    EXPECT_EQ(threeDecimals(12), "12" + dp());
    EXPECT_EQ(threeDecimals(0.25), dp() + "25");
    EXPECT_EQ(threeDecimals(12.3456), "12" + dp() + "346");
    EXPECT_EQ(threeDecimals(0), dp());
    EXPECT_EQ(threeDecimals(-1.5), "-1" + dp() + "5");

    // Degrees, minutes, seconds: seconds that round to 60 carry into the minutes, 60 minutes into the degrees; no "-0.0".
    EXPECT_EQ(FormatDMS(40.99999), "41:00:00" + dp() + "0");
    EXPECT_EQ(FormatDMSCarry(10.99999), "11:00:00" + dp() + "0");
    EXPECT_EQ(FormatDMSCarry(0.999999), "1:00:00" + dp() + "0");
    EXPECT_EQ(FormatDMS(-12.999999), "-13:00:00" + dp() + "0");
    EXPECT_EQ(FormatDMSCarry(-0.999999), "-1:00:00" + dp() + "0");
    EXPECT_EQ(FormatDMS(40.5 + 59.96 / 3600), "40:31:00" + dp() + "0");
    // South of the equator by less than a degree stays south.
    EXPECT_EQ(FormatDMS(-0.5), "-0:30:00" + dp() + "0");
    EXPECT_EQ(FormatDMSCarry(-0.25), "-0:15:00" + dp() + "0");
}
