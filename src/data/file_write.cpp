#include "data/file_write.h"
#include <QFileInfo>
#include <cerrno>
#if defined(Q_OS_WIN)
#include <windows.h>
#endif

namespace FileWrite {

namespace {

// Qt keeps only the system's text of an error, so a full disk is known by that text.
bool diskFull(const QString &error)
{
    if (error.isEmpty())
        return false;
#if defined(Q_OS_WIN)
    return error == qt_error_string(ERROR_DISK_FULL) || error == qt_error_string(ERROR_HANDLE_DISK_FULL);
#else
    return error == qt_error_string(ENOSPC) || error == qt_error_string(EDQUOT);
#endif
}

} // namespace

bool writeAll(QFileDevice &file, const char *bytes, qint64 size)
{
    while (size > 0) {
        const qint64 written = file.write(bytes, size);
        if (written <= 0)
            return false;
        bytes += written;
        size -= written;
    }
    return true;
}

bool commit(QSaveFile &file)
{
    return file.flush() && file.commit();
}

Failure failureOf(const QFileDevice &file)
{
    if (diskFull(file.errorString()))
        return {int(QFileDevice::ResourceError), QStringLiteral("The disk is full.")};
    if (file.error() != QFileDevice::NoError)
        return {int(file.error()), file.errorString()};
    return {int(QFileDevice::WriteError), QStringLiteral("The file could not be written completely.")};
}

std::optional<Failure> refusedTarget(const QString &path)
{
    const QFileInfo target(path);
    if (!target.exists() || target.isFile())
        return std::nullopt;
    return Failure{int(QFileDevice::OpenError), QStringLiteral("It is not a regular file.")};
}

} // namespace FileWrite
