#include "settings/qsettings_store.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QScopeGuard>
#include <QStandardPaths>

namespace {

// Held by a copy only while it reads and writes a small file. A lock left by a copy that died
// is taken over at once (QLockFile sees its process gone); one held longer than this is
// ignored rather than lose the user's change.
constexpr int LockWaitMs = 5000;

class FileLock {
public:
    explicit FileLock(const QString &path) : lock_(path + QLatin1String(".lock")) { lock_.tryLock(LockWaitMs); }

private:
    QLockFile lock_;
};

} // namespace

QString QSettingsStore::userFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' + ApplicationName + u'/'
           + ApplicationName + QLatin1String(".conf");
}

QSettingsStore::QSettingsStore() : QSettingsStore(userFilePath())
{
}

QSettingsStore::QSettingsStore(const QString &iniPath) : path_(iniPath), values_(TextIni::parse(fileText()))
{
}

QSettingsStore::~QSettingsStore()
{
    sync();
}

QString QSettingsStore::fileText() const
{
    // Only a regular file is read: opening a pipe would wait for a writer at the other end.
    const QFileInfo info(path_);
    if (!info.isFile())
        return {};
    QFile file(path_);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString QSettingsStore::read(const QString &section, const QString &key, const QString &fallback) const
{
    return values_.value(TextIni::path(section, key), fallback);
}

void QSettingsStore::write(const QString &section, const QString &key, const QString &value)
{
    change(section, key, value);
}

void QSettingsStore::remove(const QString &section, const QString &key)
{
    change(section, key, std::nullopt);
}

void QSettingsStore::change(const QString &section, const QString &key, const std::optional<QString> &value)
{
    const QString where = TextIni::path(section, key);
    const auto now = values_.constFind(where);
    const bool unchanged = value ? now != values_.cend() && *now == *value : now == values_.cend();
    if (unchanged)
        return;
    if (value)
        values_.insert(where, *value);
    else
        values_.remove(where);
    pending_.insert(where, value);
    if (!inUpdate_)
        sync();
}

void QSettingsStore::update(const std::function<void()> &change)
{
    if (inUpdate_) {
        change();
        return;
    }
    FileLock lock(path_);
    values_ = TextIni::parse(TextIni::apply(fileText(), pending_));
    inUpdate_ = true;
    {
        const auto done = qScopeGuard([this] { inUpdate_ = false; });
        change();
    }
    if (!pending_.isEmpty())
        writeLocked();
}

void QSettingsStore::sync()
{
    if (pending_.isEmpty())
        return;
    FileLock lock(path_);
    writeLocked();
}

void QSettingsStore::writeLocked()
{
    const QString before = fileText();
    const QString after = TextIni::apply(before, pending_);
    values_ = TextIni::parse(after);   // what other copies stored meanwhile, with ours
    if (after == before) {
        pending_.clear();
        return;
    }
    // Written beside the file and renamed over it, so no reader ever sees half a file; where
    // the folder allows no new file (a given file in a read-only folder), written in place.
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    file.setDirectWriteFallback(true);
    const QByteArray bytes = after.toUtf8();
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        pending_.clear();
}
