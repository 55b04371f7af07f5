#pragma once
// Writes ".lmd" files: the 156-byte header, the stored notes, then records of one time stamp
// and one value per channel (all little-endian 8-byte floats). Header-only so that tests can
// make files in-process as well as through the lmdgen program.
#include "data/file_header.h"
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QtEndian>
#include <vector>

namespace lmd {

constexpr char ItemSeparator = char(0xFF);

// User notes followed by the machine-readable section the viewer reads back: every item ends
// with byte 0xFF, the section sits between "*[[*" and "*]]*".
inline QByteArray storedNotes(const QByteArray &userNotes, int channels, const QStringList &names,
                              const QStringList &offsets, bool loggedUsingUT)
{
    QByteArray out = userNotes + "*[[*";
    if (loggedUsingUT)
        out += QByteArray("Logged Using UT") + ItemSeparator;
    for (int i = 0; i < channels; ++i)
        out += "CHL" + QByteArray::number(i) + names.value(i).toLatin1() + ItemSeparator;
    for (int i = 0; i < channels; ++i)
        out += "CHO" + QByteArray::number(i) + offsets.value(i).toLatin1() + ItemSeparator;
    return out + "*]]*";
}

// Streams one file. The header is written exactly as given, so its NumChannels and NotesLength
// may deliberately disagree with what follows.
class Writer {
public:
    bool open(const QString &path, const FileHeader &header, const QByteArray &notes)
    {
        file_.setFileName(path);
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        return writeBytes(header.encode()) && writeBytes(notes);
    }

    // `records` holds `count` records of (time, value 0, value 1 ...), `stride` doubles each.
    bool writeRecords(const double *records, qsizetype count, int stride)
    {
        const qsizetype doubles = count * stride;
        if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) {
            std::vector<double> swapped(records, records + doubles);
            qToLittleEndian<double>(swapped.data(), doubles, swapped.data());
            return writeBytes(reinterpret_cast<const char *>(swapped.data()), doubles * 8);
        }
        return writeBytes(reinterpret_cast<const char *>(records), doubles * 8);
    }

    bool writeBytes(const QByteArray &bytes) { return writeBytes(bytes.constData(), bytes.size()); }
    bool writeBytes(const char *bytes, qint64 size) { return file_.write(bytes, size) == size; }

    // Hands what was written to the file at once, so a reader sees it.
    bool flush() { return file_.flush(); }

    bool close()
    {
        const bool ok = file_.flush() && file_.error() == QFileDevice::NoError;
        file_.close();
        return ok;
    }

    QString errorString() const { return file_.errorString(); }

private:
    QFile file_;
};

// A header for `channels` channels and `notes`, with the time span of the records.
inline FileHeader headerFor(int channels, const QByteArray &notes, double startTime, double endTime)
{
    FileHeader h;
    h.Version = FileHeader::fixedWidth(QStringLiteral("1.0"), 10);
    h.StartTime = startTime;
    h.EndTime = endTime;
    h.Source = FileHeader::fixedWidth(QStringLiteral("ADC"), 10);
    h.Author = FileHeader::fixedWidth(QStringLiteral("unknown"), 20);
    h.LocalName = FileHeader::fixedWidth(QStringLiteral("unknown"), 20);
    h.Location = FileHeader::fixedWidth(QStringLiteral("unknown"), 40);
    h.NumChannels = qint16(channels);
    h.NotesLength = qint32(notes.size());
    return h;
}

// Writes a whole small file at once; `records` holds (channels + 1) doubles per record.
inline bool writeFile(const QString &path, const FileHeader &header, const QByteArray &notes,
                      const std::vector<double> &records, int stride)
{
    Writer w;
    return w.open(path, header, notes) && w.writeRecords(records.data(), qsizetype(records.size()) / stride, stride)
           && w.close();
}

} // namespace lmd
