#pragma once
#include <QList>
#include <QString>
#include <functional>

class Speech;
class MessagePump;
class SettingsStore;
class Downloader;

// One recording of the archive, one line of its index.
struct ArchiveRecord {
    double SortTime = 0;
    QString Label;          // fields 2 and 3
    QString Text5;
    double Value6 = 0, Value7 = 0;
    QString Text8, Text9, Text10, Text11, Text12;
    double StartTime = 0, EndTime = 0, Time3 = 0, Time4 = 0;
    QString Detail;
    QString Text22, Text23, Text24, Text25;
    QString ImageFile, DataFile, TextFile, SoundFile;
};

// Slot 0 always exists and stays empty; records fill slots 1..N in file order.
using ArchiveRecordTable = QList<ArchiveRecord>;

// Reads index text into `records` (which keeps its slot 0 and gains one slot per record line).
// `progress(count)` runs before each line is examined; it may pump. Throws ArchiveFormatError
// on a date part no calendar holds, leaving the records read so far in the table.
void parseArchiveIndex(QStringView text, ArchiveRecordTable &records, const std::function<void(qsizetype)> &progress);

// The local copy of the archive's index, its age, and the table read from it.
class ArchiveIndex {
public:
    static constexpr const char *LocalFileName = "VArecords.txt";
    static constexpr const char *RemoteFileName = "varecords_sort.txt";

    ArchiveIndex(Speech &speech, MessagePump &pump, SettingsStore &settings, Downloader &downloader);

    ArchiveRecordTable ArchiveRecords{ArchiveRecord()};
    qsizetype highestRecord() const { return ArchiveRecords.size() - 1; }

    // The local copy, in the program folder.
    QString localIndexPath;
    // The index's URL on the archive server.
    QString remoteIndexUrl;
    // Today as a day number; replaceable so tests can fix the date.
    std::function<double()> today;

    // Makes sure the table is filled for a search on `requested` (a day number): fetches the
    // index when there is no local copy or it is older than the requested moment, then reads it.
    void PrepareArchiveIndex(double requested);
    // Reads the local copy into the table, with spoken progress. False when there is no copy.
    bool ReadInRecs();

private:
    bool fetchIndex();

    Speech &speech_;
    MessagePump &pump_;
    SettingsStore &settings_;
    Downloader &downloader_;
};
