// The archive index: reading a local copy of 100 000 and of 1 000 000 records, and searching
// the table it fills.
#include "../tests/archive/archive_support.h"
#include "../tests/support/fakes.h"
#include "archive/veyra_archive.h"
#include "voice/speech.h"
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <algorithm>
#include <map>
#include <memory>

namespace {

// Remembers the longest stretch between two pumps: how long Escape would wait to be seen.
struct GapPump : MessagePump {
    QElapsedTimer since;
    qint64 longestNs = 0;
    int pumps = 0;
    void pump() override
    {
        ++pumps;
        if (since.isValid())
            longestNs = std::max(longestNs, since.nsecsElapsed());
        since.start();
    }
};

// Ten recordings a day, every other hour, from 1 January 2000 on.
struct ArchiveRig {
    FakeSpeech voice;
    FakeSurface surface;
    GapPump pump;
    FakeSettings settings;
    Speech speech{voice, pump, surface};
    VeyraArchive archive{speech, surface, pump, settings};
    QTemporaryDir dir;
    const int records;
    qint64 fileBytes = 0;

    explicit ArchiveRig(int count) : records(count)
    {
        archive.index.localIndexPath = dir.filePath(QStringLiteral("VArecords.txt"));
        QFile file(archive.index.localIndexPath);
        if (!file.open(QIODevice::WriteOnly))
            return;
        // Written a slice at a time: the text itself must not weigh on the reader's peak memory.
        QByteArray slice = "Veyra Archive index\n\n";
        QDate date(2000, 1, 1);
        for (int i = 0; i < records; ++i) {
            if (i > 0 && i % 10 == 0)
                date = date.addDays(1);
            const QString d = date.toString(QStringLiteral("M/d/yyyy"));
            const QString hh = QString::number((i % 10) * 2).rightJustified(2, u'0');
            slice += ArchiveSupport::recordLine(d, hh + QStringLiteral("00"), d, hh + QStringLiteral("30"),
                                                QStringLiteral("R%1").arg(i + 1),
                                                {QString(), QStringLiteral("r%1.lmd").arg(i + 1), QString(), QString()})
                         .toUtf8();
            if (slice.size() > (1 << 20)) {
                file.write(slice);
                slice.clear();
            }
        }
        file.write(slice);
        fileBytes = file.size();
        // Lines this full make a million records weigh about 150 MB, past what a fetched index
        // may weigh; the limit is raised so the reader's own cost is what is measured.
        archive.index.sizeLimit = std::max(archive.index.sizeLimit, fileBytes);
        archive.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    }
};

ArchiveRig &rig(int records)
{
    static std::map<int, std::unique_ptr<ArchiveRig>> rigs;
    auto &r = rigs[records];
    if (!r)
        r = std::make_unique<ArchiveRig>(records);
    return *r;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// The whole path of a search's first step: the local file into the record table, with the
// spoken progress and the pumps that keep the window answering.
void BM_ArchiveIndexRead(benchmark::State &state)
{
    ArchiveRig &r = rig(int(state.range(0)));
    for (auto _ : state) {
        // A run reads the index once, into an empty table: dropping the last one is not timed.
        state.PauseTiming();
        r.archive.index.ArchiveRecords.clear();
        r.pump.since.invalidate();
        r.pump.longestNs = 0;
        r.pump.pumps = 0;
        state.ResumeTiming();
        r.archive.index.ReadInRecs();
        benchmark::DoNotOptimize(r.archive.index.highestRecord());
    }
    if (r.archive.index.highestRecord() != r.records)
        state.SkipWithError("the index was not read whole");
    state.counters["longest_ms_between_pumps"] = double(r.pump.longestNs) / 1e6;
    state.counters["pumps"] = r.pump.pumps;
    state.counters["peak_MB"] = peakMegabytes();
    state.counters["file_MB"] = double(r.fileBytes) / (1 << 20);
    r.voice.spoken.clear();
    r.voice.spokenAsync.clear();
}
BENCHMARK(BM_ArchiveIndexRead)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// A date (ten recordings of that day) and a moment (one recording), as typed at the prompt.
void BM_ArchiveSearch100k(benchmark::State &state)
{
    ArchiveRig &r = rig(100'000);
    if (r.archive.index.highestRecord() != r.records)
        r.archive.index.ReadInRecs();
    const QString typed = state.range(0) ? QStringLiteral("5/18/2027 18:15") : QStringLiteral("6/1/2013");
    for (auto _ : state) {
        r.archive.DoFind(typed);
        benchmark::DoNotOptimize(r.archive.List1.entries().size());
    }
    state.counters["matches"] = double(r.archive.List1.entries().size());
    r.voice.spoken.clear();
}
BENCHMARK(BM_ArchiveSearch100k)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
