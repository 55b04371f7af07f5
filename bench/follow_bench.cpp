// Following a recording that grows by 1000 records a second (8 channels), written by lmdgen
// --live in another process. Reported: the processor time of this thread while following, as
// a share of one core (cpu_percent: reading, storing, and the event loop around them); the time
// from a record's time stamp (the moment the writer wrote it) to its row in the store
// (latency_mean_ms, latency_max_ms, over every row); and the growth of the resident memory
// against the bytes of the rows read (rss_growth_kB, rows_kB). LUMORA_FOLLOW_SECONDS sets how
// long it follows (default 60).
#include "../tests/support/load_rig.h"
#include "live/file_follower.h"
#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <ctime>
#include <fstream>
#include <string>

namespace {

long residentKb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return 0;
}

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double nowDay() { return 25569.0 + double(QDateTime::currentMSecsSinceEpoch()) / 86400000.0; }

void BM_FollowGrowingFile(benchmark::State &state)
{
    const int seconds = qEnvironmentVariableIntValue("LUMORA_FOLLOW_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("LUMORA_FOLLOW_SECONDS") : 60;
    const QString path = QStringLiteral("/tmp/lumora_bench_follow.lmd");
    for (auto _ : state) {
        QFile::remove(path);
        QProcess writer;
        writer.start(QStringLiteral(LMDGEN_PATH),
                     {QStringLiteral("--live"), QStringLiteral("1000"), QStringLiteral("--cycle"), QStringLiteral("3"),
                      QStringLiteral("--channels"), QStringLiteral("8"), QStringLiteral("--duration"),
                      QString::number(seconds + 3), path});
        // The writer's first three seconds arrive at once; the load takes them.
        while (QFileInfo(path).size() < 156 + 3000 * 72)
            QThread::msleep(10);
        QThread::msleep(100);
        LoadRig rig;
        int first = 0, last = 0;
        rig.loader.LoadData(path, first, last);
        FileFollower follower(rig.chart, rig.data);
        double latencySum = 0, latencyMax = 0;
        qint64 latencyRows = 0;
        QObject::connect(&follower, &FileFollower::rowsAppended, [&](int from, int count) {
            const double now = nowDay();
            for (int r = from; r < from + count; ++r) {
                const double ms = (now - rig.chart.GetTime(r)) * 86400000.0;
                latencySum += ms;
                latencyMax = std::max(latencyMax, ms);
            }
            latencyRows += count;
        });
        const int rowsBefore = rig.chart.rowCount();
        const long rssBefore = residentKb();
        const double cpuBefore = threadCpuSeconds();
        follower.start(path, rig.loader.openRecording());
        QEventLoop loop;
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        const double cpu = threadCpuSeconds() - cpuBefore;
        const qint64 rowsRead = rig.chart.rowCount() - rowsBefore;
        state.counters["cpu_percent"] = 100 * cpu / seconds;
        state.counters["latency_mean_ms"] = latencyRows ? latencySum / double(latencyRows) : 0;
        state.counters["latency_max_ms"] = latencyMax;
        state.counters["rows"] = double(rowsRead);
        state.counters["rows_kB"] = double(rowsRead * 72) / 1024;
        state.counters["rss_growth_kB"] = double(residentKb() - rssBefore);
        follower.stop();
        writer.kill();
        writer.waitForFinished();
    }
    QFile::remove(path);
}

} // namespace

BENCHMARK(BM_FollowGrowingFile)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
