#include "view/minmax_pyramid.h"
#include "view/strip_chart_model.h"
#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

TEST(MinMaxPyramid, AnyRangeGivesTheExtremesOfItsFiniteValuesAndTheModelKeepsItCurrent)
{
    auto *rng = QRandomGenerator::global();
    const double inf = std::numeric_limits<double>::infinity();
    for (size_t n : {0, 1, 31, 32, 33, 257, 4096, 70001}) {
        std::vector<double> v(n);
        for (double &x : v) {
            const int kind = rng->bounded(100);
            x = kind == 0 ? std::nan("") : kind == 1 ? inf : kind == 2 ? -inf : rng->generateDouble() * 200 - 100;
        }
        // A long stretch with no finite value at all.
        for (size_t i = n / 3; i < std::min(n, n / 3 + 300); ++i)
            v[i] = std::nan("");
        MinMaxPyramid p;
        p.build(v.data(), n);
        for (int k = 0; k < 300; ++k) {
            const size_t a = n ? rng->bounded(quint32(n + 1)) : 0, b = n ? rng->bounded(quint32(n + 1)) : 0;
            const size_t from = std::min(a, b), to = std::max(a, b);
            double lo = inf, hi = -inf, min = 0, max = 0;
            MinMaxPyramid::scan(v.data() + from, to - from, lo, hi);
            p.range(v.data(), from, to, min, max);
            ASSERT_EQ(min, lo) << n << ' ' << from << ' ' << to;
            ASSERT_EQ(max, hi) << n << ' ' << from << ' ' << to;
        }
    }

    // The model rebuilds its summary when a sample changes.
    StripChartModel chart;
    chart.AddChannel(QStringLiteral("Ch"), 0);
    for (int i = 0; i < 10000; ++i) {
        chart.AddRow(i);
        chart.SetValue(0, i, i % 100);
    }
    double min = 0, max = 0;
    chart.summary(0).range(chart.column(0).data(), 0, 10000, min, max);
    EXPECT_EQ(max, 99);
    chart.SetValue(0, 5000, 1e6);
    chart.summary(0).range(chart.column(0).data(), 0, 10000, min, max);
    EXPECT_EQ(max, 1e6);
}
