#include "voice/view_description.h"
#include "data/data_set.h"
#include "view/landmarks.h"
#include "view/strip_chart_model.h"
#include "voice/number_forms.h"
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int Slices = 240;
constexpr int MaxStretches = 5;
// Landmarks looked at for spikes before the view counts as too busy to count them.
constexpr int SpikeLookLimit = 2000;

enum class Trend { Flat, Rising, Falling };

struct Stretch {
    int from, to;   // slices; a stretch ends where the next one starts
    Trend trend;
};

class Describer {
public:
    Describer(const StripChartModel &chart, int channel, ViewRows rows, int digits)
        : chart_(chart), channel_(channel), rows_(rows), digits_(digits),
          values_(chart.column(channel).data()),
          finder_(values_, chart.summary(channel), size_t(rows.first), size_t(rows.last))
    {
    }

    QString sentence()
    {
        const QString who = QStringLiteral("Channel %1 ").arg(channel_ + 1);
        if (!finder_.hasValues())
            return who + QStringLiteral("has no values in this view.");
        if (rows_.count() == 1)
            return who + QStringLiteral("has one sample in this view, ") + number(values_[rows_.first]) + QStringLiteral(" at ") +
                   time(rows_.first) + u'.';
        range_ = finder_.max() - finder_.min();
        slice();
        const std::vector<Stretch> stretches = simplify();
        bool busy = false;
        const int spikes = finder_.countSpikes(SpikeLookLimit, busy);
        const QString count = busy ? QStringLiteral("many spikes")
                                   : QStringLiteral("%1 spike%2").arg(spikes).arg(spikes == 1 ? "" : "s");
        if (stretches.size() == 1 && stretches[0].trend == Trend::Flat) {
            const QString text = who + QStringLiteral("is flat at about ") + number(typical(stretches[0]));
            return text + (spikes > 0 || busy ? QStringLiteral(", with ") + count + u'.' : QStringLiteral("."));
        }
        QString text = who;
        for (size_t i = 0; i < stretches.size(); ++i) {
            if (i > 0)
                text += QStringLiteral(", then ");
            text += phrase(stretches, i);
        }
        text += u'.';
        if (spikes > 0 || busy)
            text += u' ' + count.left(1).toUpper() + count.mid(1) + u'.';
        return text;
    }

private:
    QString number(double v) const { return NumberForms::signPadded(NumberForms::roundedToDigits(v, digits_)); }
    QString time(int row) const { return NumberForms::hhnnss(chart_.GetTime(row)); }
    int sliceStart(int k) const { return rows_.first + int(qint64(rows_.count()) * k / slices_); }
    int sliceMiddle(int k) const { return rows_.first + int(qint64(rows_.count()) * (2 * k + 1) / (2 * slices_)); }

    // Each slice by the middle of its extremes, then the median of up to five neighbours, so that a
    // spike in one slice leaves no mark on the shape.
    void slice()
    {
        slices_ = std::min(rows_.count(), Slices);
        std::vector<double> mid(size_t(slices_), NAN);
        for (int k = 0; k < slices_; ++k) {
            double min = 0, max = 0;
            chart_.summary(channel_).range(values_, size_t(sliceStart(k)), size_t(sliceStart(k + 1)), min, max);
            if (min <= max)
                mid[size_t(k)] = (min + max) / 2;
        }
        // A slice with no value takes its neighbour's.
        for (int k = 1; k < slices_; ++k)
            if (std::isnan(mid[size_t(k)]))
                mid[size_t(k)] = mid[size_t(k) - 1];
        for (int k = slices_ - 2; k >= 0; --k)
            if (std::isnan(mid[size_t(k)]))
                mid[size_t(k)] = mid[size_t(k) + 1];
        level_.resize(size_t(slices_));
        for (int k = 0; k < slices_; ++k) {
            // Narrower at the ends, and always centred, so a straight rise keeps its ends.
            const int half = std::min({2, k, slices_ - 1 - k});
            std::vector<double> near(mid.begin() + (k - half), mid.begin() + (k + half + 1));
            std::nth_element(near.begin(), near.begin() + near.size() / 2, near.end());
            level_[size_t(k)] = near[near.size() / 2];
        }
    }

    // Splits at the slice farthest from the straight line between the ends while it lies
    // more than `tolerance` off it.
    void split(int a, int b, double tolerance, std::vector<int> &cuts) const
    {
        int worst = -1;
        double farthest = tolerance;
        for (int m = a + 1; m < b; ++m) {
            const double line = level_[size_t(a)] + (level_[size_t(b)] - level_[size_t(a)]) * (m - a) / (b - a);
            if (const double off = std::fabs(level_[size_t(m)] - line); off > farthest) {
                farthest = off;
                worst = m;
            }
        }
        if (worst < 0)
            return;
        split(a, worst, tolerance, cuts);
        cuts.push_back(worst);
        split(worst, b, tolerance, cuts);
    }

