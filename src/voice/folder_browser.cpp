#include "voice/folder_browser.h"
#include "ports/window_surface.h"
#include "voice/number_forms.h"
#include "voice/speech.h"
#include <QDir>
#include <QFileInfo>
#include <deque>

namespace {

// "/" everywhere; on Windows the native "\" as well.
bool isSeparator(QChar c)
{
    return c == u'/' || c == QDir::separator();
}

qsizetype lastSeparator(const QString &path, qsizetype from = -1)
{
    for (qsizetype i = from < 0 ? path.size() - 1 : from; i >= 0; --i)
        if (isSeparator(path.at(i)))
            return i;
    return -1;
}

QString joined(const QString &folder, const QString &name)
{
    if (!folder.isEmpty() && isSeparator(folder.back()))
        return folder + name;
    return folder + QDir::separator() + name;
}

// Names in a steady order, as a file dialog would show them, rather than the file system's.
QFileInfoList entriesOf(const QString &folder)
{
    return QDir(folder).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot,
                                      QDir::Name | QDir::IgnoreCase | QDir::DirsLast);
}

struct BusyPointer {
    explicit BusyPointer(WindowSurface &s) : surface(s) { surface.setBusy(true); }
    ~BusyPointer() { surface.setBusy(false); }
    WindowSurface &surface;
};

} // namespace

QString FileNameOf(const QString &path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString FolderOfPath(const QString &path)
{
    return path.left(lastSeparator(path) + 1);
}

QString ParentFolderOf(const QString &path)
{
    if (lastSeparator(path) < 0 || path.size() < 2)
        return path;
    const qsizetype cut = lastSeparator(path, path.size() - 2);
    // A root folder has nothing above it.
    return cut < 0 ? path : path.left(cut + 1);
}

void FolderBrowser::ListFolders(const QString &folder, QStringList &names, int &count)
{
    BusyPointer busy(surface_);
    names.clear();
    count = 0;
    for (const QFileInfo &entry : entriesOf(folder)) {
        if (entry.isDir()) {
            names << joined(folder, entry.fileName());
            ++count;
        }
    }
}

void FolderBrowser::ListFiles(const QString &folder, QStringList &names, int &folderCount, int &fileCount)
{
    BusyPointer busy(surface_);
    names.clear();
    folderCount = 0;
    fileCount = 0;
    std::deque<QString> queue{folder};
    while (!queue.empty()) {
        const QString f = queue.front();
        queue.pop_front();
        for (const QFileInfo &entry : entriesOf(f)) {
            const QString path = joined(f, entry.fileName());
            if (entry.isDir()) {
                ++folderCount;
                // A linked folder is counted but not entered: a link back up would never end.
                if (!entry.isSymLink())
                    queue.push_back(path);
            } else {
                ++fileCount;
                names << path;
            }
        }
    }
}

void FolderBrowser::SpeakFolderNames(const QString &folder)
{
    QStringList names;
    int count = 0;
    ListFolders(folder, names, count);
    speech_.speak(NumberForms::signPadded(count) + QStringLiteral(" directories."));
    for (const QString &name : names) {
        speech_.speak(FileNameOf(name));
        if (speech_.pumpAndTest())
            break;
    }
    speech_.AbortRequested = false;
}

void FolderBrowser::SpeakFileNames(const QString &folder, const QString &ending)
{
    QStringList names;
    int folderCount = 0, fileCount = 0;
    ListFiles(folder, names, folderCount, fileCount);
    speech_.speak(NumberForms::signPadded(folderCount) + QStringLiteral(" directories."));
    speech_.speak(NumberForms::signPadded(fileCount) + QStringLiteral(" files."));
    const QString wanted = ending.toUpper();
    for (const QString &path : names) {
        if (wanted.isEmpty() || (path.size() > wanted.size() && path.toUpper().endsWith(wanted))) {
            speech_.speak(FileNameOf(path));
            LastAnnouncedFile = path;
        }
        if (speech_.pumpAndTest())
            break;
    }
    speech_.AbortRequested = false;
}
