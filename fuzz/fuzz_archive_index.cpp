// libFuzzer target: every input is read as an archive index and then searched. The reader must
// never crash or hang whatever the lines hold; a date no calendar holds ends it with its error.
#include "archive/archive_dates.h"
#include "archive/archive_index.h"
#include "archive/archive_search.h"
#include <QLocale>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(bytes), qsizetype(size));
    ArchiveRecordTable records{ArchiveRecord()};
    try {
        parseArchiveIndex(text, records, {});
    } catch (const ArchiveFormatError &) {
    }
    if (records.isEmpty())
        __builtin_trap();   // slot 0 always stays
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    for (qsizetype number : findArchiveMatches(records, 37978.5))
        (void)matchEntry(records[number], number, us);
    (void)parseArchiveMoment(text.left(64), us);
    return 0;
}
