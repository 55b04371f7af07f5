// Landmark jumps and the spoken description over a full 10-million-row view of a drift scan:
// a slow baseline, a source crossing the beam at 55 % of the run, receiver noise.
#include "../tests/support/fakes.h"
#include "data/data_set.h"
#include "view/landmarks.h"
#include "view/strip_chart_model.h"
#include "view/view_window.h"
#include "voice/view_description.h"
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int Rows = 10'000'000;

struct DriftRig {
    FakeSurface surface;
    FakePump pump;
    StripChartModel chart;
    DataSet data;
    ViewWindow view{chart, data, surface, pump};

    DriftRig()
    {
        chart.AddChannel(QStringLiteral("Ch 1"), 0);
        std::vector<double> records(2 * size_t(Rows));
        quint64 seed = 1;
        for (int i = 0; i < Rows; ++i) {
            const double x = double(i) / (Rows - 1), z = (x - 0.55) / 0.08;
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            const double noise = 0.03 * (double(seed >> 11) / 9007199254740992.0 - 0.5);
            records[2 * size_t(i)] = 45000.0 + i / 864000.0;
            records[2 * size_t(i) + 1] = 0.5 + 0.15 * x + 1.5 * std::exp(-0.5 * z * z) + noise;
        }
        chart.appendRecords(records.data(), Rows);
        data.LastIndex = Rows - 1;
        data.ChannelCount = 1;
        data.DataReady = data.FileLoaded = true;
        chart.setXAxisMin(chart.GetTime(0));
        chart.setXAxisMax(chart.GetTime(Rows - 1));
        chart.summary(0);   // built once by the first drawing of the chart
    }
};

DriftRig &rig()
{
    static const auto r = std::make_unique<DriftRig>();
    return *r;
}

// From the first sample to the transit, and from the last sample back to it.
void BM_NextPeak_10M(benchmark::State &state)
{
    DriftRig &r = rig();
    const bool back = state.range(0) != 0;
    for (auto _ : state) {
        const ViewRows rows = viewRows(r.chart, r.data, r.view);
        const LandmarkFinder finder(r.chart.column(0).data(), r.chart.summary(0), rows.first, rows.last);
        benchmark::DoNotOptimize(finder.next(back ? rows.last : rows.first, back ? -1 : 1, false));
    }
}
BENCHMARK(BM_NextPeak_10M)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Describe_10M(benchmark::State &state)
{
    DriftRig &r = rig();
    for (auto _ : state)
        benchmark::DoNotOptimize(describeView(r.chart, r.data, r.view, 3));
}
BENCHMARK(BM_Describe_10M)->Unit(benchmark::kMillisecond);

} // namespace
