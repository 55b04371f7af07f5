#pragma once
#include "archive/archive_index.h"
#include <QLocale>
#include <QStringList>
#include <functional>
#include <optional>

class Speech;

// True when the moment has no time of day: the search then also takes recordings whose days
// include that day.
bool isDateOnly(double moment);

// Numbers of the records that cover the moment, in record order: StartTime <= moment <=
// EndTime, or for a date alone, a day range (both ends included) that holds the day.
// `keepGoing`, when given, is asked every few thousand records; false stops the search, which
// then gives nothing.
std::optional<QList<qsizetype>> findArchiveMatches(const ArchiveRecordTable &records, double moment,
                                                   const std::function<bool()> &keepGoing = {});

// The match list's lines for the records that cover the moment. The window is pumped while the
// search runs, and Escape (the speech's abort flag) stops it: nothing is given then.
std::optional<QStringList> matchEntries(const ArchiveRecordTable &records, double moment, const QLocale &locale,
                                        Speech &speech);

// The match list's line for a record: its number, start, label, detail, and which files it has
// (" Image", " Text", " LMD", " Sound").
QString matchEntry(const ArchiveRecord &record, qsizetype number, const QLocale &locale);

// The record number that leads a match list line; 0 when there is none.
qsizetype recordNumberOfEntry(const QString &entry);

// A file name from the index is used only when it names a file inside the archive's folder:
// no folder separators, not "." or "..", no drive or scheme (":"), no control characters.
bool isPlainFileName(const QString &name);
