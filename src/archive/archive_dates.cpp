#include "archive/archive_dates.h"
#include "util/leading_number.h"
#include <QDate>
#include <QRegularExpression>
#include <QTime>
#include <cmath>
#include <limits>

namespace {

constexpr double MinutesPerDay = 1440.0;

// Days from 1 March of year 0 in the proleptic Gregorian calendar, shifted to 1 Jan 1970 = 0.
long long daysFromCivil(long long y, long long m, long long d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

const long long DayZero = daysFromCivil(1899, 12, 30);

// A date or time part as a 16-bit whole number, rounded half to even; nothing when no calendar
// part can be that large (a year of 99999).
std::optional<long long> part(double value)
{
    const double whole = std::nearbyint(value);
    if (!(whole >= -32768 && whole <= 32767))
        return std::nullopt;
    return static_cast<long long>(whole);
}

constexpr double Unreadable = std::numeric_limits<double>::quiet_NaN();

double timeSerial(double hours, double minutes)
{
    const auto h = part(hours), m = part(minutes);
    if (!h || !m)
        return Unreadable;
    return (*h * 60 + *m) / MinutesPerDay;
}

long long floorDiv(long long a, long long b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

int twoDigitYear(int year)
{
    return year < 30 ? 2000 + year : 1900 + year;
}

double dayOf(const QDate &date) { return double(date.toJulianDay() - QDate(1899, 12, 30).toJulianDay()); }

double dayOf(const QDate &date, const QTime &time)
{
    return dayOf(date) + time.msecsSinceStartOfDay() / 86400000.0;
}

// The plain C locale writes dates as POSIX does: 12/23/03.
bool isPlainC(const QLocale &locale) { return locale.language() == QLocale::C; }

QString shortDateFormat(const QLocale &locale)
{
    return isPlainC(locale) ? QStringLiteral("M/d/yy") : locale.dateFormat(QLocale::ShortFormat);
}

// Day, month and year order of the locale's short date ("M/d/yy" -> 'M', 'd', 'y').
QString dateOrder(const QLocale &locale)
{
    QString order;
    for (QChar c : shortDateFormat(locale)) {
        if ((c == u'd' || c == u'M' || c == u'y') && !order.contains(c))
            order += c;
    }
    return order.size() == 3 ? order : QStringLiteral("Mdy");
}

std::optional<QTime> parseTime(const QString &text, const QLocale &locale)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2})(?::(\\d{2}))?(?::(\\d{2}))?\\s*(\\S+)?$"));
    const auto m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    int hour = m.captured(1).toInt();
    const int minute = m.captured(2).toInt();
    const int second = m.captured(3).toInt();
    const QString suffix = m.captured(4);
    if (!suffix.isEmpty()) {
        const bool am = suffix.compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0 ||
                        suffix.compare(locale.amText(), Qt::CaseInsensitive) == 0;
        const bool pm = suffix.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0 ||
                        suffix.compare(locale.pmText(), Qt::CaseInsensitive) == 0;
        if ((!am && !pm) || hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (pm ? 12 : 0);
    } else if (m.captured(2).isEmpty()) {
        return std::nullopt;   // a lone number is no time
    }
    const QTime time(hour, minute, second);
    return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
}

} // namespace

namespace {

// The conversions read index text and the user's typed text alike: QStringView for text already
// decoded, QByteArrayView for the index's own bytes (every character they look at is ASCII).
int unitAt(QStringView text, qsizetype i) { return text[i].unicode(); }
int unitAt(QByteArrayView text, qsizetype i) { return static_cast<unsigned char>(text[i]); }
qsizetype find(QStringView text, char c) { return text.indexOf(QLatin1Char(c)); }
qsizetype find(QByteArrayView text, char c) { return text.indexOf(c); }
QString asText(QStringView text) { return text.toString(); }
QString asText(QByteArrayView text) { return QString::fromLatin1(text); }

template <typename View>
double valueOf(View text)
{
    qsizetype i = 0;
    while (i < text.size() && unitAt(text, i) == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (unitAt(text, i) == '-' || unitAt(text, i) == '+'))
        negative = unitAt(text, i++) == '-';
    double value = 0;
    bool digits = false;
    for (; i < text.size() && unitAt(text, i) >= '0' && unitAt(text, i) <= '9'; ++i) {
        value = value * 10 + (unitAt(text, i) - '0');
        digits = true;
    }
    // Fractions and exponents are rare in the index: the general reader handles them.
    if (i < text.size() && (unitAt(text, i) == '.' || unitAt(text, i) == 'e' || unitAt(text, i) == 'E'))
        return leadingNumber(asText(text));
    if (!digits)
        return 0;
    return negative ? -value : value;
}

double daySerialOrNaN(double year, double month, double day)
{
    auto y = part(year);
    const auto m = part(month);
    const auto d = part(day);
    if (!y || !m || !d)
        return Unreadable;
    if (*y >= 0 && *y <= 99)
        *y = twoDigitYear(int(*y));
    *y += floorDiv(*m - 1, 12);
    const long long monthInYear = *m - 1 - floorDiv(*m - 1, 12) * 12 + 1;
    return double(daysFromCivil(*y, monthInYear, 1) + (*d - 1) - DayZero);
}

template <typename View>
double sortDate(View text)
{
    if (text.size() != 12)
        return 0;
    return daySerialOrNaN(valueOf(text.sliced(0, 4)), valueOf(text.sliced(4, 2)), valueOf(text.sliced(6, 2))) +
           timeSerial(valueOf(text.sliced(8, 2)), valueOf(text.sliced(10, 2)));
}

template <typename View>
double indexDate(View text)
{
    double parts[2] = {0, 0};
    for (double &p : parts) {
        const qsizetype slash = find(text, '/');
        if (slash < 0)
            break;
        p = valueOf(text.first(slash));
        text = text.sliced(slash + 1);
    }
    return daySerialOrNaN(valueOf(text), parts[0], parts[1]);
}

template <typename View>
double indexTime(View text)
{
    if (text.size() != 4)
        return 0;
    return timeSerial(valueOf(text.sliced(0, 2)), valueOf(text.sliced(2, 2)));
}

double readable(double value)
{
    if (std::isnan(value))
        throw ArchiveFormatError("A date or time part of the index is out of range.");
    return value;
}

} // namespace

