#pragma once
#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

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

// The records of one index. Slot 0 always exists and stays empty; records fill slots 1..N in
// file order. An index of a million lines must fit in memory many times over, so the table
// keeps the index text once and, per record, only what the search compares (start and end)
// and where its line lies; a record's other fields are cut from its line when it is asked for.
class ArchiveRecordTable {
public:
    ArchiveRecordTable() = default;

    // Slots, the empty slot 0 included.
    qsizetype size() const { return qsizetype(lines_.size()) + 1; }
    qsizetype highest() const { return qsizetype(lines_.size()); }
    // Every field of the record in `slot`; slot 0 and slots out of range give the empty record.
    ArchiveRecord operator[](qsizetype slot) const;
    double startTime(qsizetype slot) const { return lines_[size_t(slot - 1)].start; }
    double endTime(qsizetype slot) const { return lines_[size_t(slot - 1)].end; }
    // Back to the empty slot 0 alone.
    void clear();

private:
    friend struct ArchiveIndexText;
    struct Line {
        double start, end;
        quint32 offset, length;   // the record's line in text_, without its leading "|"
    };
    QByteArray text_;
    bool utf8_ = false;
    std::vector<Line> lines_;
};

// How a reading of index text went.
struct IndexReading {
    qsizetype records = 0;
    // Record lines that were skipped because a date or time in them no calendar holds.
    qsizetype unreadable = 0;
    // The poll asked to stop: the table is left empty.
    bool stopped = false;
};

// Reads index text into `table`, which it replaces. Lines end in LF, CR LF or CR alone. A
// record line is one that begins "|2" and is at least 10 characters long before its end; any
// other line is skipped, and so is a record whose dates cannot be read (it is counted).
// `poll(stored)` runs before each line is examined with the number of records stored so far;
// false stops the reading. Text that is valid UTF-8 keeps its accents, anything else is Latin-1.
// Text above 4 GB is not read (the caller caps it far lower).
IndexReading readArchiveIndex(const QByteArray &text, ArchiveRecordTable &table,
                              const std::function<bool(qsizetype stored)> &poll = {});

// True when the text holds at least one record line whose dates can be read: a page of HTML
// or an error text served in place of the index does not.
bool readsAsArchiveIndex(QByteArrayView text);
