#include "view/landmarks.h"
#include "data/data_set.h"
#include "view/strip_chart_model.h"
#include "view/view_window.h"
#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double Inf = std::numeric_limits<double>::infinity();

bool isFinite(double v)
{
    return v > -Inf && v < Inf;
}

// A block's extremes as a search sees them: turned upside down for valleys.
void orient(double &min, double &max, bool valley)
{
    if (valley) {
        const double low = -max;
        max = -min;
        min = low;
    }
}

// Finds a value at or above a level (or strictly above it).
struct AtLeast {
    double level;
    bool valley, strict;
    bool skip(double min, double max) const
    {
        orient(min, max, valley);
        return strict ? !(max > level) : !(max >= level);
    }
    bool hit(double v) const
    {
        if (!isFinite(v))
            return false;
        v = valley ? -v : v;
        return strict ? v > level : v >= level;
    }
};

// Finds the first value that lies `drop` or more below the highest one walked before it.
struct Drop {
    double drop;
    bool valley;
    double high = -Inf;
    bool skip(double min, double max)
    {
        if (min > max)
            return true;
        orient(min, max, valley);
        const double top = std::max(high, max);
        if (min > top - drop) {
            high = top;
            return true;
        }
        return false;
    }
    bool hit(double v)
    {
        if (!isFinite(v))
            return false;
        v = valley ? -v : v;
        if (v <= high - drop)
            return true;
        high = std::max(high, v);
        return false;
    }
};
} // namespace

ViewRows viewRows(const StripChartModel &chart, const DataSet &data, ViewWindow &view)
{
    ViewRows rows;
    const int lastLoaded = std::min(data.LastIndex, chart.rowCount() - 1);
    if (lastLoaded < 0)
        return rows;
    view.FindXaxisMinIndex();
    view.FindXaxisMaxIndex();
    rows.first = view.ViewStartIndex;
    rows.last = std::min(view.ViewStopIndex, lastLoaded);
    // The row found at the right edge may lie past it.
    if (rows.last >= rows.first && chart.GetTime(rows.last) > chart.XAxisMax())
        --rows.last;
    return rows;
}

LandmarkFinder::LandmarkFinder(const double *values, const MinMaxPyramid &summary, size_t first, size_t last)
    : values_(values), summary_(summary), first_(first), last_(last)
{
    summary_.range(values_, first_, last_ + 1, min_, max_);
}

double LandmarkFinder::lowest(size_t from, size_t to, bool valley) const
{
    double min = Inf, max = -Inf;
    summary_.range(values_, from, to, min, max);
    return valley ? -max : min;
}

double LandmarkFinder::highest(size_t from, size_t to, bool valley) const
{
    return -lowest(from, to, !valley);
}

size_t LandmarkFinder::firstAtLeast(size_t from, size_t to, double level, bool valley, bool strict, bool forward) const
{
    AtLeast search{level, valley, strict};
    return summary_.walk(values_, from, to, forward, search);
}

std::optional<size_t> LandmarkFinder::extreme(bool largest) const
{
    if (!hasValues())
        return std::nullopt;
    const size_t row = firstAtLeast(first_, last_ + 1, largest ? max_ : -min_, !largest, false, true);
    return row == MinMaxPyramid::npos ? std::nullopt : std::optional<size_t>(row);
}

bool LandmarkFinder::isLandmark(size_t row, bool valley) const
{
    const double need = threshold();
    if (row < first_ || row > last_ || !(need > 0) || !isFinite(values_[row]))
        return false;
    const double h = at(row, valley);
    // Higher ground on the left may be as high; on the right it must be higher, so a flat
    // top counts once, at its first sample.
    const size_t left = firstAtLeast(first_, row, h, valley, false, false);
    const size_t from = left == MinMaxPyramid::npos ? first_ : left + 1;
    if (h - lowest(from, row + 1, valley) < need)
        return false;
    const size_t right = firstAtLeast(row + 1, last_ + 1, h, valley, true, true);
    const size_t to = right == MinMaxPyramid::npos ? last_ + 1 : right;
    return h - lowest(row, to, valley) >= need;
}

std::optional<size_t> LandmarkFinder::next(long long row, int direction, bool valley, bool spikesToo) const
{
    const double need = threshold();
    if (!hasValues() || !(need > 0))
        return std::nullopt;
    const long long first = (long long)first_, last = (long long)last_;
    // Walking away from `row`, only the highest sample before the first drop by the threshold
    // can be the nearest peak; when it is not one, the search goes on from that drop.
    if (direction > 0) {
        for (long long s = std::max(row + 1, first); s <= last;) {
            Drop drop{need, valley};
            const size_t t = summary_.walk(values_, size_t(s), last_ + 1, true, drop);
            if (t == MinMaxPyramid::npos)
                return std::nullopt;
            const size_t top = firstAtLeast(size_t(s), t, drop.high, valley, false, true);
            if (top != MinMaxPyramid::npos && isLandmark(top, valley) && (spikesToo || !isSpike(top, valley)))
                return top;
            s = (long long)t;
        }
    } else {
        for (long long s = std::min(row - 1, last); s >= first;) {
            Drop drop{need, valley};
            const size_t t = summary_.walk(values_, first_, size_t(s) + 1, false, drop);
            if (t == MinMaxPyramid::npos)
                return std::nullopt;
            const size_t top = firstAtLeast(t + 1, size_t(s) + 1, drop.high, valley, false, true);
            if (top != MinMaxPyramid::npos && isLandmark(top, valley) && (spikesToo || !isSpike(top, valley)))
                return top;
            s = (long long)t;
        }
    }
    return std::nullopt;
}

bool LandmarkFinder::isSpike(size_t row, bool valley) const
{
    const double need = threshold();
    if (row <= first_ || row >= last_ || !(need > 0) || !isFinite(values_[row]))
        return false;
    // Every run of up to five samples that holds the row and has a neighbour on each side.
    for (size_t a = row >= first_ + SpikeRun ? row - SpikeRun + 1 : first_ + 1; a <= row; ++a) {
        for (size_t b = row; b < a + SpikeRun && b < last_; ++b) {
            const size_t from = std::max(first_, a >= size_t(SpikeRun) ? a - SpikeRun : 0);
            const size_t to = std::min(last_, b + SpikeRun);
            const double around = std::max(highest(from, a, valley), highest(b + 1, to + 1, valley));
            if (lowest(a, b + 1, valley) - around > need)
                return true;
        }
    }
    return false;
}

int LandmarkFinder::countSpikes(int limit, bool &gaveUp) const
{
    gaveUp = false;
    int spikes = 0, looked = 0;
    for (const bool valley : {false, true}) {
        for (auto at = next((long long)first_ - 1, 1, valley, true); at; at = next((long long)*at, 1, valley, true)) {
            if (++looked > limit) {
                gaveUp = true;
                return spikes;
            }
            spikes += isSpike(*at, valley) ? 1 : 0;
        }
    }
    return spikes;
}
