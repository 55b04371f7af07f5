#include "view/chart_appearance.h"
#include "ports/settings_store.h"
#include "util/leading_number.h"
#include <algorithm>
#include <cmath>

namespace {

const QString Colors = QStringLiteral("Colors");

// A count or style: the leading number of the text, whole and not negative.
int wholeNumber(const QString &text, int fallback)
{
    const double value = leadingNumber(text);
    if (!std::isfinite(value))
        return fallback;
    return int(std::clamp(std::floor(value), 0.0, 1000.0));
}

} // namespace

quint32 ChartAppearance::parseColour(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        // "&HFFFFFF", also "&HFF&" as some editors write a long.
        QString digits = trimmed.mid(2);
        if (digits.endsWith(u'&'))
            digits.chop(1);
        bool ok = false;
        const qulonglong value = digits.toULongLong(&ok, 16);
        return ok ? quint32(value & 0xFFFFFF) : 0;
    }
    const double value = leadingNumber(trimmed);
    if (!std::isfinite(value) || value < 0)
        return 0;
    return quint32(qulonglong(std::min(value, 16777215.0)));
}

void ChartAppearance::readTitleFont(const SettingsStore &store)
{
    const QString settings = QStringLiteral("Settings");
    title = parseColour(store.read(settings, QStringLiteral("TitleFontColor"), QStringLiteral("128")));
    const double size = leadingNumber(store.read(settings, QStringLiteral("TitleFontSize"), QStringLiteral("10")));
    // A size the painter cannot use keeps the default.
    titleFontSize = std::isfinite(size) && size >= 1 && size <= 200 ? size : 10;
    titleFontName = store.read(settings, QStringLiteral("TitleFontName"), QStringLiteral("MS Sans Serif"));
    titleBold = store.read(settings, QStringLiteral("TitleFontBold"), QStringLiteral("False")) == QLatin1String("True");
    titleItalic = store.read(settings, QStringLiteral("TitleFontItalic"), QStringLiteral("False")) == QLatin1String("True");
}

void ChartAppearance::readColours(const SettingsStore &store)
{
    const auto colour = [&store](const char *key, const char *fallback) {
        return parseColour(store.read(Colors, QLatin1String(key), QLatin1String(fallback)));
    };
    axisGrid = colour("AxisGridColor", "0");
    background = colour("BackGroundColor", "&HFFFFFF");
    gridBackground = colour("GridBackGroundColor", "&HFFFFFF");
    title = colour("TitleFontColor", "0");
    xAxisLabel = colour("XAxisLabelFontColor", "0");
    yAxisLabel = colour("YAxisLabelFontColor", "0");
    xTickMajor = colour("XAxisTickMajorColor", "0");
    xTickMinor = colour("XAxisTickMinorColor", "0");
    yTickMajor = colour("YAxisTickMajorColor", "0");
    yTickMinor = colour("YAxisTickMinorColor", "0");
    channel0 = colour("ChannelColor", "0");
    toolbarActiveFont = colour("ToolbarActiveModeFontColor", "0");
    toolbarInactiveFont = colour("ToolbarInactiveModeFontColor", "0");
    cursor = colour("CursorColor", "0");
    legendText = channel0;
}

void ChartAppearance::readTickGrid(const SettingsStore &store)
{
    const QString section = QStringLiteral("TickGrid");
    const auto number = [&](const char *key, int fallback) {
        return wholeNumber(store.read(section, QLatin1String(key), QString::number(fallback)), fallback);
    };
    xTickMajorCount = std::max(1, number("XAxisTickMajorCount", 5));
    yTickMajorCount = std::max(1, number("YAxisTickMajorCount", 5));
    xTickMinorCount = number("XAxisTickMinorCount", 5);
    yTickMinorCount = number("YAxisTickMinorCount", 5);
    channelLineStyle = number("ChannelLineStyle", Solid);
    gridLineStyle = number("GridLineStyle", Solid);
}
