#include "settings/program_folder.h"
#include "settings/qsettings_store.h"
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>

namespace ProgramFolder {

QString pathIn(const QString &userDataFolder)
{
    return QDir(userDataFolder).filePath(QSettingsStore::ApplicationName);
}

QString path()
{
    return pathIn(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

bool moveDoubledFolder(const QString &folder)
{
    const QString inner = QDir(folder).filePath(QSettingsStore::ApplicationName);
    if (!QFileInfo(inner).isDir() || QFileInfo(inner).isSymLink())
        return true;
    bool allMoved = true;
    const QDir from(inner), to(folder);
    for (const QString &name : from.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        // A newer file above wins: nothing the user has now is overwritten.
        if (QFileInfo::exists(to.filePath(name)) || !QDir().rename(from.filePath(name), to.filePath(name)))
            allMoved = false;
    }
    if (allMoved)
        QDir().rmdir(inner);
    return allMoved;
}

QString expandFolder(const QString &typed, const QString &base)
{
    QString folder = typed.trimmed();
    if (folder.isEmpty())
        return folder;
    if (folder == u'~')
        folder = QDir::homePath();
    else if (folder.startsWith(QLatin1String("~/")))
        folder = QDir::homePath() + folder.mid(1);
    return QDir::cleanPath(QDir(base).absoluteFilePath(QDir::fromNativeSeparators(folder)));
}

QString downloadFolder(const QString &dataDirectorySetting, const QString &programFolder)
{
    const QString set = expandFolder(dataDirectorySetting, programFolder);
    return set.isEmpty() ? QDir(programFolder).filePath(QStringLiteral("Downloads")) : set;
}

} // namespace ProgramFolder
