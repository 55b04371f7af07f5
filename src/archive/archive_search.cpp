#include "archive/archive_search.h"
#include "archive/archive_dates.h"
#include "ports/timed_pump.h"
#include "voice/number_forms.h"
#include "voice/speech.h"
#include <QElapsedTimer>
#include <cmath>

namespace {

// Records compared, or match lines written, between two looks at the clock.
constexpr qsizetype RecordsPerPoll = 4096;
constexpr qsizetype EntriesPerPoll = 32;

} // namespace

bool isDateOnly(double moment)
{
    return std::floor(moment) == moment;
}

std::optional<QList<qsizetype>> findArchiveMatches(const ArchiveRecordTable &records, double moment,
                                                   const std::function<bool()> &keepGoing)
{
    const bool dateOnly = isDateOnly(moment);
    const double day = std::floor(moment);
    QList<qsizetype> matches;
    for (qsizetype i = 1; i < records.size(); ++i) {
        if (keepGoing && i % RecordsPerPoll == 0 && !keepGoing())
            return std::nullopt;
        const double start = records.startTime(i), end = records.endTime(i);
        if ((start <= moment && moment <= end) || (dateOnly && std::floor(start) <= day && day <= std::floor(end)))
            matches.append(i);
    }
    return matches;
}

std::optional<QStringList> matchEntries(const ArchiveRecordTable &records, double moment, const QLocale &locale,
                                        Speech &speech)
{
    // The first look pumps at once, however soon it comes.
    QElapsedTimer slice;
    const auto keepGoing = [&] {
        if (slice.isValid() && slice.elapsed() < TimedPump::SliceMs)
            return true;
        slice.start();
        return !speech.pumpAndTest();
    };
    const auto matches = findArchiveMatches(records, moment, keepGoing);
    if (!matches)
        return std::nullopt;
    QStringList entries;
    entries.reserve(matches->size());
    for (qsizetype number : *matches) {
        // A line takes about as long as a few hundred comparisons.
        if (entries.size() % EntriesPerPoll == EntriesPerPoll - 1 && !keepGoing())
            return std::nullopt;
        entries << matchEntry(records[number], number, locale);
    }
    return entries;
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
