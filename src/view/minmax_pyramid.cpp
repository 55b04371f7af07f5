#include "view/minmax_pyramid.h"
#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double Inf = std::numeric_limits<double>::infinity();
}

void MinMaxPyramid::scan(const double *v, size_t n, double &min, double &max)
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
        for (size_t i = a; i < b; ++i) {
            min = std::min(min, blocks[i].min);
            max = std::max(max, blocks[i].max);
        }
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
