#include "data/data_set.h"
#include "ports/settings_store.h"
#include "view/strip_chart_model.h"
#include "util/leading_number.h"
#include <cmath>

namespace {

QString sourceFromSwitches(const SettingsStore &s)
{
    // The last switch that is on wins.
    static const char *const names[][2] = {
        {"Line", "Line"}, {"Stereo", "Stereo"}, {"ADC", "ADC"}, {"ADC2", "ADC2"}, {"TestRamp", "Test Ramp"}};
    QString source = QStringLiteral("unknown");
    for (const auto &n : names) {
        if (s.read(QStringLiteral("Settings"), QStringLiteral("Source") + QLatin1String(n[0]), QStringLiteral("False"))
                .compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            source = QLatin1String(n[1]);
    }
    return source;
}

} // namespace

void DataSet::getBlankHeaderInfo()
{
    Notes = QStringLiteral("no available info");
    header.NumChannels = 1;
    header.TimeZone = 0;
    header.Source = FileHeader::fixedWidth(QStringLiteral("unknown"), 10);
    header.Author = FileHeader::fixedWidth(QStringLiteral("unknown"), 20);
    header.LocalName = FileHeader::fixedWidth(QStringLiteral("unknown"), 20);
    header.Location = FileHeader::fixedWidth(QStringLiteral("unknown"), 40);
    header.NotesLength = Notes.size();
}

void DataSet::getStaticHeaderInfo(const SettingsStore &s)
{
    const QString section = QStringLiteral("Settings");
    header.NumChannels = 1;
    // Hours from Greenwich; what no zone can be (a slip of the keyboard, a damaged file) reads as 0.
    const double zone = leadingNumber(s.read(section, QStringLiteral("TZ"), QStringLiteral("0")));
    header.TimeZone = std::isfinite(zone) && std::abs(zone) <= 24 ? qint16(std::nearbyint(zone)) : qint16(0);
    header.Latitude = leadingNumber(s.read(section, QStringLiteral("UserLat"), QStringLiteral("0")));
    header.Longitude = leadingNumber(s.read(section, QStringLiteral("UserLng"), QStringLiteral("0")));
    header.Source = FileHeader::fixedWidth(sourceFromSwitches(s), 10);
    header.Author = FileHeader::fixedWidth(s.read(section, QStringLiteral("Author"), QStringLiteral("unknown")), 20);
    header.LocalName = FileHeader::fixedWidth(s.read(section, QStringLiteral("LocalName"), QStringLiteral("unknown")), 20);
    header.Location = FileHeader::fixedWidth(s.read(section, QStringLiteral("QTH"), QStringLiteral("unknown")), 40);
    header.NotesLength = Notes.size();
}

QString DataSet::SplitNotes(const QString &stored)
{
    const qsizetype open = stored.indexOf(SectionOpen);
    const qsizetype close = stored.indexOf(SectionClose);
    if (open < 0 || close < 0 || open > close)
        return QString();
    QString inner = stored.mid(open + 4, close - open - 4);
    while (!inner.isEmpty()) {
        const qsizetype k = inner.indexOf(ItemSeparator);
        if (k < 0 || k == inner.size() - 1) {
            ParseNotesItem(inner);
            break;
        }
        ParseNotesItem(inner.left(k));
        inner.remove(0, k + 1);
    }
    return stored.left(open);
}

void DataSet::ParseNotesItem(QString item)
{
    if (item.endsWith(ItemSeparator))
        item.chop(1);
    if (item.isEmpty())
        return;
    if (item.contains(QLatin1String("Logged Using UT"))) {
        LoggedUsingUT = true;
    } else if (item.contains(QLatin1String("CHL")) && item.size() >= 7) {
        const double index = leadingNumber(item.mid(3));
        if (index >= 0 && index < NameSlots)
            ChannelNames[int(index)] = item.mid(4);
    } else if (item.contains(QLatin1String("CHO")) && item.size() >= 5) {
        const double index = leadingNumber(item.mid(3, 1));
        if (index >= 0 && index < NameSlots)
            ChannelOffsets[int(index)] = item.mid(4);
    }
}

QString DataSet::GetModifiedNotes() const
{
    QString out = Notes + SectionOpen;
    if (LoggedUsingUT)
        out += QLatin1String("Logged Using UT") + ItemSeparator;
    const int count = qBound(0, ChannelCount, NameSlots);
    for (int i = 0; i < count; ++i)
        out += QLatin1String("CHL") + QString::number(i) + ChannelNames[i] + ItemSeparator;
    for (int i = 0; i < count; ++i)
        out += QLatin1String("CHO") + QString::number(i) + ChannelOffsets[i] + ItemSeparator;
    return out + SectionClose;
}

void DataSet::CalcAvgRate(const StripChartModel &chart)
{
    AvgRate = 0;
    if (LastIndex <= 0 || LastIndex >= chart.rowCount())
        return;
    const double span = (chart.GetTime(LastIndex) - chart.GetTime(0)) * 86400.0;
    if (span != 0 && std::isfinite(span))
        AvgRate = LastIndex / span;
}