double archiveValue(QStringView text) { return valueOf(text); }
double archiveValue(QByteArrayView text) { return valueOf(text); }

double daySerial(double year, double month, double day) { return readable(daySerialOrNaN(year, month, day)); }

double CvrtVASortDate(QStringView text) { return readable(sortDate(text)); }
double CvrtVADate(QStringView text) { return readable(indexDate(text)); }
double CvrtVATime(QStringView text) { return readable(indexTime(text)); }

double sortDateOrNaN(QByteArrayView text) { return sortDate(text); }
double indexDateOrNaN(QByteArrayView text) { return indexDate(text); }
double indexTimeOrNaN(QByteArrayView text) { return indexTime(text); }

QStringView GetVAParam(QStringView &line)
{
    const qsizetype bar = line.indexOf(u'|');
    if (bar < 0)
        return {};
    const QStringView field = line.left(bar);
    line = line.mid(bar + 1);
    return field;
}

std::optional<double> parseArchiveMoment(const QString &typed, const QLocale &locale)
{
    const QString text = typed.trimmed();
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[T ]+(.+))?$"));
    static const QRegularExpression numeric(QStringLiteral("^(\\d{1,4})[/.-](\\d{1,2})[/.-](\\d{1,4})\\.?(?:[ ,T]+(.+))?$"));
    int year = 0, month = 0, day = 0;
    QString timeText;
    if (const auto m = iso.match(text); m.hasMatch()) {
        year = m.captured(1).toInt();
        month = m.captured(2).toInt();
        day = m.captured(3).toInt();
        timeText = m.captured(4);
    } else if (const auto n = numeric.match(text); n.hasMatch()) {
        const QString order = dateOrder(locale);
        for (int i = 0; i < 3; ++i) {
            const QString digits = n.captured(i + 1);
            const int value = digits.toInt();
            if (order[i] == u'd')
                day = value;
            else if (order[i] == u'M')
                month = value;
            else
                year = digits.size() <= 2 ? twoDigitYear(value) : value;
        }
        timeText = n.captured(4);
    } else {
        // Month names and the like, in the locale's own long and short forms.
        for (auto format : {QLocale::LongFormat, QLocale::ShortFormat, QLocale::NarrowFormat}) {
            if (const QDateTime dt = locale.toDateTime(text, format); dt.isValid())
                return dayOf(dt.date(), dt.time());
            if (const QDate d = locale.toDate(text, format); d.isValid())
                return dayOf(d);
        }
        return std::nullopt;
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    if (timeText.trimmed().isEmpty())
        return dayOf(date);
    const auto time = parseTime(timeText, locale);
    if (!time)
        return std::nullopt;
    return dayOf(date, *time);
}

QString generalDateTime(double day, const QLocale &locale)
{
    if (!(std::fabs(day) < 3e6))
        return QString();
    double whole = std::floor(day);
    long long seconds = std::llround((day - whole) * 86400.0);
    if (seconds >= 86400) {
        whole += 1;
        seconds = 0;
    }
    QString dateFormat = shortDateFormat(locale);
    if (!dateFormat.contains(QLatin1String("yyyy")))
        dateFormat.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    const QDate date = QDate(1899, 12, 30).addDays(qint64(whole));
    QString text = locale.toString(date, dateFormat);
    if (seconds != 0) {
        const QTime time = QTime(0, 0).addSecs(int(seconds));
        QString timeFormat = isPlainC(locale) ? QStringLiteral("HH:mm") : locale.timeFormat(QLocale::ShortFormat);
        if (seconds % 60 != 0 && !timeFormat.contains(u's'))
            timeFormat.replace(QLatin1String("mm"), QLatin1String("mm:ss"));
        text += u' ' + locale.toString(time, timeFormat);
    }
    return text;
}

QString lastIndexDownloadText(double day)
{
    return QDate(1899, 12, 30).addDays(qint64(std::floor(day))).toString(Qt::ISODate);
}

double readLastIndexDownload(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (const QDate iso = QDate::fromString(trimmed, Qt::ISODate); iso.isValid())
        return dayOf(iso);
    try {
        return CvrtVADate(trimmed);
    } catch (const ArchiveFormatError &) {
        return 0;   // unreadable: counts as very old, so the index is fetched again
    }
}
