#include "live_writer.h"
#include "generator_options.h"
#include "lmd_writer.h"
#include <QDateTime>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Days from the day-number origin (1899-12-30) to the Unix epoch.
constexpr double UnixEpochDay = 25569.0;

double nowDay()
{
    return UnixEpochDay + double(QDateTime::currentMSecsSinceEpoch()) / 86400000.0;
}

// The demo's channels, repeating every cycle: the source transits once per cycle.
class CycleSignal {
public:
    CycleSignal(const GeneratorOptions &o, qint64 cycleRows) : o_(o), cycleRows_(std::max<qint64>(cycleRows, 2)) {}

    void fill(double *values)
    {
        if (row_ % cycleRows_ == 0)
            restart();
        ++row_;
        for (auto &s : channels_)
            *values++ = s.next();
    }

private:
    void restart()
    {
        channels_.clear();
        for (int ch = 0; ch < o_.channels; ++ch) {
            SignalParams p;
            p.kind = ch < o_.kinds.size() ? o_.kinds[ch] : (ch == 0 ? SignalKind::Drift : SignalKind::Noise);
            p.baseline = o_.baseline;
            p.amplitude = o_.amplitude;
            p.noise = o_.noise;
            p.spikesPer10k = o_.spikesPer10k;
            p.rows = cycleRows_;
            p.seed = o_.seed * 1000003ULL + quint64(ch) + quint64(row_ / cycleRows_) * 7919ULL;
            channels_.emplace_back(p);
        }
    }

    const GeneratorOptions &o_;
    qint64 cycleRows_;
    qint64 row_ = 0;
    std::vector<ChannelSignal> channels_;
};

} // namespace

QString runLiveWriter(const GeneratorOptions &o)
{
    const int stride = o.channels + 1;
    const double rate = o.liveRate;
    const double dayStep = 1.0 / (rate * 86400.0);
    // One cycle already recorded: the view a load opens on holds a transit, so its height and
    // the tone's range suit the transits to come.
    const qint64 cycleRows = std::max<qint64>(3, qint64(std::llround(o.liveCycle * rate)));
    const qint64 backlog = cycleRows;
    const QByteArray notes = lmd::storedNotes(o.userNotes, o.channels, o.names, o.offsets, o.loggedUsingUT);
    const double first = nowDay() - double(backlog) * dayStep;
    FileHeader h = lmd::headerFor(o.channels, notes, first, first);
    h.Author = FileHeader::fixedWidth(o.author, 20);
    h.LocalName = FileHeader::fixedWidth(o.localName, 20);
    h.Location = FileHeader::fixedWidth(o.location, 40);
    h.YMax = o.yMax;
    h.YMin = o.yMin;

    lmd::Writer writer;
    if (!writer.open(o.path, h, notes) || !writer.flush())
        return QStringLiteral("cannot write %1: %2").arg(o.path, writer.errorString());

    CycleSignal signal(o, cycleRows);
    quint64 pieceState = o.seed * 2654435761ULL + 1;
    std::vector<double> block;
    QElapsedTimer clock;
    clock.start();
    qint64 written = 0;
    bool backlogSent = false;
    for (;;) {
        const double elapsed = double(clock.nsecsElapsed()) / 1e9;
        if (o.liveSeconds > 0 && elapsed >= o.liveSeconds)
            return QString();
        // Every record whose moment has come, stamped with that moment.
        const qint64 due = backlog + qint64(std::floor(elapsed * rate));
        block.clear();
        for (; written < due; ++written) {
            block.push_back(first + double(written) * dayStep);
            block.resize(block.size() + size_t(o.channels));
            signal.fill(block.data() + block.size() - size_t(o.channels));
        }
        const char *bytes = reinterpret_cast<const char *>(block.data());
        const qint64 size = qint64(block.size() * sizeof(double));
        for (qint64 at = 0; at < size;) {
            qint64 piece = size - at;
            if (o.livePieces > 0 && backlogSent) {   // the backlog goes at once
                pieceState ^= pieceState << 13;
                pieceState ^= pieceState >> 7;
                pieceState ^= pieceState << 17;
                piece = std::min<qint64>(piece, 1 + qint64(pieceState % quint64(o.livePieces)));
            }
            if (!writer.writeBytes(bytes + at, piece) || !writer.flush())
                return QStringLiteral("cannot write %1: %2").arg(o.path, writer.errorString());
            at += piece;
            if (o.livePieces > 0 && backlogSent)
                QThread::usleep(5000);   // the reader sees records in part
        }
        backlogSent = true;
        QThread::msleep(rate >= 200 ? 5 : 20);
    }
}
