#include "data/parallel_record_reader.h"
#include <QThread>
#include <QtEndian>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#if defined(Q_OS_WIN)
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <unistd.h>
#endif

namespace {

// Reads up to `bytes` at `offset` without moving the file's position, so threads can share
// one open file. Returns the bytes read (0 at the end of the file) or -1 on an error.
qint64 readAt(int fd, char *into, qint64 bytes, qint64 offset)
{
#if defined(Q_OS_WIN)
    OVERLAPPED at{};
    at.Offset = DWORD(offset);
    at.OffsetHigh = DWORD(quint64(offset) >> 32);
    DWORD got = 0;
    if (!ReadFile(HANDLE(_get_osfhandle(fd)), into, DWORD(bytes), &got, &at))
        return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    return qint64(got);
#else
    ssize_t got;
    do
        got = ::pread(fd, into, size_t(bytes), off_t(offset));
    while (got < 0 && errno == EINTR);
    return qint64(got);
#endif
}

// The whole span or an error text: a read can return less than asked and still go on.
QString readFully(int fd, char *into, qint64 bytes, qint64 offset)
{
    while (bytes > 0) {
        const qint64 got = readAt(fd, into, bytes, offset);
        if (got < 0)
            return qt_error_string(-1);
        if (got == 0)
            return FileChangedWhileRead;
        into += got;
        bytes -= got;
        offset += got;
    }
    return QString();
}

// Small enough that a block stays in the core's own cache from the read until it is spread,
// and the columns just written are still there for the order and maximum checks.
constexpr qint64 BlockBytes = 128 * 1024;
// Below this many rows a part is not worth a thread of its own.
constexpr qint64 MinPartRows = 65536;
constexpr int MaxThreads = 4;

struct Part {
    qint64 begin = 0, end = 0;   // rows of the run
    qint64 done = 0;             // rows read from begin on
    bool ascending = true;       // within the part
    double firstMax = -INFINITY; // largest value of the first channel, NaN skipped
    bool failed = false;
    QString error;
};

// Copies every field of a block's records into its column. With the record width known at
// compile time the compiler unrolls the fields; each value is loaded unaligned and little-endian,
// as the file stores it.
template <int Stride>
void spread(const uchar *block, qint64 n, double *const *columns)
{
    double *to[Stride];
    std::copy_n(columns, Stride, to);
    for (qint64 i = 0; i < n; ++i) {
        for (int f = 0; f < Stride; ++f)
            to[f][i] = qFromLittleEndian<double>(block + (i * Stride + f) * 8);
    }
}

using Spread = void (*)(const uchar *, qint64, double *const *);
constexpr Spread SpreadFor[] = {nullptr, nullptr, spread<2>, spread<3>, spread<4>, spread<5>,
                                spread<6>, spread<7>, spread<8>, spread<9>};

// True when the times run without a step back; written without a carried value so it vectorises.
bool ascends(const double *t, qint64 n, double previous)
{
    bool back = !(t[0] >= previous);
    for (qint64 i = 1; i < n; ++i)
        back |= !(t[i] >= t[i - 1]);
    return !back;
}

// Largest value, NaN skipped (it never wins a comparison); four lanes so that the comparisons
// need not wait on each other.
double largest(const double *v, qint64 n, double best)
{
    double lane[4] = {best, best, best, best};
    qint64 i = 0;
    for (; i + 4 <= n; i += 4) {
        for (int k = 0; k < 4; ++k)
            lane[k] = v[i + k] > lane[k] ? v[i + k] : lane[k];
    }
    for (; i < n; ++i)
        lane[0] = v[i] > lane[0] ? v[i] : lane[0];
    return std::max({lane[0], lane[1], lane[2], lane[3]});
}

void readPart(int fd, qint64 offset, RecordColumns &out, Part &part, std::atomic<qint64> &rowsRead)
{
    const int stride = int(out.values.size()) + 1;
    const qint64 recordBytes = 8 * stride;
    const qint64 blockRecords = BlockBytes / recordBytes;
    const Spread spreadFields = SpreadFor[stride];
    std::vector<uchar> block(size_t(blockRecords * recordBytes));
    std::vector<double *> columns(static_cast<size_t>(stride));
    double previous = -INFINITY;

    for (qint64 r = part.begin; r < part.end;) {
        const qint64 n = std::min(blockRecords, part.end - r);
        const QString error = readFully(fd, reinterpret_cast<char *>(block.data()), n * recordBytes, offset + r * recordBytes);
        if (!error.isEmpty()) {
            part.failed = true;
            part.error = error;
            return;
        }
        for (int f = 0; f < stride; ++f)
            columns[size_t(f)] = (f == 0 ? out.times : out.values[size_t(f - 1)]).data() + r;
        spreadFields(block.data(), n, columns.data());
        part.ascending = part.ascending && ascends(columns[0], n, previous);
        previous = columns[0][n - 1];
        part.firstMax = largest(columns[1], n, part.firstMax);
        r += n;
        part.done = r - part.begin;
        rowsRead.fetch_add(n, std::memory_order_relaxed);
    }
}

} // namespace

RecordColumns readRecordColumns(int fd, qint64 offset, int channels, qint64 rows,
                                const std::function<void(qint64 rowsRead)> &progress)
{
    RecordColumns out;
    out.values.resize(size_t(channels));
    const auto size = [rows](SampleColumn &column) {
        StripChartModel::reserveColumn(column, size_t(rows));
        column.resize(size_t(rows));   // no zero fill: a page's first touch is its rows' own write
    };
    size(out.times);
    for (SampleColumn &column : out.values)
        size(column);

    const int threads = int(std::clamp<qint64>(rows / MinPartRows, 1, std::clamp(QThread::idealThreadCount(), 1, MaxThreads)));
    std::vector<Part> parts(static_cast<size_t>(threads));
    for (int i = 0; i < threads; ++i) {
        parts[size_t(i)].begin = rows * i / threads;
        parts[size_t(i)].end = rows * (i + 1) / threads;
    }

    std::atomic<qint64> rowsRead{0};
    std::mutex mutex;
    std::condition_variable finished;
    int running = threads;
    {
        std::vector<std::jthread> workers;   // joined on the way out, even if progress throws
        for (Part &part : parts) {
            workers.emplace_back([&, p = &part] {
                readPart(fd, offset, out, *p, rowsRead);
                std::lock_guard lock(mutex);
                --running;
                finished.notify_one();
            });
        }
        std::unique_lock lock(mutex);
        while (!finished.wait_for(lock, std::chrono::milliseconds(15), [&] { return running == 0; })) {
            lock.unlock();
            if (progress)
                progress(rowsRead.load(std::memory_order_relaxed));
            lock.lock();
        }
    }

    // Keep the rows without a gap from the start; order holds across a part boundary too.
    qint64 kept = 0;
    for (const Part &part : parts) {
        if (part.done > 0 && part.begin > 0 && !(out.times[size_t(part.begin)] >= out.times[size_t(part.begin - 1)]))
            out.ascending = false;
        out.ascending = out.ascending && part.ascending;
        out.firstMax = std::max(out.firstMax, part.firstMax);
        kept += part.done;
        if (part.failed) {
            out.failed = true;
            out.error = part.error;
            break;
        }
    }
    out.times.resize(size_t(kept));
    for (SampleColumn &column : out.values)
        column.resize(size_t(kept));
    return out;
}
