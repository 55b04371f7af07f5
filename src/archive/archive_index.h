#pragma once
#include "archive/archive_records.h"
#include <QString>
#include <functional>

class Speech;
class MessagePump;
class SettingsStore;
class Downloader;

// The local copy of the archive's index, its age, and the table read from it.
class ArchiveIndex {
public:
    static constexpr const char *LocalFileName = "VArecords.txt";
    static constexpr const char *RemoteFileName = "varecords_sort.txt";

    ArchiveIndex(Speech &speech, MessagePump &pump, SettingsStore &settings, Downloader &downloader);

    // An index is at most this large, as fetched and as read: a bigger file is refused.
    static constexpr qint64 DefaultSizeLimit = qint64(64) << 20;

    ArchiveRecordTable ArchiveRecords;
    qsizetype highestRecord() const { return ArchiveRecords.highest(); }
    qint64 sizeLimit = DefaultSizeLimit;

    // The local copy, in the program folder.
    QString localIndexPath;
    // The index's URL on the archive server.
    QString remoteIndexUrl;
    // Today as a day number; replaceable so tests can fix the date.
    std::function<double()> today;

    // Makes sure the table is filled for a search on `requested` (a day number): fetches the
    // index when there is no local copy or it is older than the requested moment, then reads it.
    void PrepareArchiveIndex(double requested);
    // Reads the local copy into the table, with spoken progress; Escape stops it and leaves the
    // table empty. False when there is no copy.
    bool ReadInRecs();

private:
    bool fetchIndex();

    Speech &speech_;
    MessagePump &pump_;
    SettingsStore &settings_;
    Downloader &downloader_;
};
