// Redrawing the strip chart at 1920 x 1080 from a model built in memory: a full view of
// 10 million rows on one channel, a 1% view of the same rows, and 8 channels of 1 and of 10
// million rows.
#include "app/chart_painter.h"
#include "view/minmax_pyramid.h"
#include "view/strip_chart_model.h"
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

const QSize ImageSize(1920, 1080);

// A drift scan: a slowly wandering baseline, a source passing through the beam every few
// hours, and receiver noise (a fixed-seed generator, so every run draws the same picture).
struct Signal {
    std::uint64_t state;
    explicit Signal(std::uint64_t seed) : state(seed) {}

    double noise()
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return double(state >> 11) / double(1ULL << 53) - 0.5;
    }
    double at(double seconds)
    {
        const double transit = std::fmod(seconds, 4 * 3600.0) - 2 * 3600.0; // seconds from the beam's centre
        const double beam = 600.0;
        return 2.0 + 0.3 * std::sin(seconds * 2e-4) + 1.5 * std::exp(-transit * transit / (2 * beam * beam))
            + 0.2 * noise();
    }
};

struct RenderRig {
    StripChartModel chart;
    qsizetype rows;

    // Time stamps as day numbers at 100 samples a second.
    RenderRig(int channels, qsizetype rowCount) : rows(rowCount)
    {
        const std::uint32_t colours[] = {0x0000FF, 0x008000, 0xFF0000, 0x008080,
                                         0x800080, 0x808000, 0x000000, 0x0080FF};
        for (int ch = 0; ch < channels; ++ch)
            chart.AddChannel(QStringLiteral("Ch %1").arg(ch + 1), colours[ch]);
        chart.setTitle(QStringLiteral("Drift scan"));
        chart.setLegendVisible(true);
        const size_t width = size_t(channels) + 1;
        std::vector<Signal> signal;
        for (int ch = 0; ch < channels; ++ch)
            signal.emplace_back(std::uint64_t(ch) + 1);
        // Columns sized once, as the loader sizes them.
        chart.reserveRows(rows);
        // In slices, so 8 channels of 10 million rows need no second copy of the records.
        const qsizetype slice = 1'000'000;
        std::vector<double> records(width * size_t(std::min(rows, slice)));
        for (qsizetype from = 0; from < rows; from += slice) {
            const qsizetype count = std::min(slice, rows - from);
            for (qsizetype k = 0; k < count; ++k) {
                const qsizetype i = from + k;
                double *r = records.data() + width * size_t(k);
                r[0] = 46000.0 + double(i) / 86400.0 / 100.0;
                for (int ch = 0; ch < channels; ++ch)
                    r[1 + ch] = signal[size_t(ch)].at(double(i) / 100.0 + ch * 900.0) + ch;
            }
            chart.appendRecords(records.data(), count);
        }
        double lo = chart.channelMin(0), hi = chart.channelMax(0);
        for (int ch = 1; ch < channels; ++ch) {
            lo = std::min(lo, chart.channelMin(ch));
            hi = std::max(hi, chart.channelMax(ch));
        }
        chart.setYAxisMin(lo);
        chart.setYAxisMax(hi);
    }

    // The view over rows [first, first + count).
    void viewRows(qsizetype first, qsizetype count)
    {
        chart.setXAxisMin(chart.GetTime(int(first)));
        chart.setXAxisMax(chart.GetTime(int(first + count - 1)));
    }
};

RenderRig &rig(int channels, qsizetype rows)
{
    // One rig at a time: 8 channels of 10 million rows take 720 MB.
    static std::unique_ptr<RenderRig> kept;
    if (!kept || kept->chart.channelCount() != channels || kept->rows != rows) {
        kept.reset();
        kept = std::make_unique<RenderRig>(channels, rows);
    }
    return *kept;
}

