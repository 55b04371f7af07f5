// Loading big generated files through DataLoader, beside `cat` reading the same file from the
// page cache. Peak memory is the rise of the process's high-water mark over its resident size
// before the load (the mark is reset before every load). The loader reads with worker threads, so
// its processor time over all threads is reported as load_cpu_ms: the CPU column counts only the
// benchmark's own thread.
#include "../tests/support/load_rig.h"
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>
#include <sys/resource.h>

namespace {

const QString OneChannel = QStringLiteral("/tmp/lumora_bench_1ch_10M.lmd");
const QString EightChannels = QStringLiteral("/tmp/lumora_bench_8ch_1M.lmd");

// Makes the file once per run of the benchmark program.
const QString &ensureFile(const QString &path, const char *args)
{
    static QStringList made;
    if (!made.contains(path)) {
        const std::string command = std::string(LMDGEN_PATH) + " " + args + " " + path.toStdString();
        if (std::system(command.c_str()) != 0)
            std::abort();
        made << path;
    }
    return path;
}

// kB figure of one /proc/self/status line.
long statusKb(const char *key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + std::strlen(key));
    }
    return -1;
}

// Writing 5 to clear_refs sets the high-water mark back to the current resident size.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

void warmPageCache(const QString &path)
{
    const std::string command = "cat " + path.toStdString() + " > /dev/null";
    if (std::system(command.c_str()) != 0)
        std::abort();
}

// Processor time of this process (RUSAGE_SELF, every thread included) or of its finished
// children (RUSAGE_CHILDREN).
double cpuMs(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

void loadBench(benchmark::State &state, const QString &path)
{
    warmPageCache(path);
    const double fileBytes = double(QFileInfo(path).size());
    double peakBytes = 0, loadCpuMs = 0;
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Give the previous load's memory back first, so the rise below is this load's alone.
        malloc_trim(0);
        auto rig = std::make_unique<LoadRig>();
        const long before = statusKb("VmRSS:");
        resetPeak();
        const double cpuBefore = cpuMs(RUSAGE_SELF);
        state.ResumeTiming();

        int first = 0, last = 0;
        rig->loader.LoadData(path, first, last);

        state.PauseTiming();
        loadCpuMs += cpuMs(RUSAGE_SELF) - cpuBefore;
        peakBytes = std::max(peakBytes, double(statusKb("VmHWM:") - before) * 1024.0);
        rows = rig->chart.rowCount();
        rig.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(fileBytes));
    state.counters["rows"] = rows;
    state.counters["load_cpu_ms"] = loadCpuMs / double(state.iterations());
    state.counters["peak_MB"] = peakBytes / 1e6;
    state.counters["peak_per_file_size"] = peakBytes / fileBytes;
}

// cat's own processor time is reported as cat_cpu_ms: the benchmark's CPU column only counts this process.
void catBench(benchmark::State &state, const QString &path)
{
    warmPageCache(path);
    const std::string command = "cat " + path.toStdString() + " > /dev/null";
    const double cpuBefore = cpuMs(RUSAGE_CHILDREN);
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("cat failed");
    }
    state.counters["cat_cpu_ms"] = (cpuMs(RUSAGE_CHILDREN) - cpuBefore) / double(state.iterations());
    state.SetBytesProcessed(int64_t(state.iterations()) * QFileInfo(path).size());
}

void BM_Load_1ch_10M(benchmark::State &state)
{
    loadBench(state, ensureFile(OneChannel, "--channels 1 --rows 10000000"));
}
void BM_Cat_1ch_10M(benchmark::State &state)
{
    catBench(state, ensureFile(OneChannel, "--channels 1 --rows 10000000"));
}
void BM_Load_8ch_1M(benchmark::State &state)
{
    loadBench(state, ensureFile(EightChannels, "--channels 8 --rows 1000000"));
}
void BM_Cat_8ch_1M(benchmark::State &state)
{
    catBench(state, ensureFile(EightChannels, "--channels 8 --rows 1000000"));
}

} // namespace

BENCHMARK(BM_Load_1ch_10M)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Cat_1ch_10M)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Load_8ch_1M)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Cat_8ch_1M)->Unit(benchmark::kMillisecond)->UseRealTime();
