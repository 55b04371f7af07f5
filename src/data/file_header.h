#pragma once
#include <QByteArray>
#include <QString>

// The fixed 156-byte header at the start of every ".lmd" file. Text fields keep their exact
// widths (blank-padded, cut to width) and hold one character per file byte (Latin-1), so
// byte 0xFF is character 255 both ways.
struct FileHeader {
    static constexpr int Size = 156;

    QString Version;     // 10
    double StartTime = 0;
    double EndTime = 0;
    double Latitude = 0;
    double Longitude = 0;
    double YMax = 0;
    double YMin = 0;
    qint16 TimeZone = 0;
    QString Source;      // 10
    QString Author;      // 20
    QString LocalName;   // 20
    QString Location;    // 40
    qint16 NumChannels = 1;
    qint32 NotesLength = 0;

    // Pads with blanks or cuts `text` to `width` characters.
    static QString fixedWidth(const QString &text, int width);

    // Decodes the first 156 bytes of `bytes` (which must hold at least that many).
    static FileHeader decode(const char *bytes);
    QByteArray encode() const;
};
