#include "generator_options.h"
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <cmath>
#include <limits>

namespace {

bool toNumber(const QString &text, double &out)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("nan")) {
        out = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    if (t == QLatin1String("inf") || t == QLatin1String("+inf")) {
        out = std::numeric_limits<double>::infinity();
        return true;
    }
    if (t == QLatin1String("-inf")) {
        out = -std::numeric_limits<double>::infinity();
        return true;
    }
    bool ok = false;
    out = t.toDouble(&ok);
    return ok;
}

bool toInteger(const QString &text, qint64 &out)
{
    bool ok = false;
    out = text.trimmed().toLongLong(&ok);
    return ok;
}

// A day number, or a date-time such as 2024-03-21T21:00:00 (taken as it stands, no zone).
bool toDayNumber(const QString &text, double &out)
{
    if (toNumber(text, out) && std::isfinite(out))
        return true;
    QDateTime when = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!when.isValid())
        return false;
    const double days = double(QDate(1899, 12, 30).daysTo(when.date()));
    out = days + when.time().msecsSinceStartOfDay() / 86400000.0;
    return true;
}

// "INDEX:TEXT"
bool splitIndexed(const QString &text, int &index, QString &rest)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon <= 0)
        return false;
    bool ok = false;
    index = text.left(colon).toInt(&ok);
    rest = text.mid(colon + 1);
    return ok;
}

} // namespace

QByteArray unescapeBytes(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar e = text[i + 1];
            if (e == u'x' && i + 3 < text.size()) {
                bool ok = false;
                const int byte = text.mid(i + 2, 2).toInt(&ok, 16);
                if (ok) {
                    out += char(byte);
                    i += 3;
                    continue;
                }
            }
            const char simple = e == u'\\' ? '\\' : e == u'n' ? '\n' : e == u'r' ? '\r' : e == u't' ? '\t' : 0;
            if (simple) {
                out += simple;
                ++i;
                continue;
            }
        }
        out += c.unicode() < 256 ? char(c.unicode()) : '?';
    }
    return out;
}

QString usageText()
{
    return QStringLiteral(
        "Usage: lmdgen [OPTIONS] FILE       write a generated .lmd data file\n"
        "       lmdgen --demo FILE          write the bundled demo file\n"
        "\n"
        "Shape of the data:\n"
        "  --channels N          1 to 8 channels (default 1)\n"
        "  --rows N              number of records (default 1000)\n"
        "  --rate HZ             samples per second (default 10)\n"
        "  --start WHEN          first time stamp: a day number (days since 1899-12-30)\n"
        "                        or a date-time such as 2024-03-21T21:00:00\n"
        "  --signal K[,K...]     kind per channel: drift, noise, spikes, ramp, step, constant\n"
        "                        (default drift, noise, ramp, step, spikes, constant, ...)\n"
        "  --noise SIGMA         receiver noise deviation (default 0.03)\n"
        "  --spikes N            interference bursts per 10000 samples (default 2)\n"
        "  --baseline V          signal baseline (default 0.5)\n"
        "  --amplitude V         hump, ramp and step height (default 1.5)\n"
        "  --seed N              noise seed; the same seed gives the same file (default 1)\n"
        "\n"
        "Header:\n"
        "  --version TEXT  --source TEXT  --author TEXT  --local-name TEXT  --location TEXT\n"
        "  --latitude DEG  --longitude DEG  --timezone HOURS  --ymax V  --ymin V\n"
        "\n"
        "Notes (texts accept \\xHH, \\\\, \\n, \\r, \\t escapes):\n"
        "  --notes TEXT          the observer's notes\n"
        "  --notes-file PATH     the observer's notes, read from a file\n"
        "  --name I:NAME         name of channel I (0-based)\n"
        "  --offset I:TEXT       offset text of channel I\n"
        "  --ut                  time stamps are Universal Time\n"
        "  --no-section          write no machine-readable notes section\n"
        "  --raw-notes TEXT      the stored notes byte for byte (replaces all of the above)\n"
        "\n"
        "Live (a logger still writing):\n"
        "  --live RATE           after a few seconds of records, append RATE records a second,\n"
        "                        stamped with the clock (UTC), until stopped\n"
        "  --cycle SECONDS       time between two transits of the source (default 60)\n"
        "  --duration SECONDS    stop after this long (default: until killed)\n"
        "  --pieces N            write in pieces of 1 to N bytes, as a slow device would\n"
        "\n"
        "Damage, for tests:\n"
        "  --num-channels-field N   store N as the channel count (records keep --channels)\n"
        "  --notes-length-field N   store N as the notes length\n"
        "  --truncate BYTES         cut the finished file to this length\n"
        "  --partial-bytes N        add N bytes of an unfinished record at the end\n"
        "  --set-value ROW:CH:V     replace a value (V may be nan, inf, -inf)\n"
        "  --set-time ROW:DAY       replace a time stamp (e.g. one that goes backwards)\n");
}

