#include "archive/archive_records.h"
#include "archive/archive_dates.h"
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr int FieldCount = 29;
// Fields 13 to 20: start, end and two more moments, each a date and a time.
constexpr int FirstMomentField = 13;
constexpr int LastMomentField = 20;
constexpr qsizetype ShortestRecord = 10;   // "|2" and more, its line end not counted

using Fields = std::array<QByteArrayView, FieldCount + 1>;   // [1] to [29]

// Cuts fields 1 to `last` from a record line that has lost its leading "|": each field ends at
// the next "|"; a field without one is empty, and so are all after it.
void splitFields(QByteArrayView line, Fields &fields, int last)
{
    int n = 1;
    for (; n <= last; ++n) {
        const qsizetype bar = line.indexOf('|');
        if (bar < 0)
            break;
        fields[size_t(n)] = line.first(bar);
        line = line.sliced(bar + 1);
    }
    for (; n <= last; ++n)
        fields[size_t(n)] = QByteArrayView();
}

double moment(const Fields &fields, int dateField)
{
    return indexDateOrNaN(fields[size_t(dateField)]) + indexTimeOrNaN(fields[size_t(dateField + 1)]);
}

// Start and end of a record line; false when one of its dates no calendar holds.
bool readTimes(QByteArrayView line, double &start, double &end)
{
    Fields fields;
    splitFields(line, fields, LastMomentField);
    if (std::isnan(sortDateOrNaN(fields[1])))
        return false;
    double moments[4];
    for (int i = 0; i < 4; ++i) {
        moments[i] = moment(fields, FirstMomentField + 2 * i);
        if (std::isnan(moments[i]))
            return false;
    }
    start = moments[0];
    end = moments[1];
    return true;
}

bool isRecordLine(QByteArrayView line)
{
    return line.size() >= ShortestRecord && line[0] == '|' && line[1] == '2';
}

// Valid UTF-8: the index text is then read as UTF-8, otherwise as Latin-1. Runs of ASCII,
// nearly all of an index, are passed over 32 bytes at a time.
bool isValidUtf8(QByteArrayView text)
{
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const auto *end = p + text.size();
    while (p < end) {
        if (end - p >= 32) {
            quint64 words[4];
            std::memcpy(words, p, 32);
            if (((words[0] | words[1] | words[2] | words[3]) & 0x8080808080808080ULL) == 0) {
                p += 32;
                continue;
            }
        }
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more;
        unsigned lowest;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            lowest = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            lowest = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            lowest = 0x10000;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        unsigned code = c & (0x3F >> more);
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += more + 1;
    }
    return true;
}

// Walks index text line by line. A line ends at LF, at CR LF or at a CR alone. The bytes are
// looked at once each, and only up to the end of the line at hand.
class LineCutter {
public:
    explicit LineCutter(QByteArrayView text) : text_(text) {}

    qsizetype remaining() const { return text_.size() - pos_; }
    qsizetype position() const { return pos_; }

    // The next line without its end.
    QByteArrayView next()
    {
        const char *begin = text_.data() + pos_;
        const char *end = text_.data() + text_.size();
        const char *p = begin;
        while (p < end && *p != '\n' && *p != '\r')
            ++p;
        const QByteArrayView line(begin, p - begin);
        if (p < end)
            p += *p == '\r' && p + 1 < end && p[1] == '\n' ? 2 : 1;
        pos_ = p - text_.data();
        return line;
    }

private:
    QByteArrayView text_;
    qsizetype pos_ = 0;
};

} // namespace

struct ArchiveIndexText {
    static QString decoded(const ArchiveRecordTable &table, QByteArrayView bytes)
    {
        return table.utf8_ ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
    }

    static IndexReading read(const QByteArray &text, ArchiveRecordTable &table,
                             const std::function<bool(qsizetype)> &poll)
    {
        IndexReading reading;
        table.clear();
        if (text.size() > qsizetype(std::numeric_limits<quint32>::max()))
            return reading;
        table.text_ = text;
        // Only record lines are ever decoded; each is checked as it is stored, so the text is
        // walked once, between polls.
        bool utf8 = true;
        LineCutter lines(table.text_);
        // Fewer than 10 characters after a line cannot hold a record: the reading ends there.
        do {
            if (poll && !poll(reading.records)) {
                table.clear();
                reading.stopped = true;
                return reading;
            }
            const qsizetype at = lines.position();
            const QByteArrayView line = lines.next();
            if (!isRecordLine(line))
                continue;
            double start = 0, end = 0;
            if (!readTimes(line.sliced(1), start, end)) {
                ++reading.unreadable;
                continue;
            }
            table.lines_.push_back({start, end, quint32(at + 1), quint32(line.size() - 1)});
            ++reading.records;
            utf8 = utf8 && isValidUtf8(line);
        } while (lines.remaining() >= ShortestRecord);
        table.utf8_ = utf8;
        table.lines_.shrink_to_fit();
        return reading;
    }
};

ArchiveRecord ArchiveRecordTable::operator[](qsizetype slot) const
{
    ArchiveRecord r;
    if (slot < 1 || slot > highest())
        return r;
    const Line &line = lines_[size_t(slot - 1)];
    Fields f;
    splitFields(QByteArrayView(text_).sliced(line.offset, line.length), f, FieldCount);
    const auto text = [&](int n) { return ArchiveIndexText::decoded(*this, f[size_t(n)]); };
    r.SortTime = sortDateOrNaN(f[1]);
    r.Label = text(2) + u' ' + text(3);
    r.Text5 = text(5);
    r.Value6 = archiveValue(f[6]);
    r.Value7 = archiveValue(f[7]);
    QString *texts8to12[] = {&r.Text8, &r.Text9, &r.Text10, &r.Text11, &r.Text12};
    for (int i = 0; i < 5; ++i)
        *texts8to12[i] = text(8 + i);
    r.StartTime = line.start;
    r.EndTime = line.end;
    r.Time3 = moment(f, 17);
    r.Time4 = moment(f, 19);
    r.Detail = text(21);
    QString *texts22on[] = {&r.Text22, &r.Text23, &r.Text24, &r.Text25, &r.ImageFile, &r.DataFile, &r.TextFile, &r.SoundFile};
    for (int i = 0; i < 8; ++i)
        *texts22on[i] = text(22 + i);
    return r;
}

void ArchiveRecordTable::clear()
{
    lines_ = {};
    text_ = QByteArray();
    utf8_ = false;
}

IndexReading readArchiveIndex(const QByteArray &text, ArchiveRecordTable &table, const std::function<bool(qsizetype)> &poll)
{
    return ArchiveIndexText::read(text, table, poll);
}

bool readsAsArchiveIndex(QByteArrayView text)
{
    LineCutter lines(text);
    do {
        const QByteArrayView line = lines.next();
        double start = 0, end = 0;
        if (isRecordLine(line) && readTimes(line.sliced(1), start, end))
            return true;
    } while (lines.remaining() >= ShortestRecord);
    return false;
}
