#pragma once
#include "signal_model.h"
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One value or time stamp to put in place of the generated one (NaN, infinities, going backwards).
struct CellOverride {
    qint64 row = 0;
    int channel = -1;   // -1 = the time stamp
    double value = 0;
};

// Everything lmdgen can be asked to write.
struct GeneratorOptions {
    QString path;
    int channels = 1;
    qint64 rows = 1000;
    double rate = 10;          // samples per second
    double start = 45372.875;  // day number of the first sample (2024-03-21 21:00)
    quint64 seed = 1;

    // header
    QString version = QStringLiteral("1.0");
    QString source = QStringLiteral("ADC");
    QString author = QStringLiteral("unknown");
    QString localName = QStringLiteral("unknown");
    QString location = QStringLiteral("unknown");
    double latitude = 0, longitude = 0, yMax = 2.5, yMin = 0;
    int timeZone = 0;

    // notes
    QByteArray userNotes;
    QStringList names, offsets;
    bool loggedUsingUT = false;
    bool section = true;                 // write the machine-readable section
    std::optional<QByteArray> rawNotes;  // stored notes given byte for byte

    // signals
    QList<SignalKind> kinds;   // per channel; missing ones default
    double noise = 0.03;
    double spikesPer10k = 2;
    double baseline = 0.5;
    double amplitude = 1.5;

    // live: records appended at liveRate a second, stamped with the clock, until stopped
    double liveRate = 0;       // 0 = write the whole file at once
    double liveSeconds = 0;    // stop after this long; 0 = until killed
    double liveCycle = 60;     // seconds between two transits of the source
    int livePieces = 0;        // write in pieces of 1 .. this many bytes; 0 = whole records

    // deliberate damage
    std::optional<int> numChannelsField;
    std::optional<qint64> notesLengthField;
    std::optional<qint64> truncateTo;
    int partialBytes = 0;
    QList<CellOverride> overrides;
};

// Parses the command line (without the program name). Returns an error text, or empty.
QString parseArguments(const QStringList &args, GeneratorOptions &out, bool &helpShown);
QString usageText();
// The bundled demo file: a drift scan of a radio source, two named channels in Universal Time.
GeneratorOptions demoOptions(const QString &path);
// "\xHH", "\\", "\n", "\r", "\t" escapes to Latin-1 bytes (characters above 255 become '?').
QByteArray unescapeBytes(const QString &text);
