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
    QStringList f;
    f << QStringLiteral("200312231700") << label << QStringLiteral("Scatter") << QStringLiteral("x") << QStringLiteral("t5")
      << QStringLiteral("6.5") << QStringLiteral("7") << QStringLiteral("t8") << QStringLiteral("t9") << QStringLiteral("t10")
      << QStringLiteral("t11") << QStringLiteral("t12") << startDate << startTime << endDate << endTime << QString()
      << QString() << QString() << QString() << QStringLiteral("Detail of ") + label << QStringLiteral("t22")
      << QStringLiteral("t23") << QStringLiteral("t24") << QStringLiteral("t25") << files;
    return u'|' + f.join(u'|') + QStringLiteral("|\n");
}

} // namespace ArchiveSupport

// Readable failures: QString and QStringList as text.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList &list, std::ostream *out) { *out << '[' << list.join(QStringLiteral("\", \"")).prepend('"').append('"').toStdString() << ']'; }
QT_END_NAMESPACE
