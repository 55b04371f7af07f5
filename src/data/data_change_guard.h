#pragma once
#include "data/data_set.h"
#include "view/strip_chart_model.h"
#include <stdexcept>

// Long work pumps the event loop, where another command may load a different file. Work that
// walks the rows checks after each pump that it still sees the data it started on (and fetches
// the chart's columns afresh, since a reload rebuilds them).
class DataChangeGuard {
public:
    DataChangeGuard(const DataSet &data, const StripChartModel &chart)
        : data_(data), chart_(chart), rows_(chart.rowCount()), channels_(chart.channelCount()),
          file_(data.LoadedFileName) {}

    bool unchanged() const
    {
        return data_.DataReady && chart_.rowCount() == rows_ && chart_.channelCount() == channels_
               && data_.LoadedFileName == file_;
    }
    void check() const
    {
        if (!unchanged())
            throw std::runtime_error("The data changed while it was in use.");
    }

private:
    const DataSet &data_;
    const StripChartModel &chart_;
    int rows_, channels_;
    QString file_;
};
