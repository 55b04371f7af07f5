#include "view/strip_chart_model.h"
#include <algorithm>
#include <iterator>
#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif
#include <cmath>
#include <stdexcept>

void StripChartModel::ClearData()
{
    times_.clear();
    times_.shrink_to_fit();
    for (auto &col : values_) {
        col.clear();
        col.shrink_to_fit();
    }
    timesAscending_ = true;
    cursorRow_ = 0;
    dataChanged();
}

void StripChartModel::RemoveAllChannels()
{
    values_.clear();
    names_.clear();
    colours_.clear();
    dataChanged();
}

int StripChartModel::AddChannel(const QString &name, quint32 colour)
{
    if (channelCount() >= MaxChannels)
        throw std::out_of_range("The chart holds at most 8 channels.");
    values_.emplace_back(times_.size(), 0.0);
    names_ << name;
    colours_.push_back(colour);
    dataChanged();
    return channelCount() - 1;
}

void StripChartModel::setChannelColour(int ch, quint32 colour)
{
    colours_.at(ch) = colour;
    dataChanged();
}

void StripChartModel::EndUpdate()
{
    if (updateDepth_ > 0)
        --updateDepth_;
    emit redrawRequested();
}

void StripChartModel::noteTime(double time)
{
    if (!times_.empty() && !(time >= times_.back()))
        timesAscending_ = false;
}

int StripChartModel::AddRow(double time)
{
    noteTime(time);
    times_.push_back(time);
    for (auto &col : values_)
        col.push_back(0.0);
    dataChanged();
    return int(times_.size()) - 1;
}

void StripChartModel::SetValue(int channel, int row, double value)
{
    values_.at(channel).at(row) = value;
    dataChanged();
}

double StripChartModel::GetTime(int row) const
{
    return times_.at(row);
}

double StripChartModel::GetValue(int channel, int row) const
{
    return values_.at(channel).at(row);
}

namespace {

// Walks one field of interleaved records, so a column can be appended straight from the
// file's block without first filling it with zeros.
struct StridedIt {
    using iterator_category = std::random_access_iterator_tag;
    using value_type = double;
    using difference_type = std::ptrdiff_t;
    using pointer = const double *;
    using reference = const double &;

    const double *base = nullptr;
    std::ptrdiff_t stride = 1;
    std::ptrdiff_t index = 0;

    reference operator*() const { return base[index * stride]; }
    StridedIt &operator++()
    {
        ++index;
        return *this;
    }
    StridedIt operator++(int)
    {
        StridedIt old = *this;
        ++index;
        return old;
    }
    bool operator==(const StridedIt &o) const { return index == o.index; }
    // Random access only so that the vector sizes its insert without walking it first.
    difference_type operator-(const StridedIt &o) const { return index - o.index; }
    StridedIt &operator--()
    {
        --index;
        return *this;
    }
    StridedIt &operator+=(difference_type n)
    {
        index += n;
        return *this;
    }
    StridedIt operator+(difference_type n) const { return {base, stride, index + n}; }
    reference operator[](difference_type n) const { return base[(index + n) * stride]; }
    auto operator<=>(const StridedIt &o) const { return index <=> o.index; }
};

} // namespace

