#include "live/file_follower.h"
#include "data/data_set.h"
#include "view/strip_chart_model.h"
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QtEndian>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
// One read takes at most this many records; a big backlog is read in turns of this size, so
// the memory of a read stays small whatever the logger wrote meanwhile.
constexpr qint64 RecordsPerRead = 65536;
}

FileFollower::FileFollower(StripChartModel &chart, DataSet &data) : chart_(chart), data_(data)
{
    poll_.setInterval(PollMs);
    settle_.setSingleShot(true);
    settle_.setInterval(SettleMs);
    QObject::connect(&poll_, &QTimer::timeout, this, [this] { check(); });
    QObject::connect(&settle_, &QTimer::timeout, this, [this] { check(); });
}

FileFollower::~FileFollower() = default;

bool FileFollower::start(const QString &path, const DataLoader::OpenRecording &recording)
{
    stop();
    if (!recording.file || !recording.file->isOpen() || recording.recordBytes <= 0)
        return false;
    recording_ = recording;
    path_ = path;
    if (useWatcher) {
        watcher_ = std::make_unique<QFileSystemWatcher>(QStringList{path});
        QObject::connect(watcher_.get(), &QFileSystemWatcher::fileChanged, this, [this] { scheduleCheck(); });
    }
    poll_.start();
    return true;
}

void FileFollower::stop()
{
    poll_.stop();
    settle_.stop();
    watcher_.reset();
    recording_ = {};
    buffer_ = {};
}

void FileFollower::scheduleCheck()
{
    if (!settle_.isActive())
        settle_.start();
}

FileFollower::FileState FileFollower::identity(qint64 &size) const
{
#ifdef Q_OS_UNIX
    struct stat held {}, named {};
    if (::fstat(recording_.file->handle(), &held) != 0 || ::stat(QFile::encodeName(path_).constData(), &named) != 0)
        return FileState::Changed;
    if (held.st_ino != named.st_ino || held.st_dev != named.st_dev)
        return FileState::Changed;
    size = held.st_size;
#else
    // Without inode numbers the name must still lead to a file at least as long as what was read.
    const QFileInfo named(path_);
    if (!named.exists())
        return FileState::Changed;
    size = qMin(recording_.file->size(), named.size());
#endif
    return size < recording_.nextRecord ? FileState::Changed : FileState::Same;
}

void FileFollower::check()
{
    // Whatever runs while rows are announced (a spoken alarm pumps) must not start a second read.
    if (!following() || checking_)
        return;
    checking_ = true;
    qint64 size = 0;
    if (identity(size) == FileState::Changed) {
        checking_ = false;
        stop();
        emit cutShortOrReplaced();
        return;
    }
    const qint64 whole = (size - recording_.nextRecord) / recording_.recordBytes;
    if (whole > 0)
        readRecords(whole);
    checking_ = false;
}

void FileFollower::readRecords(qint64 records)
{
    const int fields = recording_.recordBytes / 8;
    for (qint64 done = 0; done < records && following();) {
        const qint64 n = qMin(RecordsPerRead, records - done);
        buffer_.resize(size_t(n * fields));
        const qint64 bytes = n * recording_.recordBytes;
        char *into = reinterpret_cast<char *>(buffer_.data());
        qint64 got = 0;
#ifdef Q_OS_UNIX
        // By position: the one descriptor is shared with nothing that moves it.
        while (got < bytes) {
            const ssize_t r = ::pread(recording_.file->handle(), into + got, size_t(bytes - got),
                                      off_t(recording_.nextRecord + got));
            if (r <= 0)
                break;
            got += r;
        }
#else
        if (recording_.file->seek(recording_.nextRecord))
            got = recording_.file->read(into, bytes);
#endif
        if (got < bytes) {   // cut short between the size and the read
            stop();
            emit cutShortOrReplaced();
            return;
        }
        if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN)
            qFromLittleEndian<double>(buffer_.data(), n * fields, buffer_.data());
        const int firstRow = chart_.rowCount();
        chart_.appendRecords(buffer_.data(), n, false);
        recording_.nextRecord += bytes;
        done += n;
        data_.LastIndex = chart_.rowCount() - 1;
        data_.header.EndTime = chart_.GetTime(data_.LastIndex);
        data_.CalcAvgRate(chart_);
        emit rowsAppended(firstRow, int(n));
    }
}
