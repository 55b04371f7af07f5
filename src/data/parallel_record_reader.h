#pragma once
#include "view/strip_chart_model.h"
#include <QString>
#include <cmath>
#include <functional>

// Records read into columns, ready for StripChartModel::adoptRows.
struct RecordColumns {
    SampleColumn times;
    std::vector<SampleColumn> values;
    bool ascending = true;   // every time stamp at or after the one before it
    double firstMax = -INFINITY;   // the first channel's largest value, NaN skipped
    bool failed = false;     // a read came up short: the columns hold only the rows before the gap
    QString error;           // why, when failed
};

// Reads `rows` records of `channels` values, starting `offset` bytes into `path`. Big runs are
// split between threads, each with its own handle on the file, de-interleaving straight into its
// share of the columns; `progress` is called on this thread about every 15 ms with the rows read
// so far, so the caller can keep its window answering.
RecordColumns readRecordColumns(const QString &path, qint64 offset, int channels, qint64 rows,
                                const std::function<void(qint64 rowsRead)> &progress);
