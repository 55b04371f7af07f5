#include "archive/archive_search.h"
#include "archive/archive_dates.h"
#include "voice/number_forms.h"
#include <cmath>

bool isDateOnly(double moment)
{
    return std::floor(moment) == moment;
}

QList<qsizetype> findArchiveMatches(const ArchiveRecordTable &records, double moment)
{
    const bool dateOnly = isDateOnly(moment);
    const double day = std::floor(moment);
    QList<qsizetype> matches;
    for (qsizetype i = 1; i < records.size(); ++i) {
        const ArchiveRecord &r = records[i];
        if ((r.StartTime <= moment && moment <= r.EndTime) ||
            (dateOnly && std::floor(r.StartTime) <= day && day <= std::floor(r.EndTime)))
            matches.append(i);
    }
    return matches;
}

QString matchEntry(const ArchiveRecord &record, qsizetype number, const QLocale &locale)
{
    QString entry = NumberForms::signPadded(double(number)) + QLatin1String("  ") + generalDateTime(record.StartTime, locale) +
                    QLatin1String("  ") + record.Label + QLatin1String("  ") + record.Detail;
    if (!record.ImageFile.isEmpty())
        entry += QLatin1String("  Image");
    if (!record.TextFile.isEmpty())
        entry += QLatin1String("  Text");
    if (!record.DataFile.isEmpty())
        entry += QLatin1String("  LMD");
    if (!record.SoundFile.isEmpty())
        entry += QLatin1String(" Sound");
    return entry;
}

qsizetype recordNumberOfEntry(const QString &entry)
{
    const QString trimmed = entry.trimmed();
    const qsizetype space = trimmed.indexOf(u' ');
    return qsizetype(archiveValue(space < 0 ? QStringView(trimmed) : QStringView(trimmed).left(space)));
}

bool isPlainFileName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (QChar c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}
