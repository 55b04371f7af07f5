// libFuzzer target: every input is written to a file and loaded as a data file. The loader
// must never crash, read past the file, or leak, whatever the bytes say.
#include "../tests/support/load_rig.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    static const QString path = QDir::temp().filePath(QStringLiteral("lumora_fuzz_%1.lmd").arg(QCoreApplication::applicationPid()));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(bytes), qint64(size));
    }

    LoadRig rig;
    int first = 0, last = 0;
    rig.loader.LoadData(path, first, last);
    const DataSet &data = rig.data;
    const StripChartModel &chart = rig.chart;

    // What a load leaves behind must hold together.
    if (data.FileLoaded) {
        if (chart.rowCount() != data.LastIndex + 1 || chart.channelCount() != data.ChannelCount)
            __builtin_trap();
        rig.data.SplitNotes(data.GetModifiedNotes());
    }
    return 0;
}
