// The archive index: reading a 100 000-record local copy, and searching the table it fills.
#include "../tests/archive/archive_support.h"
#include "../tests/support/fakes.h"
#include "archive/veyra_archive.h"
#include "voice/speech.h"
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int Records = 100'000;

// Ten recordings a day, every other hour, from 1 January 2000 on.
struct ArchiveRig {
    FakeSpeech voice;
    FakeSurface surface;
    FakePump pump;
    FakeSettings settings;
    Speech speech{voice, pump, surface};
    VeyraArchive archive{speech, surface, pump, settings};
    QTemporaryDir dir;

    ArchiveRig()
    {
        QString text = QStringLiteral("Veyra Archive index\n\n");
        QDate date(2000, 1, 1);
        for (int i = 0; i < Records; ++i) {
            if (i > 0 && i % 10 == 0)
                date = date.addDays(1);
            const QString d = date.toString(QStringLiteral("M/d/yyyy"));
            const QString hh = QString::number((i % 10) * 2).rightJustified(2, u'0');
            text += ArchiveSupport::recordLine(d, hh + QStringLiteral("00"), d, hh + QStringLiteral("30"),
                                               QStringLiteral("R%1").arg(i + 1),
                                               {QString(), QStringLiteral("r%1.lmd").arg(i + 1), QString(), QString()});
        }
        archive.index.localIndexPath = dir.filePath(QStringLiteral("VArecords.txt"));
        QFile file(archive.index.localIndexPath);
        if (file.open(QIODevice::WriteOnly))
            file.write(text.toUtf8());
        archive.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    }
};

ArchiveRig &rig()
{
    static std::unique_ptr<ArchiveRig> r;
    if (!r)
        r = std::make_unique<ArchiveRig>();
    return *r;
}

void BM_ArchiveIndexRead100k(benchmark::State &state)
{
    ArchiveRig &r = rig();
    for (auto _ : state) {
        // A run reads the index once, into an empty table: dropping the last one is not timed.
        state.PauseTiming();
        r.archive.index.ArchiveRecords = {ArchiveRecord()};
        state.ResumeTiming();
        r.archive.index.ReadInRecs();
        benchmark::DoNotOptimize(r.archive.index.ArchiveRecords.data());
    }
    if (r.archive.index.highestRecord() != Records)
        state.SkipWithError("the index was not read whole");
    r.voice.spoken.clear();
    r.voice.spokenAsync.clear();
}
BENCHMARK(BM_ArchiveIndexRead100k)->Unit(benchmark::kMillisecond);

// A date (ten recordings of that day) and a moment (one recording), as typed at the prompt.
void BM_ArchiveSearch100k(benchmark::State &state)
{
    ArchiveRig &r = rig();
    if (r.archive.index.highestRecord() != Records)
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
