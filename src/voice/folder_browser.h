#pragma once
#include <QString>
#include <QStringList>

class Speech;
class WindowSurface;

// Path helpers on text, with the platform's separator.
// The part after the last separator; the whole text when it has none.
QString FileNameOf(const QString &path);
// Up to and including the last separator; empty when there is none.
QString FolderOfPath(const QString &path);
// Cut back to the separator before the last part ("/data/sub" -> "/data/", "/data/" -> "/");
// the whole text when it has no separator, and a root folder stays itself.
QString ParentFolderOf(const QString &path);

// Hearing folders and files: the listings for users who cannot see a file dialog.
class FolderBrowser {
public:
    FolderBrowser(Speech &speech, WindowSurface &surface) : speech_(speech), surface_(surface) {}

    // Full paths of the folder's immediate subfolders, in the order the file system gives them.
    void ListFolders(const QString &folder, QStringList &names, int &count);
    // Full paths of every file below the folder (the whole tree, breadth-first), and the
    // number of folders below it.
    void ListFiles(const QString &folder, QStringList &names, int &folderCount, int &fileCount);

    // Says the number and the names of the folder's subfolders.
    void SpeakFolderNames(const QString &folder);
    // Says the number of folders and files below the folder, then the file names: all, or
    // those whose path ends with `ending` (compared in upper case).
    void SpeakFileNames(const QString &folder, const QString &ending = QString());

    // Full path of the file whose name was spoken last; LOAD with Enter loads it.
    QString LastAnnouncedFile;

private:
    Speech &speech_;
    WindowSurface &surface_;
};
