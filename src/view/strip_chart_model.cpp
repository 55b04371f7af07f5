#include "view/strip_chart_model.h"
#include <algorithm>
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
    changed(false);
}

void StripChartModel::RemoveAllChannels()
{
    values_.clear();
    names_.clear();
    colours_.clear();
    changed(false);
}

int StripChartModel::AddChannel(const QString &name, quint32 colour)
{
    if (channelCount() >= MaxChannels)
        throw std::out_of_range("The chart holds at most 8 channels.");
    values_.emplace_back(times_.size(), 0.0);
    names_ << name;
    colours_.push_back(colour);
    changed(false);
    return channelCount() - 1;
}

void StripChartModel::setChannelColour(int ch, quint32 colour)
{
    colours_.at(ch) = colour;
    changed(false);
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
    changed(false);
    return int(times_.size()) - 1;
}

void StripChartModel::SetValue(int channel, int row, double value)
{
    values_.at(channel).at(row) = value;
    changed(false);
}

double StripChartModel::GetTime(int row) const
{
    return times_.at(row);
}

double StripChartModel::GetValue(int channel, int row) const
{
    return values_.at(channel).at(row);
}

void StripChartModel::reserveRows(qsizetype rows)
{
    times_.reserve(times_.size() + rows);
    for (auto &col : values_)
        col.reserve(col.size() + rows);
}

void StripChartModel::appendRecords(const double *records, qsizetype count)
{
    const int channels = channelCount();
    const int stride = channels + 1;
    const size_t base = times_.size();
    times_.resize(base + count);
    for (auto &col : values_)
        col.resize(base + count);
    double *t = times_.data() + base;
    bool ascending = timesAscending_;
    double previous = base > 0 ? times_[base - 1] : -INFINITY;
    for (qsizetype r = 0; r < count; ++r) {
        const double time = records[r * stride];
        ascending = ascending && time >= previous;
        previous = time;
        t[r] = time;
    }
    timesAscending_ = ascending;
    for (int ch = 0; ch < channels; ++ch) {
        double *v = values_[ch].data() + base;
        const double *src = records + 1 + ch;
        for (qsizetype r = 0; r < count; ++r)
            v[r] = src[r * stride];
    }
    changed(false);
}

double StripChartModel::channelMax(int channel) const
{
    const auto &col = values_.at(channel);
    if (col.empty())
        return 0;
    double best = col.front();
    for (double v : col)
        best = std::max(best, v);
    return best;
}

double StripChartModel::channelMin(int channel) const
{
    const auto &col = values_.at(channel);
    if (col.empty())
        return 0;
    double best = col.front();
    for (double v : col)
        best = std::min(best, v);
    return best;
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

void StripChartModel::changed(bool viewChange)
{
    if (viewChange)
        emit viewChanged();
    if (updateDepth_ == 0)
        emit redrawRequested();
}
