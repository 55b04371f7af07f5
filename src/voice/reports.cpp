#include "voice/reports.h"
#include "data/data_set.h"
#include "settings/recent_files.h"
#include "view/strip_chart_model.h"
#include "view/view_window.h"
#include "voice/folder_browser.h"
#include "voice/number_forms.h"
#include "voice/speech.h"
#include <algorithm>
#include <exception>

using namespace NumberForms;

namespace {
const QString NoFile = QStringLiteral("No file loaded.");
}

bool Reports::next(const QString &text)
{
    if (speech_.pumpAndTest())
        return false;
    speech_.speak(text);
    return true;
}

double Reports::maximumY() const
{
    const int channels = std::min(data_.ChannelCount, chart_.channelCount());
    if (channels <= 0)
        return 0;
    double top = chart_.channelMax(0);
    for (int c = 1; c < channels; ++c)
        top = std::max(top, chart_.channelMax(c));
    return top;
}

void Reports::SpeakChartHeight()
{
    next(QStringLiteral("Top ") + speech_.numbers.level(chart_.YAxisMax())) &&
        next(QStringLiteral("Bottom ") + speech_.numbers.level(chart_.YAxisMin())) &&
        next(QStringLiteral("Height ") + speech_.numbers.level(chart_.YAxisMax() - chart_.YAxisMin()));
}

void Reports::SpeakChartLimits()
{
    next(QStringLiteral("Chart View Starts ") + hhnnss(chart_.XAxisMin())) &&
        next(QStringLiteral("Ends ") + hhnnss(chart_.XAxisMax())) &&
        next(QStringLiteral("Top ") + speech_.numbers.level(chart_.YAxisMax())) &&
        next(QStringLiteral("Bottom ") + speech_.numbers.level(chart_.YAxisMin()));
}

void Reports::SpeakChartID()
{
    next(QStringLiteral("Chart Local Name ") + data_.header.LocalName) &&
        next(QStringLiteral("File Name ") + FileNameOf(recent_.RecentLoaded[0])) &&
        next(QStringLiteral("File Start Date ") + shortDate(data_.header.StartTime));
}

void Reports::SpeakChartWidth()
{
    next(QStringLiteral("Chart View Starts ") + hhnnss(chart_.XAxisMin())) &&
        next(QStringLiteral("Ends ") + hhnnss(chart_.XAxisMax())) &&
        next(QStringLiteral("Width ") + hhnnss(chart_.XAxisMax() - chart_.XAxisMin()));
}

void Reports::mnuStatsInfo()
{
    if (!data_.DataReady) {
        speech_.speak(NoFile);
        return;
    }
    const FileHeader &h = data_.header;
    speech_.speak(QStringLiteral("Starts ") + shortDate(h.StartTime) + u' ' + hhnnss(h.StartTime));
    if (!next(QStringLiteral("Duration ") + hhnnss(h.EndTime - h.StartTime)) ||
        !next(QStringLiteral("Average Rate: ") + threeDecimals(data_.AvgRate) + QStringLiteral(" samples per second.")) ||
        !next(QStringLiteral("Maximum Y ") + speech_.numbers.level(maximumY()) + QStringLiteral(" .")))
        return;
    if (speech_.pumpAndTest())
        return;
    // Always the first channel, whichever one the cursor follows.
    double avg = 0, b1 = 0, b2 = 0, b3 = 0, b4 = 0;
    view_.FindViewAvg(avg, b1, b2, b3, b4, 0);
    speech_.speak(QStringLiteral("Average Y value ") + speech_.numbers.level(avg));
    if (!next(QStringLiteral("Below 25% ") + floored(b1)))
        return;
    speech_.speak(QStringLiteral("25 to 50% ") + floored(b2));
    if (!next(QStringLiteral("50 to 75% ") + floored(b3)))
        return;
    speech_.speak(QStringLiteral("75 to 100% ") + floored(b4));
}

void Reports::mnuNotesInfo()
{
    if (!data_.DataReady) {
        speech_.speak(NoFile);
        return;
    }
    // A period at every line end makes the voice pause there.
    QString notes = data_.Notes;
    notes.replace(QLatin1String("\r\n"), QLatin1String(".\r\n"));
    speech_.speak(QStringLiteral("Additional Notes ") + notes);
}

void Reports::mnuObserverInfo()
{
    if (!data_.DataReady) {
        speech_.speak(NoFile);
        return;
    }
    const FileHeader &h = data_.header;
    speech_.speak(QStringLiteral("Name ") + h.LocalName.trimmed());
    if (!next(QStringLiteral("Observer ") + h.Author.trimmed()) ||
        !next(QStringLiteral("Location ") + h.Location.trimmed()) ||
        !next(QStringLiteral("Latitude ") + FormatDMS(h.Latitude)) ||
        !next(QStringLiteral("Longitude ") + FormatDMSCarry(h.Longitude)))
        return;
    if (!speech_.pumpAndTest() && !data_.LoggedUsingUT)
        speech_.speak(QStringLiteral("File is not logged in U T ."));
}

void Reports::mnuDataFileInfo()
{
    // Each part is on its own: one that fails leaves the rest of the report to be heard.
    const auto step = [](auto &&part) {
        try {
            part();
        } catch (const std::exception &) {
        }
    };
    step([this] { speech_.speak(QStringLiteral("Number of channels ") + signPadded(data_.ChannelCount) + u'.'); });
    step([this] { speech_.pumpAndTest(); });
    step([this] { if (!speech_.AbortRequested) mnuStatsInfo(); });
    step([this] { if (!speech_.AbortRequested) mnuObserverInfo(); });
    step([this] { if (!speech_.AbortRequested) mnuNotesInfo(); });
    speech_.AbortRequested = false;
}

void Reports::mnuInfo()
{
    speech_.AbortRequested = false;
    if (!data_.DataReady)
        speech_.speak(NoFile);
}