GeneratorOptions demoOptions(const QString &path)
{
    GeneratorOptions o;
    o.path = path;
    o.channels = 2;
    o.rows = 12000;   // 20 minutes at 10 samples per second
    o.rate = 10;
    o.start = 45372.875;
    o.seed = 7;
    o.kinds = {SignalKind::Drift, SignalKind::Noise};
    o.names = {QStringLiteral("Antenna"), QStringLiteral("Reference")};
    o.loggedUsingUT = true;
    o.spikesPer10k = 2;
    o.source = QStringLiteral("ADC");
    o.author = QStringLiteral("R. Halden");
    o.localName = QStringLiteral("Hilltop Dish");
    o.location = QStringLiteral("Hilltop field station");
    o.yMax = 4;
    o.latitude = 52.2;
    o.longitude = -1.4;
    o.userNotes = QByteArray(
        "Drift scan at 1420 MHz with the 3 m dish parked on the meridian. "
        "The source drifts through the beam about eleven minutes in. "
        "Clear sky, light wind. Two short bursts of interference, probably a passing car.");
    return o;
}

QString parseArguments(const QStringList &args, GeneratorOptions &o, bool &helpShown)
{
    helpShown = false;
    bool demo = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto value = [&](QString &out) -> bool {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        QString v;
        double d = 0;
        qint64 n = 0;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            helpShown = true;
            return QString();
        }
        if (a == QLatin1String("--demo")) {
            demo = true;
            continue;
        }
        if (a == QLatin1String("--ut")) {
            o.loggedUsingUT = true;
            continue;
        }
        if (a == QLatin1String("--no-section")) {
            o.section = false;
            continue;
        }
        if (!a.startsWith(QLatin1String("--"))) {
            if (!o.path.isEmpty())
                return QStringLiteral("more than one output file given");
            o.path = a;
            continue;
        }
        if (!value(v))
            return QStringLiteral("%1 needs a value").arg(a);
        const QString bad = QStringLiteral("bad value for %1: %2").arg(a, v);

        if (a == QLatin1String("--channels")) {
            if (!toInteger(v, n) || n < 1 || n > 8)
                return bad;
            o.channels = int(n);
        } else if (a == QLatin1String("--rows")) {
            if (!toInteger(v, n) || n < 0)
                return bad;
            o.rows = n;
        } else if (a == QLatin1String("--rate")) {
            if (!toNumber(v, d) || !(d > 0) || !std::isfinite(d))
                return bad;
            o.rate = d;
        } else if (a == QLatin1String("--live") || a == QLatin1String("--cycle") || a == QLatin1String("--duration")) {
            if (!toNumber(v, d) || d < 0 || !std::isfinite(d) || (a != QLatin1String("--duration") && d == 0))
                return bad;
            (a == QLatin1String("--live") ? o.liveRate : a == QLatin1String("--cycle") ? o.liveCycle : o.liveSeconds) = d;
        } else if (a == QLatin1String("--pieces")) {
            if (!toInteger(v, n) || n < 1 || n > 1 << 20)
                return bad;
            o.livePieces = int(n);
        } else if (a == QLatin1String("--start")) {
            if (!toDayNumber(v, o.start))
                return bad;
        } else if (a == QLatin1String("--seed")) {
            if (!toInteger(v, n))
                return bad;
            o.seed = quint64(n);
        } else if (a == QLatin1String("--signal")) {
            o.kinds.clear();
            for (const QString &k : v.split(u',')) {
                const auto kind = signalKindFromName(k.trimmed());
                if (!kind)
                    return bad;
                o.kinds << *kind;
            }
        } else if (a == QLatin1String("--noise") || a == QLatin1String("--spikes") || a == QLatin1String("--baseline")
                   || a == QLatin1String("--amplitude") || a == QLatin1String("--latitude")
                   || a == QLatin1String("--longitude") || a == QLatin1String("--ymax") || a == QLatin1String("--ymin")) {
            if (!toNumber(v, d))
                return bad;
            double &target = a == QLatin1String("--noise")       ? o.noise
                             : a == QLatin1String("--spikes")    ? o.spikesPer10k
                             : a == QLatin1String("--baseline")  ? o.baseline
                             : a == QLatin1String("--amplitude") ? o.amplitude
                             : a == QLatin1String("--latitude")  ? o.latitude
                             : a == QLatin1String("--longitude") ? o.longitude
                             : a == QLatin1String("--ymax")      ? o.yMax
                                                                 : o.yMin;
            target = d;
        } else if (a == QLatin1String("--timezone")) {
            if (!toInteger(v, n) || n < -32768 || n > 32767)
                return bad;
            o.timeZone = int(n);
        } else if (a == QLatin1String("--version")) {
            o.version = v;
        } else if (a == QLatin1String("--source")) {
            o.source = v;
        } else if (a == QLatin1String("--author")) {
            o.author = v;
        } else if (a == QLatin1String("--local-name")) {
            o.localName = v;
        } else if (a == QLatin1String("--location")) {
            o.location = v;
        } else if (a == QLatin1String("--notes")) {
            o.userNotes = unescapeBytes(v);
        } else if (a == QLatin1String("--notes-file")) {
            QFile f(v);
            if (!f.open(QIODevice::ReadOnly))
                return QStringLiteral("cannot read %1").arg(v);
            o.userNotes = f.readAll();
        } else if (a == QLatin1String("--raw-notes")) {
            o.rawNotes = unescapeBytes(v);
        } else if (a == QLatin1String("--name") || a == QLatin1String("--offset")) {
            int index = 0;
            QString text;
            if (!splitIndexed(v, index, text) || index < 0 || index > 8)
                return bad;
            QStringList &list = a == QLatin1String("--name") ? o.names : o.offsets;
            while (list.size() <= index)
                list << QString();
            list[index] = QString::fromLatin1(unescapeBytes(text));
        } else if (a == QLatin1String("--num-channels-field")) {
            if (!toInteger(v, n) || n < -32768 || n > 32767)
                return bad;
            o.numChannelsField = int(n);
        } else if (a == QLatin1String("--notes-length-field")) {
            if (!toInteger(v, n) || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
                return bad;
            o.notesLengthField = n;
        } else if (a == QLatin1String("--truncate")) {
            if (!toInteger(v, n) || n < 0)
                return bad;
            o.truncateTo = n;
        } else if (a == QLatin1String("--partial-bytes")) {
            if (!toInteger(v, n) || n < 0)
                return bad;
            o.partialBytes = int(n);
        } else if (a == QLatin1String("--set-value") || a == QLatin1String("--set-time")) {
            const QStringList parts = v.split(u':');
            const bool isTime = a == QLatin1String("--set-time");
            CellOverride c;
            qint64 channel = -1;
            if (parts.size() != (isTime ? 2 : 3) || !toInteger(parts[0], c.row) || c.row < 0
                || (!isTime && !toInteger(parts[1], channel)) || !toNumber(parts.last(), c.value))
                return bad;
            c.channel = int(channel);
            o.overrides << c;
        } else {
            return QStringLiteral("unknown option %1").arg(a);
        }
    }

    if (demo) {
        const GeneratorOptions given = o;
        o = demoOptions(given.path);
        o.liveRate = given.liveRate;
        o.liveSeconds = given.liveSeconds;
        o.liveCycle = given.liveCycle;
        o.livePieces = given.livePieces;
    }
    if (o.path.isEmpty())
        return QStringLiteral("no output file given");
    for (const CellOverride &c : o.overrides) {
        if (c.channel < -1 || c.channel >= o.channels)
            return QStringLiteral("--set-value names channel %1 of a %2-channel file").arg(c.channel).arg(o.channels);
    }
    if (o.partialBytes >= 8 * (o.channels + 1))
        return QStringLiteral("--partial-bytes must be shorter than one record (%1 bytes)").arg(8 * (o.channels + 1));
    return QString();
}
