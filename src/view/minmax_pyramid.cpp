#include "view/minmax_pyramid.h"
#include <algorithm>
#include <cmath>
#include <limits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
constexpr double Inf = std::numeric_limits<double>::infinity();
}

namespace {

// Extremes of finite values, one by one.
void scanCarefully(const double *v, size_t n, double &min, double &max)
{
    for (size_t i = 0; i < n; ++i) {
        const double x = v[i];
        // One compare pair drops NaN and both infinities.
        if (x > -Inf && x < Inf) {
            min = x < min ? x : min;
            max = x > max ? x : max;
        }
    }
}

} // namespace

void MinMaxPyramid::scan(const double *v, size_t n, double &min, double &max)
{
#if defined(__SSE2__)
    // Four at a time. NaN drops out on its own (SSE2 min/max keep their second operand
    // then); an infinity shows in the result and sends the rows through the careful loop.
    if (n >= 8) {
        __m128d lo0 = _mm_set1_pd(Inf), lo1 = lo0, hi0 = _mm_set1_pd(-Inf), hi1 = hi0;
        size_t i = 0;
        for (; i + 4 <= n; i += 4) {
            const __m128d a = _mm_loadu_pd(v + i), b = _mm_loadu_pd(v + i + 2);
            lo0 = _mm_min_pd(a, lo0);
            hi0 = _mm_max_pd(a, hi0);
            lo1 = _mm_min_pd(b, lo1);
            hi1 = _mm_max_pd(b, hi1);
        }
        alignas(16) double lo[2], hi[2];
        _mm_store_pd(lo, _mm_min_pd(lo0, lo1));
        _mm_store_pd(hi, _mm_max_pd(hi0, hi1));
        double mn = std::min(lo[0], lo[1]), mx = std::max(hi[0], hi[1]);
        scanCarefully(v + i, n - i, mn, mx);
        if (mn == -Inf || mx == Inf) {
            scanCarefully(v, n, min, max);
            return;
        }
        min = std::min(min, mn);
        max = std::max(max, mx);
        return;
    }
#endif
    scanCarefully(v, n, min, max);
}

void MinMaxPyramid::clear()
{
    rows_ = 0;
    levels_.clear();
}

void MinMaxPyramid::build(const double *values, size_t count)
{
    clear();
    rows_ = count;
    std::vector<Extremes> level(count / Base);
    for (size_t b = 0; b < level.size(); ++b) {
        Extremes e{Inf, -Inf};
        scan(values + b * Base, Base, e.min, e.max);
        level[b] = e;
    }
    while (level.size() >= Fan) {
        std::vector<Extremes> up(level.size() / Fan);
        for (size_t b = 0; b < up.size(); ++b) {
            Extremes e{Inf, -Inf};
            for (size_t k = 0; k < Fan; ++k) {
                const Extremes &below = level[b * Fan + k];
                e.min = std::min(e.min, below.min);
                e.max = std::max(e.max, below.max);
            }
            up[b] = e;
        }
        levels_.push_back(std::move(level));
        level = std::move(up);
    }
    levels_.push_back(std::move(level));
}

void MinMaxPyramid::extend(const double *values, size_t count)
{
    if (count <= rows_)
        return;
    rows_ = count;
    if (levels_.empty())
        levels_.emplace_back();
    std::vector<Extremes> &base = levels_[0];
    for (size_t b = base.size(); b < count / Base; ++b) {
        Extremes e{Inf, -Inf};
        scan(values + b * Base, Base, e.min, e.max);
        base.push_back(e);
    }
    // Each level up gains the blocks whose Fan children are now complete; a level that reaches
    // Fan blocks gets a level above it, as a build over all rows would have.
    for (size_t level = 0; levels_[level].size() >= Fan; ++level) {
        if (level + 1 == levels_.size())
            levels_.emplace_back();
        const std::vector<Extremes> &below = levels_[level];
        std::vector<Extremes> &up = levels_[level + 1];
        for (size_t b = up.size(); b < below.size() / Fan; ++b) {
            Extremes e{Inf, -Inf};
            for (size_t k = 0; k < Fan; ++k) {
                e.min = std::min(e.min, below[b * Fan + k].min);
                e.max = std::max(e.max, below[b * Fan + k].max);
            }
            up.push_back(e);
        }
    }
}

void MinMaxPyramid::range(const double *values, size_t from, size_t to, double &min, double &max) const
{
    min = Inf;
    max = -Inf;
    to = std::min(to, rows_);
    if (from >= to)
        return;
    const size_t firstBlock = (from + Base - 1) / Base, endBlock = to / Base;
    if (levels_.empty() || endBlock <= firstBlock + 1) {
        scan(values + from, to - from, min, max);
        return;
    }
    scan(values + from, firstBlock * Base - from, min, max);
    scan(values + endBlock * Base, to - endBlock * Base, min, max);
    levelRange(0, firstBlock, endBlock, min, max);
}

void MinMaxPyramid::levelRange(size_t level, size_t from, size_t to, double &min, double &max) const
{
    const std::vector<Extremes> &blocks = levels_[level];
    const auto take = [&](size_t a, size_t b) {
#if defined(__SSE2__)
        // A block's (min, max) pair as one register: both extremes in one step.
        __m128d lo = _mm_set1_pd(Inf), hi = _mm_set1_pd(-Inf);
        for (size_t i = a; i < b; ++i) {
            const __m128d e = _mm_loadu_pd(&blocks[i].min);
            lo = _mm_min_pd(e, lo);
            hi = _mm_max_pd(e, hi);
        }
        alignas(16) double l[2], h[2];
        _mm_store_pd(l, lo);
        _mm_store_pd(h, hi);
        min = std::min(min, l[0]);
        max = std::max(max, h[1]);
#else
        for (size_t i = a; i < b; ++i) {
            min = std::min(min, blocks[i].min);
            max = std::max(max, blocks[i].max);
        }
#endif
    };
    const size_t upFrom = (from + Fan - 1) / Fan, upTo = to / Fan;
    if (level + 1 >= levels_.size() || upTo <= upFrom + 1) {
        take(from, to);
        return;
    }
    take(from, upFrom * Fan);
    take(upTo * Fan, to);
    levelRange(level + 1, upFrom, upTo, min, max);
}

void MinMaxPyramid::prefetch(const double *values, size_t from, size_t to) const
{
#if defined(__GNUC__)
    to = std::min(to, rows_);
    if (from >= to)
        return;
    const auto lines = [](const void *p, size_t bytes) {
        const char *c = static_cast<const char *>(p);
        for (size_t k = 0; k < bytes; k += 64)
            __builtin_prefetch(c + k);
        __builtin_prefetch(c + bytes - 1);
    };
    const size_t edge = std::min(to - from, Base);
    lines(values + from, edge * sizeof(double));
    lines(values + to - edge, edge * sizeof(double));
    size_t a = from / Base, b = (to - 1) / Base;
    for (size_t level = 0; level < levels_.size() && level < 3 && a < levels_[level].size(); ++level) {
        const std::vector<Extremes> &blocks = levels_[level];
        lines(&blocks[a], std::min(Fan, blocks.size() - a) * sizeof(Extremes));
        if (b < blocks.size())
            lines(&blocks[b - std::min(b, Fan - 1)], Fan * sizeof(Extremes));
        a /= Fan;
        b /= Fan;
    }
#else
    (void)values;
    (void)from;
    (void)to;
#endif
}
