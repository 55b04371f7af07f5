#include "settings/settings_file_check.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

QString settingsFileProblem(const QString &path)
{
    const QFileInfo info(path);
    QFile file(path);
    if (info.exists()) {
        // Checked before opening: opening a pipe would wait for a writer at the other end.
        if (!info.isFile())
            return QStringLiteral("it is not a regular file");
        if (!file.open(QIODevice::ReadWrite))   // no truncation: the settings stay as they are
            return QStringLiteral("it cannot be read and written (%1)").arg(file.errorString());
        return {};
    }
    if (info.isSymLink())
        return QStringLiteral("it is a link to nothing");
    if (!QDir().mkpath(info.absolutePath()))
        return QStringLiteral("its folder cannot be created");
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return QStringLiteral("it cannot be created (%1)").arg(file.errorString());
    return {};
}
