#include "session/state_line.h"
#include "session/viewer.h"

namespace {
QString day(double v) { return QString::number(v, 'g', 17); }
QString num(double v) { return QString::number(v, 'g', 15); }
}

QString stateLine(const Viewer &v)
{
    const StripChartModel &c = v.chart;
    QStringList parts;
    parts << QStringLiteral("loaded=%1").arg(v.data.FileLoaded ? 1 : 0)
          << QStringLiteral("channels=%1").arg(v.data.FileLoaded ? v.data.ChannelCount : c.channelCount())
          << QStringLiteral("last_index=%1").arg(v.data.LastIndex)
          << QStringLiteral("xmin=") + day(c.XAxisMin()) << QStringLiteral("xmax=") + day(c.XAxisMax())
          << QStringLiteral("ymin=") + num(c.YAxisMin()) << QStringLiteral("ymax=") + num(c.YAxisMax())
          << QStringLiteral("cursor_channel=%1").arg(c.CursorChannel())
          << QStringLiteral("toolbar_mode=%1").arg(c.ToolBarMode());
    for (const auto &[key, value] : v.extraState())
        parts << key + u'=' + value;
    parts << QStringLiteral("file=") + v.data.DataFileName;
    return parts.join(u' ');
}
