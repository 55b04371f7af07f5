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
    bool failed = false;     // a read failed: the columns hold only the rows before the gap
    QString error;           // why, when failed
};

// What a read that ends early says: the file got shorter after its size was taken.
inline const QString FileChangedWhileRead = QStringLiteral("The file changed while it was being read.");

// Reads `rows` records of `channels` values, starting `offset` bytes into the open file `fd`.
// Big runs are split between threads, all reading the one open file by position (never by
// name, so a file renamed over meanwhile cannot mix into the load), de-interleaving straight
// into their share of the columns; `progress` is called on this thread about every 15 ms with
// the rows read so far, so the caller can keep its window answering.
RecordColumns readRecordColumns(int fd, qint64 offset, int channels, qint64 rows,
                                const std::function<void(qint64 rowsRead)> &progress);