    std::vector<Stretch> simplify() const
    {
        const double flat = range_ / 5;
        for (double tolerance = range_ / 10;; tolerance *= 1.5) {
            std::vector<int> cuts{0};
            split(0, slices_ - 1, tolerance, cuts);
            cuts.push_back(slices_ - 1);
            std::vector<Stretch> out;
            for (size_t i = 0; i + 1 < cuts.size(); ++i) {
                const double change = level_[size_t(cuts[i + 1])] - level_[size_t(cuts[i])];
                const Trend trend = !(std::fabs(change) >= flat) || !(flat > 0) ? Trend::Flat : change > 0 ? Trend::Rising : Trend::Falling;
                if (!out.empty() && out.back().trend == trend)
                    out.back().to = cuts[i + 1];
                else
                    out.push_back({cuts[i], cuts[i + 1], trend});
            }
            joinRoundedTurns(out);
            if (int(out.size()) <= MaxStretches || !(tolerance < range_))
                return out;
        }
    }

    // A rounded top between a rise and a fall is no stretch of its own: the rise goes on to its
    // highest slice and the fall starts there (the same upside down for a rounded bottom).
    void joinRoundedTurns(std::vector<Stretch> &stretches) const
    {
        for (size_t i = 1; i + 1 < stretches.size(); ++i) {
            const Stretch &top = stretches[i];
            const Trend before = stretches[i - 1].trend, after = stretches[i + 1].trend;
            if (top.trend != Trend::Flat || before == Trend::Flat || after == Trend::Flat || before == after ||
                (top.to - top.from) * 8 > slices_)
                continue;
            int turn = top.from;
            for (int k = top.from; k <= top.to; ++k)
                if (before == Trend::Rising ? level_[size_t(k)] > level_[size_t(turn)] : level_[size_t(k)] < level_[size_t(turn)])
                    turn = k;
            stretches[i - 1].to = turn;
            stretches[i + 1].from = turn;
            stretches.erase(stretches.begin() + long(i));
        }
    }

    double typical(const Stretch &s) const
    {
        std::vector<double> v(level_.begin() + s.from, level_.begin() + s.to + 1);
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v[v.size() / 2];
    }

    // Where stretch i ends: at the view's last sample, at the top or bottom where the way turns,
    // or at the slice where the stretch ends.
    QString ending(const std::vector<Stretch> &all, size_t i) const
    {
        const Stretch &s = all[i];
        if (i + 1 == all.size())
            return number(level_[size_t(s.to)]) + QStringLiteral(" at ") + time(rows_.last);
        const Trend after = all[i + 1].trend;
        const bool turnsDown = s.trend == Trend::Rising && after == Trend::Falling;
        const bool turnsUp = s.trend == Trend::Falling && after == Trend::Rising;
        if (turnsDown || turnsUp) {
            const int from = sliceStart(std::max(0, s.to - 2)), to = sliceStart(std::min(slices_, s.to + 3)) - 1;
            const LandmarkFinder near(values_, chart_.summary(channel_), size_t(from), size_t(to));
            if (const auto row = near.extreme(turnsDown); row && !finder_.isSpike(*row, turnsUp)) {
                const QString value = number(values_[*row]) + QStringLiteral(" at ") + time(int(*row));
                if (finder_.isLandmark(*row, turnsUp))
                    return (turnsDown ? QStringLiteral("a peak of ") : QStringLiteral("a valley of ")) + value;
                return value;
            }
        }
        return number(level_[size_t(s.to)]) + QStringLiteral(" at ") + time(sliceMiddle(s.to));
    }

    QString phrase(const std::vector<Stretch> &all, size_t i) const
    {
        const Stretch &s = all[i];
        const bool first = i == 0;
        const QString start = number(level_[size_t(s.from)]) + QStringLiteral(" at ") + time(rows_.first);
        switch (s.trend) {
        case Trend::Rising:
            return first ? QStringLiteral("rises from ") + start + QStringLiteral(" to ") + ending(all, i)
                         : QStringLiteral("rises to ") + ending(all, i);
        case Trend::Falling:
            return first ? QStringLiteral("falls from ") + start + QStringLiteral(" to ") + ending(all, i)
                         : QStringLiteral("falls to ") + ending(all, i);
        case Trend::Flat:
            break;
        }
        const QString until = i + 1 == all.size() ? time(rows_.last) : time(sliceMiddle(s.to));
        return (first ? QStringLiteral("is flat at about ") : QStringLiteral("stays at about ")) + number(typical(s)) +
               (first ? QStringLiteral(" from ") + time(rows_.first) + QStringLiteral(" to ") : QStringLiteral(" until ")) + until;
    }

    const StripChartModel &chart_;
    int channel_;
    ViewRows rows_;
    int digits_;
    const double *values_;
    LandmarkFinder finder_;
    double range_ = 0;
    int slices_ = 0;
    std::vector<double> level_;
};

} // namespace

QString describeView(const StripChartModel &chart, const DataSet &data, ViewWindow &view, int digits)
{
    if (!data.DataReady)
        return QStringLiteral("No file loaded.");
    const int channel = chart.CursorChannel();
    if (channel < 0 || channel >= chart.channelCount())
        return QStringLiteral("No file loaded.");
    const ViewRows rows = viewRows(chart, data, view);
    if (rows.empty())
        return QStringLiteral("Channel %1 has no values in this view.").arg(channel + 1);
    return Describer(chart, channel, rows, digits).sentence();
}
