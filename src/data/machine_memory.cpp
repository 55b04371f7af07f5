#include "data/machine_memory.h"
#include <QFile>
#include <QList>
#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace {

// One "Name:   1234 kB" line of /proc/meminfo, in bytes; -1 when missing.
qint64 meminfoBytes(const QByteArray &text, const QByteArray &name)
{
    for (const QByteArray &line : text.split('\n')) {
        if (!line.startsWith(name + ':'))
            continue;
        const QList<QByteArray> fields = line.mid(name.size() + 1).simplified().split(' ');
        bool ok = false;
        const qint64 kib = fields.value(0).toLongLong(&ok);
        return ok ? kib * 1024 : -1;
    }
    return -1;
}

} // namespace

qint64 machineMemoryBytes()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (meminfo.open(QIODevice::ReadOnly)) {
        const QByteArray text = meminfo.readAll();
        const qint64 available = meminfoBytes(text, "MemAvailable");
        const qint64 swap = meminfoBytes(text, "SwapFree");
        if (available >= 0)
            return available + qMax<qint64>(swap, 0);
    }
#if defined(Q_OS_UNIX) && defined(_SC_PHYS_PAGES)
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        return qint64(pages) * pageSize;
#endif
    return 0;
}
