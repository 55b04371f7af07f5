#include "view/view_window.h"
#include "data/data_set.h"
#include "ports/timed_pump.h"
#include "ports/window_surface.h"
#include "util/leading_number.h"
#include "view/strip_chart_model.h"
#include <algorithm>
#include <cmath>

namespace {

const QString StatusLabel = QStringLiteral("LBLLR");

// Rows are scanned in blocks between pumps: big enough to keep the loops tight, small enough
// that a pump is never far behind its time slice.
constexpr int Block = 1 << 16;

struct MaxMin {
    double max, min;
};

// Where the loader can pick a kernel at run time, the wider vectors are used when the processor has them.
#if defined(__GNUC__) && defined(__x86_64__) && defined(__linux__)
#define VECTOR_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define VECTOR_KERNEL
#endif

// Four independent lanes, so the compiler can keep them in vector registers.
constexpr int Lanes = 4;

VECTOR_KERNEL MaxMin maxMinOf(const double *v, int count, MaxMin acc)
{
    double hi[Lanes], lo[Lanes];
    for (int k = 0; k < Lanes; ++k) {
        hi[k] = acc.max;
        lo[k] = acc.min;
    }
    int i = 0;
    for (; i + Lanes <= count; i += Lanes) {
        for (int k = 0; k < Lanes; ++k) {
            hi[k] = v[i + k] > hi[k] ? v[i + k] : hi[k];
            lo[k] = v[i + k] < lo[k] ? v[i + k] : lo[k];
        }
    }
    for (; i < count; ++i) {
        hi[0] = v[i] > hi[0] ? v[i] : hi[0];
        lo[0] = v[i] < lo[0] ? v[i] : lo[0];
    }
    for (int k = 1; k < Lanes; ++k) {
        hi[0] = hi[k] > hi[0] ? hi[k] : hi[0];
        lo[0] = lo[k] < lo[0] ? lo[k] : lo[0];
    }
    return {hi[0], lo[0]};
}

// Sum of the values, and how many lie at or below each quarter mark.
struct Tally {
    double sum = 0;
    qint64 atOrBelow1 = 0, atOrBelow2 = 0, atOrBelow3 = 0;
};

VECTOR_KERNEL void tally(const double *v, int count, double q1, double q2, double q3, Tally &t)
{
    // Counts kept as doubles per lane (exact far beyond a block's size) so the lanes vectorize.
    double s[Lanes] = {}, c1[Lanes] = {}, c2[Lanes] = {}, c3[Lanes] = {};
    int i = 0;
    for (; i + Lanes <= count; i += Lanes) {
        for (int k = 0; k < Lanes; ++k) {
            const double x = v[i + k];
            s[k] += x;
            c1[k] += x <= q1 ? 1.0 : 0.0;
            c2[k] += x <= q2 ? 1.0 : 0.0;
            c3[k] += x <= q3 ? 1.0 : 0.0;
        }
    }
    for (; i < count; ++i) {
        s[0] += v[i];
        c1[0] += v[i] <= q1 ? 1.0 : 0.0;
        c2[0] += v[i] <= q2 ? 1.0 : 0.0;
        c3[0] += v[i] <= q3 ? 1.0 : 0.0;
    }
    for (int k = 0; k < Lanes; ++k) {
        t.sum += s[k];
        t.atOrBelow1 += qint64(c1[k]);
        t.atOrBelow2 += qint64(c2[k]);
        t.atOrBelow3 += qint64(c3[k]);
    }
}

} // namespace

int ViewWindow::firstAtOrAfter(double time, int from) const
{
    const auto &times = chart_.times();
    const int last = std::min(data_.LastIndex, int(times.size()) - 1);
    if (from > last)
        return last + 1;
    const auto begin = times.begin() + from, end = times.begin() + last + 1;
    if (chart_.timesAscending() && !std::isnan(time))
        return int(std::lower_bound(begin, end, time) - times.begin());
    return int(std::find_if(begin, end, [time](double t) { return t >= time; }) - times.begin());
}

void ViewWindow::FindXaxisMinIndex()
{
    ViewStartIndex = firstAtOrAfter(chart_.XAxisMin(), 0);
}

void ViewWindow::FindXaxisMaxIndex()
{
    ViewStopIndex = firstAtOrAfter(chart_.XAxisMax(), std::max(ViewStartIndex, 0));
}

void ViewWindow::FindMaxMinForView(double &max, double &min, int channel)
{
    FindXaxisMinIndex();
    FindXaxisMaxIndex();
    const int start = ViewStartIndex;
    // A right edge past the last sample covers the samples up to the last one.
    const int stop = std::min(ViewStopIndex, data_.LastIndex);
    max = 0;
    min = 0;
    if (channel > 7)
        return;
    surface_.setLabel(StatusLabel, QStringLiteral("Finding Max and Min for View .... Please wait"));
    const int first = channel < 0 ? 0 : channel;
    const int last = channel < 0 ? data_.ChannelCount - 1 : channel;
    MaxMin acc{-1e20, 1e20};
    bool ok = start <= stop;
    TimedPump pump(pump_);
    for (int c = first; ok && c <= last; ++c) {
        for (int i = start; ok && i <= stop; i += Block) {
            // Read the column afresh after every pump: a handler may have changed the chart.
            if (c >= chart_.channelCount() || int(chart_.column(c).size()) <= stop) {
                ok = false;
                break;
            }
            acc = maxMinOf(chart_.column(c).data() + i, std::min(Block, stop - i + 1), acc);
            pump.maybePump();
        }
    }
    if (ok) {
        max = acc.max;
        min = acc.min;
    }
    surface_.setLabel(StatusLabel, QString());
}

