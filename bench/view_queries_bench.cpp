// The view queries over a full 10-million-row view, and the index searches that bound it.
#include "../tests/support/fakes.h"
#include "data/data_set.h"
#include "view/strip_chart_model.h"
#include "view/view_window.h"
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int Rows = 10'000'000;

struct ViewRig {
    FakeSurface surface;
    FakePump pump;
    StripChartModel chart;
    DataSet data;
    ViewWindow view{chart, data, surface, pump};

    // One channel at 10 samples a second; `ordered` false puts one time stamp out of order,
    // which forces the linear index walk.
    explicit ViewRig(bool ordered)
    {
        chart.AddChannel(QStringLiteral("Ch 1"), 0);
        std::vector<double> records(2 * size_t(Rows));
        for (int i = 0; i < Rows; ++i) {
            records[2 * size_t(i)] = 45000.0 + i / 864000.0;
            records[2 * size_t(i) + 1] = 0.5 + std::sin(i * 1e-4) + (i % 7) * 0.01;
        }
        if (!ordered)
            records[2] = 44000.0;
        chart.appendRecords(records.data(), Rows);
        data.LastIndex = Rows - 1;
        data.ChannelCount = 1;
        chart.setXAxisMin(chart.GetTime(0));
        chart.setXAxisMax(chart.GetTime(Rows - 1));
    }
};

ViewRig &rig(bool ordered)
{
    static std::unique_ptr<ViewRig> rigs[2];
    auto &r = rigs[ordered ? 1 : 0];
    if (!r)
        r = std::make_unique<ViewRig>(ordered);
    return *r;
}

void BM_FindMaxMinForView_10M(benchmark::State &state)
{
    ViewRig &r = rig(true);
    double max = 0, min = 0;
    for (auto _ : state) {
        r.view.FindMaxMinForView(max, min, 0);
        benchmark::DoNotOptimize(max);
    }
    state.SetItemsProcessed(state.iterations() * Rows);
}
BENCHMARK(BM_FindMaxMinForView_10M)->Unit(benchmark::kMillisecond);

void BM_FindViewAvg_10M(benchmark::State &state)
{
    ViewRig &r = rig(true);
    double avg, b1, b2, b3, b4;
    for (auto _ : state) {
        r.view.FindViewAvg(avg, b1, b2, b3, b4, 0);
        benchmark::DoNotOptimize(avg);
    }
    state.SetItemsProcessed(state.iterations() * Rows);
}
BENCHMARK(BM_FindViewAvg_10M)->Unit(benchmark::kMillisecond);

// Both edges of a view in the middle of the file: bisection on ordered time stamps, the
// linear walk when one stamp goes backwards.
void BM_IndexSearches_10M(benchmark::State &state)
{
    const bool ordered = state.range(0) != 0;
    ViewRig &r = rig(ordered);
    r.chart.setXAxisMin(r.chart.GetTime(Rows / 2));
    r.chart.setXAxisMax(r.chart.GetTime(Rows / 2 + 36000));
    for (auto _ : state) {
        r.view.FindXaxisMinIndex();
        r.view.FindXaxisMaxIndex();
        benchmark::DoNotOptimize(r.view.ViewStopIndex);
    }
    r.chart.setXAxisMin(r.chart.GetTime(0));
    r.chart.setXAxisMax(r.chart.GetTime(Rows - 1));
    state.SetLabel(ordered ? "ordered (bisect)" : "out of order (linear)");
}
BENCHMARK(BM_IndexSearches_10M)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

} // namespace
