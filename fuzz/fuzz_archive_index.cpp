// libFuzzer target: every input is read as an archive index and then searched. The reader must
// never crash or hang whatever the lines hold (LF, CR LF or CR alone, bytes that are no UTF-8);
// a record whose dates no calendar holds is skipped and counted, never the end of the reading.
#include "archive/archive_dates.h"
#include "archive/archive_records.h"
#include "archive/archive_search.h"
#include <QLocale>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(bytes), qsizetype(size));
    ArchiveRecordTable records;
    qsizetype polls = 0;
    const IndexReading reading = readArchiveIndex(text, records, [&](qsizetype stored) {
        if (stored != records.highest())
            __builtin_trap();   // the count said is the count stored
        ++polls;
        return true;
    });
    // Every record line is either stored or counted as unreadable, and each costs a line.
    if (reading.stopped || reading.records != records.highest() || reading.records + reading.unreadable > polls)
        __builtin_trap();
    if (readsAsArchiveIndex(text) != (reading.records > 0))
        __builtin_trap();
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    for (qsizetype number : findArchiveMatches(records, 37978.5).value_or(QList<qsizetype>()))
        (void)matchEntry(records[number], number, us);
    if (records.highest() > 0)
        (void)records[records.highest()];
    // A reading stopped at once leaves nothing behind.
    ArchiveRecordTable stopped;
    if (!readArchiveIndex(text, stopped, [](qsizetype) { return false; }).stopped || stopped.highest() != 0)
        __builtin_trap();
    (void)parseArchiveMoment(QString::fromLatin1(text.left(64)), us);
    return 0;
}
