#pragma once
#include "data/data_loader.h"
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <vector>

class DataSet;
class StripChartModel;
class QFileSystemWatcher;

// Reads on in a recording that its logger is still writing: the whole records appended since
// the last read join the chart's rows, through the descriptor the load opened. A record
// written in part waits for its rest. A file that got shorter, or was replaced by another
// file under its name, ends the following; every row read so far stays.
class FileFollower : public QObject {
    Q_OBJECT
public:
    // Watchers miss writes on some file systems (network shares, some containers): the file
    // is also looked at this often.
    static constexpr int PollMs = 500;
    // A burst of change notices (a logger writing a record in pieces) becomes one read.
    static constexpr int SettleMs = 15;

    FileFollower(StripChartModel &chart, DataSet &data);
    ~FileFollower() override;

    // Starts following `path` from where the load stopped; false when the load left no file open.
    bool start(const QString &path, const DataLoader::OpenRecording &recording);
    void stop();
    bool following() const { return recording_.file != nullptr; }
    QString path() const { return path_; }

    // Change notices from the file system; tests turn them off to see the poll do the work.
    bool useWatcher = true;

    // Reads whatever whole records have arrived. Called by the watcher and the poll.
    void check();

signals:
    // Rows firstRow .. firstRow + count - 1 were added to the chart (not yet redrawn).
    void rowsAppended(int firstRow, int count);
    // The file got shorter or another file took its name; following has stopped.
    void cutShortOrReplaced();

private:
    enum class FileState { Same, Changed };
    FileState identity(qint64 &size) const;
    void readRecords(qint64 records);
    void scheduleCheck();

    StripChartModel &chart_;
    DataSet &data_;
    DataLoader::OpenRecording recording_;
    QString path_;
    std::unique_ptr<QFileSystemWatcher> watcher_;
    QTimer poll_, settle_;
    std::vector<double> buffer_;
    bool checking_ = false;
};