void StripChartModel::reserveColumn(SampleColumn &column, size_t rows)
{
    column.reserve(column.size() + rows);
#ifdef Q_OS_LINUX
    // Huge pages cut the page faults of filling a column of millions of rows by far.
    constexpr uintptr_t Huge = 2u << 20;
    const auto begin = (reinterpret_cast<uintptr_t>(column.data()) + Huge - 1) & ~(Huge - 1);
    const auto end = (reinterpret_cast<uintptr_t>(column.data() + column.capacity())) & ~(Huge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

void StripChartModel::reserveRows(qsizetype rows)
{
    reserveColumn(times_, size_t(rows));
    for (auto &col : values_)
        reserveColumn(col, size_t(rows));
}

void StripChartModel::appendRecords(const double *records, qsizetype count, bool redraw)
{
    const int channels = channelCount();
    const std::ptrdiff_t stride = channels + 1;
    const size_t base = times_.size();
    // Summaries that were up to date before these rows stay so once the rows are added.
    std::vector<bool> current(summaries_.size() == values_.size() ? values_.size() : 0);
    for (size_t ch = 0; ch < current.size(); ++ch)
        current[ch] = summaryRevisions_[ch] == dataRevision_;
    for (int field = 0; field <= channels; ++field) {
        SampleColumn &column = field == 0 ? times_ : values_[field - 1];
        if (column.capacity() - column.size() < size_t(count))
            reserveColumn(column, std::max(size_t(count), std::max<size_t>(column.size() / 4, 4096)));
        column.insert(column.end(), StridedIt{records + field, stride, 0}, StridedIt{records + field, stride, count});
    }

    bool ascending = timesAscending_;
    double previous = base > 0 ? times_[base - 1] : -INFINITY;
    for (size_t r = base; ascending && r < times_.size(); ++r) {
        ascending = times_[r] >= previous;
        previous = times_[r];
    }
    timesAscending_ = ascending;
    ++dataRevision_;
    for (size_t ch = 0; ch < current.size(); ++ch) {
        if (current[ch]) {
            summaries_[ch].extend(values_[ch].data(), values_[ch].size());
            summaryRevisions_[ch] = dataRevision_;
        }
    }
    if (redraw)
        changed(false);
}

void StripChartModel::adoptRows(SampleColumn times, std::vector<SampleColumn> values, bool ascending)
{
    if (int(values.size()) != channelCount())
        throw std::invalid_argument("The columns do not match the chart's channels.");
    for (const SampleColumn &col : values) {
        if (col.size() != times.size())
            throw std::invalid_argument("The columns differ in length.");
    }
    times_ = std::move(times);
    values_ = std::move(values);
    timesAscending_ = ascending;
    cursorRow_ = 0;
    dataChanged();
}

namespace {

// Four independent lanes let the compiler keep the loop busy; NaN never wins a comparison,
// so one bad sample does not make the whole channel's range unknown.
template <typename Better>
double extreme(const SampleColumn &col, double start, Better better)
{
    double lane[4] = {start, start, start, start};
    const size_t n = col.size();
    size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        for (int k = 0; k < 4; ++k)
            lane[k] = better(col[i + k], lane[k]) ? col[i + k] : lane[k];
    }
    for (; i < n; ++i)
        lane[0] = better(col[i], lane[0]) ? col[i] : lane[0];
    double best = start;
    for (double v : lane)
        best = better(v, best) ? v : best;
    return best == start ? 0 : best;
}

} // namespace

double StripChartModel::channelMax(int channel) const
{
    return extreme(values_.at(channel), -INFINITY, [](double a, double b) { return a > b; });
}

double StripChartModel::channelMin(int channel) const
{
    return extreme(values_.at(channel), INFINITY, [](double a, double b) { return a < b; });
}

void StripChartModel::setXAxisMin(double v) { xMin_ = v; changed(true); }
void StripChartModel::setXAxisMax(double v) { xMax_ = v; changed(true); }
void StripChartModel::setYAxisMin(double v) { yMin_ = v; changed(true); }
void StripChartModel::setYAxisMax(double v) { yMax_ = v; changed(true); }
void StripChartModel::setCursorChannel(int ch) { cursorChannel_ = ch; changed(true); }
void StripChartModel::setToolBarMode(int mode) { toolBarMode_ = mode; changed(true); }

void StripChartModel::setCursorRow(int row)
{
    cursorRow_ = row;
    emit cursorChanged();
    changed(false);
}

void StripChartModel::setTitle(const QString &title) { title_ = title; changed(false); }
void StripChartModel::setTimeLabelFormat(const QString &format) { timeFormat_ = format; changed(false); }
void StripChartModel::setLegendVisible(bool on) { legendVisible_ = on; changed(false); }

void StripChartModel::setAppearance(const ChartAppearance &appearance)
{
    appearance_ = appearance;
    changed(false);
}

void StripChartModel::dataChanged()
{
    ++dataRevision_;
    changed(false);
}

void StripChartModel::changed(bool viewChange)
{
    if (viewChange)
        emit viewChanged();
    if (updateDepth_ == 0)
        emit redrawRequested();
}

const MinMaxPyramid &StripChartModel::summary(int channel) const
{
    const size_t ch = size_t(channel);
    if (summaries_.size() != values_.size()) {
        summaries_.assign(values_.size(), MinMaxPyramid());
        summaryRevisions_.assign(values_.size(), ~0ull);
    }
    if (summaryRevisions_.at(ch) != dataRevision_) {
        summaries_[ch].build(values_[ch].data(), values_[ch].size());
        summaryRevisions_[ch] = dataRevision_;
    }
    return summaries_[ch];
}
