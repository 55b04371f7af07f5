#include "view/landmarks.h"
#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

// The peak rule read word for word, one row at a time.
std::vector<bool> naiveLandmarks(const std::vector<double> &v, bool valley)
{
    const size_t n = v.size();
    double lo = INFINITY, hi = -INFINITY;
    for (double x : v)
        if (std::isfinite(x))
            lo = std::min(lo, x), hi = std::max(hi, x);
    const double need = (hi - lo) / 4;
    std::vector<bool> out(n, false);
    for (size_t p = 0; p < n && need > 0; ++p) {
        if (!std::isfinite(v[p]))
            continue;
        const auto at = [&](size_t i) { return valley ? -v[i] : v[i]; };
        const double h = at(p);
        double left = h, right = h;
        for (size_t i = p; i-- > 0;) {
            if (!std::isfinite(v[i]))
                continue;
            if (at(i) >= h)
                break;
            left = std::min(left, at(i));
        }
        for (size_t i = p + 1; i < n; ++i) {
            if (!std::isfinite(v[i]))
                continue;
            if (at(i) > h)
                break;
            right = std::min(right, at(i));
        }
        out[p] = h - left >= need && h - right >= need;
    }
    return out;
}

} // namespace

// Random walks with flat stretches, ties, gaps and spikes, long enough that the search runs
// through every level of the summary: each jump lands where the plain reading of the rule says.
TEST(Landmarks, NextAndPreviousFollowTheRuleOnRandomWalksAndPassOverSpikes)
{
    QRandomGenerator rng(7);
    for (int round = 0; round < 24; ++round) {
        const size_t n = round % 3 == 0 ? 3000 : 300 + rng.bounded(500);
        std::vector<double> v(n);
        double x = 0;
        for (double &s : v) {
            x += int(rng.bounded(3)) - 1;
            const int odd = rng.bounded(200);
            s = odd == 0 ? NAN : odd == 1 ? x + 40 : x;
        }
        MinMaxPyramid summary;
        summary.build(v.data(), n);
        const LandmarkFinder finder(v.data(), summary, 0, n - 1);
        for (const bool valley : {false, true}) {
            const std::vector<bool> expected = naiveLandmarks(v, valley);
            std::optional<size_t> after, before;
            for (size_t r = n; r-- > 0;) {
                ASSERT_EQ(finder.isLandmark(r, valley), bool(expected[r])) << round << ' ' << r;
                ASSERT_EQ(finder.next((long long)r, 1, valley, true), after) << round << ' ' << r << ' ' << valley;
                if (expected[r])
                    after = r;
            }
            for (size_t r = 0; r < n; ++r) {
                ASSERT_EQ(finder.next((long long)r, -1, valley, true), before) << round << ' ' << r << ' ' << valley;
                if (expected[r])
                    before = r;
            }
        }
    }

    // A jump passes over a burst of five samples to the broad hump behind it; six samples are a
    // peak. The maximum is the burst's first sample; the view's edges are no peaks.
    for (const int burst : {5, 6}) {
        std::vector<double> v(2000);
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = std::exp(-std::pow((double(i) - 1500) / 100, 2)) + (i >= 300 && i < 300 + size_t(burst) ? 3 : 0);
        MinMaxPyramid summary;
        summary.build(v.data(), v.size());
        const LandmarkFinder finder(v.data(), summary, 0, v.size() - 1);
        EXPECT_EQ(finder.next(0, 1, false), std::optional<size_t>(burst == 5 ? 1500 : 300));
        EXPECT_EQ(finder.next(0, 1, false, true), std::optional<size_t>(300));
        EXPECT_EQ(finder.extreme(true), std::optional<size_t>(300));
        EXPECT_EQ(finder.next(1500, 1, false, true), std::nullopt);
    }
}