void ViewWindow::FindViewAvg(double &avg, double &b1, double &b2, double &b3, double &b4, int channel)
{
    avg = b1 = b2 = b3 = b4 = 0;
    chart_.BeginUpdate();
    double max = 0, min = 0;
    FindMaxMinForView(max, min, channel);
    const double range = max - min;
    const double q1 = min + 0.25 * range, q2 = min + 0.5 * range, q3 = min + 0.75 * range;
    const int start = ViewStartIndex;
    const int stop = std::min(ViewStopIndex, data_.LastIndex);
    const qint64 n = qint64(stop) - start + 1;
    Tally t;
    bool ok = n > 0 && channel >= 0;
    TimedPump pump(pump_);
    for (int i = start; ok && i <= stop; i += Block) {
        if (channel >= chart_.channelCount() || int(chart_.column(channel).size()) <= stop) {
            ok = false;
            break;
        }
        tally(chart_.column(channel).data() + i, std::min(Block, stop - i + 1), q1, q2, q3, t);
        pump.maybePump();
    }
    if (ok) {
        avg = t.sum / double(n);
        b1 = 100.0 * double(t.atOrBelow1) / double(n);
        b2 = 100.0 * double(t.atOrBelow2 - t.atOrBelow1) / double(n);
        b3 = 100.0 * double(t.atOrBelow3 - t.atOrBelow2) / double(n);
        b4 = 100.0 * double(n - t.atOrBelow3) / double(n);
    }
    chart_.EndUpdate();
}

void ViewWindow::FitChartYtoData(int channel, std::optional<double> percent)
{
    double max = 0, min = 0;
    FindMaxMinForView(max, min, channel);
    if (percent && *percent > 0 && *percent <= 100)
        max = min + (*percent / 100.0) * (max - min);
    chart_.setYAxisMax(max);
    chart_.setYAxisMin(min);
}

void ViewWindow::cmdAutoScale_Click()
{
    const int c = chart_.CursorChannel();
    chart_.AutoScaleEnabled = true;
    double max = 0, min = 0;
    FindMaxMinForView(max, min, c);
    double bottom = std::max(0.0, min - 0.1 * min);
    double top = max + 0.2 * max;
    // Data below zero everywhere would leave an upside-down axis that shows none of it: give
    // the same margins measured away from the data instead.
    if (!(top > bottom)) {
        bottom = min - 0.1 * std::fabs(min);
        top = max + 0.2 * std::fabs(max);
        if (!(top > bottom))
            top = bottom + 1;
    }
    chart_.setYAxisMin(bottom);
    chart_.setYAxisMax(top);
    chart_.EndUpdate();
    if (speakChartHeight)
        speakChartHeight();
}

void ViewWindow::cmdFullView_Click()
{
    if (data_.LastIndex < 2 || chart_.rowCount() <= data_.LastIndex)
        return;
    chart_.BeginUpdate();
    double top = -1e20, bottom = 1e20;
    for (int c = 0; c < chart_.channelCount(); ++c) {
        top = std::max(top, chart_.channelMax(c));
        bottom = std::min(bottom, chart_.channelMin(c));
    }
    chart_.setYAxisMax(top);
    chart_.setYAxisMin(bottom);
    chart_.setXAxisMin(chart_.GetTime(0));
    // The right edge is the last sample, so the whole file is in view.
    chart_.setXAxisMax(chart_.GetTime(data_.LastIndex));
    surface_.setLabel(StatusLabel, QStringLiteral("Number of Samples: ") + QString::number(data_.LastIndex + 1));
    chart_.setToolBarMode(0);
    if (recolourArrows)
        recolourArrows();
    chart_.EndUpdate();
    if (speakChartLimits)
        speakChartLimits();
}

double ViewWindow::TimeFromStr(const QString &text)
{
    const QString t = text.trimmed();
    const qsizetype colon = t.indexOf(u':');
    if (colon < 0) {
        const double hours = leadingNumber(t);
        if (hours < 0 || hours > 24)
            return 0;
        return hours / 24.0;
    }
    const double h = leadingNumber(t.left(colon));
    const QString rest = t.mid(colon + 1);
    const qsizetype second = rest.indexOf(u':');
    double m = 0, s = 0;
    if (second < 0) {
        m = leadingNumber(rest);
    } else {
        m = leadingNumber(rest.left(second));
        s = leadingNumber(rest.mid(second + 1));
    }
    return (h + m / 60.0 + s / 3600.0) / 24.0;
}