// One redraw as the widget makes it: a painter opened on the kept image, the whole chart painted.
void redraw(benchmark::State &state, RenderRig &r, qsizetype rowsInView)
{
    QImage image(ImageSize, QImage::Format_ARGB32_Premultiplied);
    // The summaries are built by the first drawing after a load (BM_Summary_Build): not here.
    for (int ch = 0; ch < r.chart.channelCount(); ++ch)
        r.chart.summary(ch);
    for (auto _ : state) {
        QPainter p(&image);
        ChartPainter::paint(p, image.rect(), r.chart);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * rowsInView * r.chart.channelCount());
    state.counters["rows_in_view"] = double(rowsInView);
    state.counters["channels"] = r.chart.channelCount();
}

void BM_Render_1ch_10M_FullView(benchmark::State &state)
{
    RenderRig &r = rig(1, 10'000'000);
    r.viewRows(0, r.rows);
    redraw(state, r, r.rows);
}
BENCHMARK(BM_Render_1ch_10M_FullView)->Unit(benchmark::kMillisecond)->UseRealTime();

// 100 000 rows in the middle of the file: the columns are found by bisection.
void BM_Render_1ch_10M_OnePercentView(benchmark::State &state)
{
    RenderRig &r = rig(1, 10'000'000);
    const qsizetype count = r.rows / 100;
    r.viewRows(r.rows / 2, count);
    redraw(state, r, count);
    r.viewRows(0, r.rows);
}
BENCHMARK(BM_Render_1ch_10M_OnePercentView)->Unit(benchmark::kMillisecond)->UseRealTime();

// The summary the wide views draw from, built once after a load or an edit.
void BM_Summary_Build_1ch_10M(benchmark::State &state)
{
    RenderRig &r = rig(1, 10'000'000);
    MinMaxPyramid summary;
    for (auto _ : state) {
        summary.build(r.chart.column(0).data(), r.chart.column(0).size());
        benchmark::DoNotOptimize(summary.rows());
    }
    state.SetItemsProcessed(state.iterations() * r.rows);
}
BENCHMARK(BM_Summary_Build_1ch_10M)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Render_8ch_1M_FullView(benchmark::State &state)
{
    RenderRig &r = rig(8, 1'000'000);
    r.viewRows(0, r.rows);
    redraw(state, r, r.rows);
}
BENCHMARK(BM_Render_8ch_1M_FullView)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Render_8ch_10M_FullView(benchmark::State &state)
{
    RenderRig &r = rig(8, 10'000'000);
    r.viewRows(0, r.rows);
    redraw(state, r, r.rows);
}
BENCHMARK(BM_Render_8ch_10M_FullView)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same pictures read from every row, as before the summaries: the figures to compare with.
void BM_Render_8ch_10M_FullView_EveryRow(benchmark::State &state)
{
    RenderRig &r = rig(8, 10'000'000);
    r.viewRows(0, r.rows);
    ChartPainter::useSummaries(false);
    redraw(state, r, r.rows);
    ChartPainter::useSummaries(true);
}
BENCHMARK(BM_Render_8ch_10M_FullView_EveryRow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Render_1ch_10M_FullView_EveryRow(benchmark::State &state)
{
    RenderRig &r = rig(1, 10'000'000);
    r.viewRows(0, r.rows);
    ChartPainter::useSummaries(false);
    redraw(state, r, r.rows);
    ChartPainter::useSummaries(true);
}
BENCHMARK(BM_Render_1ch_10M_FullView_EveryRow)->Unit(benchmark::kMillisecond)->UseRealTime();

// Scrolling: each redraw a view of a tenth of the file, a step further on (8 x 10M rows).
void BM_Render_8ch_10M_Scrolling(benchmark::State &state)
{
    RenderRig &r = rig(8, 10'000'000);
    QImage image(ImageSize, QImage::Format_ARGB32_Premultiplied);
    qsizetype first = 0;
    const qsizetype count = r.rows / 10;
    for (int ch = 0; ch < r.chart.channelCount(); ++ch)
        r.chart.summary(ch);
    for (auto _ : state) {
        r.viewRows(first, count);
        first = (first + count / 4) % (r.rows - count);
        QPainter p(&image);
        ChartPainter::paint(p, image.rect(), r.chart);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    r.viewRows(0, r.rows);
}
BENCHMARK(BM_Render_8ch_10M_Scrolling)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
