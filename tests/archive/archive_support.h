#pragma once
#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <ostream>

// Index lines and day numbers for the archive tests.
namespace ArchiveSupport {

inline double day(int y, int m, int d, int hh = 0, int mm = 0)
{
    return double(QDate(1899, 12, 30).daysTo(QDate(y, m, d))) + (hh * 60 + mm) / 1440.0;
}

// One index line: start and end as "M/D/YYYY" and "hhmm", the four file names last.
inline QString recordLine(const QString &startDate, const QString &startTime, const QString &endDate,
                          const QString &endTime, const QString &label = QStringLiteral("Meteor"),
                          const QStringList &files = {QString(), QString(), QString(), QString()})
{
    return QStringLiteral("|200312231700|%1|Scatter|x|t5|6.5|7|t8|t9|t10|t11|t12|%2|%3|%4|%5|||||Detail of %1|t22|t23|t24|t25|%6|\n")
        .arg(label, startDate, startTime, endDate, endTime, files.join(u'|'));
}

} // namespace ArchiveSupport

// Readable failures: QString and QStringList as text.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList &list, std::ostream *out) { *out << '[' << list.join(QStringLiteral("\", \"")).prepend('"').append('"').toStdString() << ']'; }
QT_END_NAMESPACE
