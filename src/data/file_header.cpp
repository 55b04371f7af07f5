#include "data/file_header.h"
#include <QtEndian>
#include <cstring>

namespace {

double readDouble(const char *p)
{
    quint64 bits = qFromLittleEndian<quint64>(p);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void writeDouble(char *p, double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian(bits, p);
}

QString readText(const char *p, int width)
{
    return QString::fromLatin1(p, width);
}

void writeText(char *p, const QString &text, int width)
{
    const QByteArray bytes = FileHeader::fixedWidth(text, width).toLatin1();
    std::memcpy(p, bytes.constData(), width);
}

} // namespace

QString FileHeader::fixedWidth(const QString &text, int width)
{
    return text.left(width).leftJustified(width, QLatin1Char(' '));
}

FileHeader FileHeader::decode(const char *b)
{
    FileHeader h;
    h.Version = readText(b + 0, 10);
    h.StartTime = readDouble(b + 10);
    h.EndTime = readDouble(b + 18);
    h.Latitude = readDouble(b + 26);
    h.Longitude = readDouble(b + 34);
    h.YMax = readDouble(b + 42);
    h.YMin = readDouble(b + 50);
    h.TimeZone = qFromLittleEndian<qint16>(b + 58);
    h.Source = readText(b + 60, 10);
    h.Author = readText(b + 70, 20);
    h.LocalName = readText(b + 90, 20);
    h.Location = readText(b + 110, 40);
    h.NumChannels = qFromLittleEndian<qint16>(b + 150);
    h.NotesLength = qFromLittleEndian<qint32>(b + 152);
    return h;
}

QByteArray FileHeader::encode() const
{
    QByteArray out(Size, '\0');
    char *b = out.data();
    writeText(b + 0, Version, 10);
    writeDouble(b + 10, StartTime);
    writeDouble(b + 18, EndTime);
    writeDouble(b + 26, Latitude);
    writeDouble(b + 34, Longitude);
    writeDouble(b + 42, YMax);
    writeDouble(b + 50, YMin);
    qToLittleEndian<qint16>(TimeZone, b + 58);
    writeText(b + 60, Source, 10);
    writeText(b + 70, Author, 20);
    writeText(b + 90, LocalName, 20);
    writeText(b + 110, Location, 40);
    qToLittleEndian<qint16>(NumChannels, b + 150);
    qToLittleEndian<qint32>(NotesLength, b + 152);
    return out;
}
