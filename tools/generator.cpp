#include "generator.h"
#include "generator_options.h"
#include "lmd_writer.h"
#include <QFile>
#include <algorithm>
#include <vector>

namespace {

QByteArray notesFor(const GeneratorOptions &o)
{
    if (o.rawNotes)
        return *o.rawNotes;
    if (!o.section)
        return o.userNotes;
    return lmd::storedNotes(o.userNotes, o.channels, o.names, o.offsets, o.loggedUsingUT);
}

SignalKind defaultKind(int channel)
{
    // A source channel first, then a reference, then the test shapes.
    static const SignalKind order[] = {SignalKind::Drift, SignalKind::Noise, SignalKind::Ramp, SignalKind::Step,
                                       SignalKind::Spikes, SignalKind::Constant};
    return order[channel % 6];
}

} // namespace

QString generateFile(const GeneratorOptions &o)
{
    const int stride = o.channels + 1;
    const double dayStep = 1.0 / (o.rate * 86400.0);
    const double endTime = o.start + double(std::max<qint64>(o.rows - 1, 0)) * dayStep;
    const QByteArray notes = notesFor(o);

    FileHeader h = lmd::headerFor(o.channels, notes, o.start, endTime);
    h.Version = FileHeader::fixedWidth(o.version, 10);
    h.Source = FileHeader::fixedWidth(o.source, 10);
    h.Author = FileHeader::fixedWidth(o.author, 20);
    h.LocalName = FileHeader::fixedWidth(o.localName, 20);
    h.Location = FileHeader::fixedWidth(o.location, 40);
    h.Latitude = o.latitude;
    h.Longitude = o.longitude;
    h.YMax = o.yMax;
    h.YMin = o.yMin;
    h.TimeZone = qint16(o.timeZone);
    if (o.numChannelsField)
        h.NumChannels = qint16(*o.numChannelsField);
    if (o.notesLengthField)
        h.NotesLength = qint32(*o.notesLengthField);

    std::vector<ChannelSignal> signalList;
    for (int ch = 0; ch < o.channels; ++ch) {
        SignalParams p;
        p.kind = ch < o.kinds.size() ? o.kinds[ch] : defaultKind(ch);
        p.baseline = o.baseline;
        p.amplitude = o.amplitude;
        p.noise = o.noise;
        p.spikesPer10k = o.spikesPer10k;
        p.rows = o.rows;
        p.seed = o.seed * 1000003ULL + quint64(ch);
        signalList.emplace_back(p);
    }

    QList<CellOverride> overrides = o.overrides;
    std::sort(overrides.begin(), overrides.end(), [](const CellOverride &a, const CellOverride &b) { return a.row < b.row; });
    auto nextOverride = overrides.cbegin();

    lmd::Writer writer;
    if (!writer.open(o.path, h, notes))
        return QStringLiteral("cannot write %1: %2").arg(o.path, writer.errorString());

    // Large blocks keep ten million rows to a second or two.
    constexpr qint64 BlockRows = 65536;
    std::vector<double> block(size_t(BlockRows * stride));
    for (qint64 first = 0; first < o.rows; first += BlockRows) {
        const qint64 n = std::min(BlockRows, o.rows - first);
        double *out = block.data();
        for (qint64 r = 0; r < n; ++r) {
            *out++ = o.start + double(first + r) * dayStep;
            for (auto &s : signalList)
                *out++ = s.next();
        }
        for (; nextOverride != overrides.cend() && nextOverride->row < first + n; ++nextOverride) {
            if (nextOverride->row >= first)
                block[size_t((nextOverride->row - first) * stride + 1 + nextOverride->channel)] = nextOverride->value;
        }
        if (!writer.writeRecords(block.data(), n, stride))
            return QStringLiteral("cannot write %1: %2").arg(o.path, writer.errorString());
    }
    if (o.partialBytes > 0 && !writer.writeBytes(QByteArray(o.partialBytes, '\0')))
        return QStringLiteral("cannot write %1: %2").arg(o.path, writer.errorString());
    if (!writer.close())
        return QStringLiteral("cannot write %1: %2").arg(o.path, writer.errorString());

    if (o.truncateTo && !QFile::resize(o.path, *o.truncateTo))
        return QStringLiteral("cannot truncate %1").arg(o.path);
    return QString();
}
