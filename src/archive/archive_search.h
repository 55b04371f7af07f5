#pragma once
#include "archive/archive_index.h"
#include <QLocale>

// True when the moment has no time of day: the search then also takes recordings whose days
// include that day.
bool isDateOnly(double moment);

// Numbers of the records that cover the moment, in record order: StartTime <= moment <=
// EndTime, or for a date alone, a day range (both ends included) that holds the day.
QList<qsizetype> findArchiveMatches(const ArchiveRecordTable &records, double moment);

// The match list's line for a record: its number, start, label, detail, and which files it has
// (" Image", " Text", " LMD", " Sound").
QString matchEntry(const ArchiveRecord &record, qsizetype number, const QLocale &locale);

// The record number that leads a match list line; 0 when there is none.
qsizetype recordNumberOfEntry(const QString &entry);

// A file name from the index is used only when it names a file inside the archive's folder:
// no folder separators, not "." or "..", no drive or scheme (":"), no control characters.
bool isPlainFileName(const QString &name);
