#pragma once
#include <QByteArrayView>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <optional>
#include <stdexcept>

// Dates and times as the archive index writes them, as day numbers (days since 30 Dec 1899,
// the fraction being the time of day).

// A date or time part of an index line that no calendar can hold (a year of 99999).
class ArchiveFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The leading decimal number of an index field; 0 when the field does not start with one.
double archiveValue(QStringView text);
double archiveValue(QByteArrayView text);

// Day number of (year, month, day) where a month or day outside its range carries into the
// neighbouring year or month, and a year 0 to 29 means 2000 to 2029, 30 to 99 1930 to 1999.
// Each part is rounded to a whole number first; a part outside -32768..32767 throws.
double daySerial(double year, double month, double day);

// The index's date texts, each with the rules of its Cvrt function below: what the reader
// converts the raw bytes of the index with. A part no calendar holds gives NaN, not an error,
// so a bad record costs the reader no more than a good one.
double sortDateOrNaN(QByteArrayView text);
double indexDateOrNaN(QByteArrayView text);
double indexTimeOrNaN(QByteArrayView text);

// "YYYYMMDDhhmm", exactly 12 characters; anything else is day 0.
double CvrtVASortDate(QStringView text);
// "M/D/Y" with the carrying rules of daySerial; no "/" means the whole text is the year.
double CvrtVADate(QStringView text);
// "hhmm", exactly 4 characters, as a fraction of a day; anything else is 00:00.
double CvrtVATime(QStringView text);
// The text before the first "|" of the line, which then loses it and the "|". A line without
// "|" gives empty text and stays as it is.
QStringView GetVAParam(QStringView &line);

// A date, or a date and time, as the user types it at the archive prompt: the locale's date
// order (12/23/2003 in en_US), with an optional time (17:30, 5:30 PM, 17:30:15), or ISO 8601
// (2003-12-23, 2003-12-23 17:30, 2003-12-23T17:30). Nothing when the text is no date.
std::optional<double> parseArchiveMoment(const QString &text, const QLocale &locale);

// A day number as the match list shows it: the locale's short date with a four-digit year,
// then the time unless it is midnight.
QString generalDateTime(double day, const QLocale &locale);

// LastIndexDownload is stored as an ISO date ("2026-12-07"), which reads back the same in any
// locale; "M/D/YYYY" (the default "1/1/1999") is read too.
QString lastIndexDownloadText(double day);
double readLastIndexDownload(const QString &text);
