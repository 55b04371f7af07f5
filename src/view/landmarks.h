#pragma once
#include "view/minmax_pyramid.h"
#include <cstddef>
#include <optional>

class StripChartModel;
class DataSet;
class ViewWindow;

// What the cursor can jump to; each kind has its own short sound.
enum class Landmark { Peak, Valley, Maximum, Minimum, ViewEdge };

// The rows of the view: from the first sample at or after the left edge to the last one at or
// before the right edge, inside the loaded rows. Empty when no loaded sample is in the view.
struct ViewRows {
    int first = 0, last = -1;
    bool empty() const { return last < first; }
    int count() const { return last - first + 1; }
};
ViewRows viewRows(const StripChartModel &chart, const DataSet &data, ViewWindow &view);

// Peaks, valleys and extremes of one channel over the view's rows [first, last], found through
// the channel's min/max summary so that a view of millions of rows answers at once.
//
// A peak is a sample whose prominence is at least a quarter of the view's value range: its
// height above the higher of the two lowest points that part it from higher ground on either
// side, looking no further than the view. Of equal neighbours on a flat top only the first is
// the peak; a sample at the view's edge is never one. Valleys are the same upside down. The
// cursor's jumps pass over spikes (see isSpike), which are counted apart.
// Values that are not finite are left out of everything.
class LandmarkFinder {
public:
    LandmarkFinder(const double *values, const MinMaxPyramid &summary, size_t first, size_t last);

    bool hasValues() const { return min_ <= max_; }
    double min() const { return min_; }
    double max() const { return max_; }
    // The prominence a peak or valley needs.
    double threshold() const { return (max_ - min_) / 4; }

    // The first row holding the view's largest (or smallest) value.
    std::optional<size_t> extreme(bool largest) const;
    // The nearest peak (or valley) after `row` (direction > 0) or before it (direction < 0);
    // `row` may lie outside the view. Spikes are passed over unless `spikesToo`: a burst of
    // interference is not what the user looks for.
    std::optional<size_t> next(long long row, int direction, bool valley, bool spikesToo = false) const;
    bool isLandmark(size_t row, bool valley) const;

    // A spike: a run of at most five samples, holding `row`, whose every value stands out by
    // more than the threshold beyond each of up to five samples on both sides of it.
    bool isSpike(size_t row, bool valley) const;
    static constexpr int SpikeRun = 5;
    // Spikes up and down in the view; stops counting once `limit` landmarks were looked at
    // and then sets `gaveUp`.
    int countSpikes(int limit, bool &gaveUp) const;

private:
    // Values and block extremes seen upside down for valleys, so one search serves both.
    double at(size_t row, bool valley) const { return valley ? -values_[row] : values_[row]; }
    double lowest(size_t from, size_t to, bool valley) const;
    double highest(size_t from, size_t to, bool valley) const;
    size_t firstAtLeast(size_t from, size_t to, double level, bool valley, bool strict, bool forward) const;

    const double *values_;
    const MinMaxPyramid &summary_;
    size_t first_, last_;
    double min_ = 0, max_ = 0;
};
