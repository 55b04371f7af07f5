#include "voice/folder_browser.h"
#include "ports/window_surface.h"
#include "voice/number_forms.h"
#include "voice/speech.h"
#include <QDir>

QString FileNameOf(const QString &path) { return path; }
QString FolderOfPath(const QString &path) { return path; }
QString ParentFolderOf(const QString &path) { return path; }

void FolderBrowser::ListFolders(const QString &, QStringList &names, int &count) { names.clear(); count = 0; }
void FolderBrowser::ListFiles(const QString &, QStringList &names, int &folderCount, int &fileCount)
{
    names.clear();
    folderCount = fileCount = 0;
}
void FolderBrowser::SpeakFolderNames(const QString &) {}
void FolderBrowser::SpeakFileNames(const QString &, const QString &) {}
